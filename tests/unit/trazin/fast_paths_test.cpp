// The fast paths against the rule written out plainly, sample by sample and
// loudspeaker by loudspeaker: the signal routine in its three systems, within
// a few float steps of the law; the targets of the position messages, the
// very same floats.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "../../../common/cosine_table.hpp"
#include "../../../common/first_order_law.hpp"
#include "instance.hpp"

namespace {

using namespace trazin_test;
using Signal = std::vector<float>;

constexpr float INF = std::numeric_limits<float>::infinity();

// One loudspeaker's output sample from the coordinates, as the rule reads.
float regle(const t_trazin_tilde *x, int j, float s, float c1, float c2, float c3) {
    const float *t = x->table_cos;
    if (!(std::isfinite(c1) && std::isfinite(c2) && std::isfinite(c3))) return 0.0f * s;
    float px = c1, py = c2, pz = c3;
    if (x->type_repere == REPERE_POLAIRE) {
        const int k = indice_angle(c2);
        px = c1 * t[k];
        py = c1 * t[(1024 - k) & 4095];
    } else if (x->type_repere == REPERE_SPHERIQUE) {
        const int k = indice_angle(c2);
        const int m = indice_masque(1024.0f - c3 * 4096.0f * 0.0027777778f);
        const float sin_p = t[m], cos_p = t[(1024 - m) & 4095];
        px = c1 * t[k] * sin_p;
        py = c1 * t[(1024 - k) & 4095] * sin_p;
        pz = c1 * cos_p;
    }
    const Poids<float> p = ponderer<float>(px, py, pz, x->offset);
    return gain_premier_ordre<float>(p, x->hp_cos_teta[j], x->hp_sin_teta[j], x->hp_cos_elev[j],
                                     x->hp_sin_elev[j], norme_premier_ordre(8), 1.0f) *
           s;
}

// A coordinate: mostly ordinary, sometimes far, huge, tiny or not a number.
float coordonnee(std::mt19937 &aleas, float etendue) {
    const float rares[] = {NAN, INF, -INF, 1e18f, -3e19f, 1e12f, -7e9f, 1e-30f, 0.0f, -0.0f};
    if (aleas() % 16 == 0) return rares[aleas() % 10];
    return std::uniform_real_distribution<float>(-etendue, etendue)(aleas);
}

// Runs the signal routine over random coordinates, each output either its own
// or sharing the memory of the source or of a coordinate, and compares every
// sample with the rule.
void comparer(t_trazin_tilde *x, std::mt19937 &aleas, int n, const char *quoi) {
    // Distances and heights within a few units, angles over a few turns.
    auto etendue = [x](int k) {
        return k == 2 && x->type_repere != REPERE_CARTESIEN   ? 1000.0f
               : k == 3 && x->type_repere == REPERE_SPHERIQUE ? 1000.0f
                                                              : 4.0f;
    };
    std::vector<Signal> entrees(4, Signal(n));
    for (int i = 0; i < n; i++) {
        entrees[0][i] = std::uniform_real_distribution<float>(-1.0f, 1.0f)(aleas);
        for (int k = 1; k < 4; k++) entrees[k][i] = coordonnee(aleas, etendue(k));
    }
    std::vector<Signal> attendu(8, Signal(n));
    for (int j = 0; j < 8; j++)
        for (int i = 0; i < n; i++)
            attendu[j][i] = regle(x, j, entrees[0][i], entrees[1][i], entrees[2][i], entrees[3][i]);

    const int partagee = static_cast<int>(aleas() % 10) - 2; // which output shares, if any
    const int avec = static_cast<int>(aleas() % 4);          // and with which input
    std::vector<Signal> sorties(8, Signal(n, 99.0f));
    t_int w[15];
    w[1] = reinterpret_cast<t_int>(x);
    for (int k = 0; k < 4; k++) w[2 + k] = reinterpret_cast<t_int>(entrees[k].data());
    for (int j = 0; j < 8; j++)
        w[6 + j] =
            reinterpret_cast<t_int>(j == partagee ? entrees[avec].data() : sorties[j].data());
    w[14] = n;
    ASSERT_EQ(trazin_tilde_perform_signal(w), w + 15);
    if (partagee >= 0) sorties[partagee] = entrees[avec];
    for (int j = 0; j < 8; j++)
        for (int i = 0; i < n; i++)
            ASSERT_NEAR(sorties[j][i], attendu[j][i],
                        1e-6f * std::max(1.0f, std::fabs(attendu[j][i])))
                << quoi << " system " << x->type_repere << " n " << n << " loudspeaker " << j
                << " sample " << i << ": " << sorties[j][i] << " instead of " << attendu[j][i]
                << " shared " << partagee << "/" << avec;
}

const int TAILLES[] = {0, 1, 7, 63, 64, 65, 300};

TEST(TrazinFastPaths, SignalRoutineIsTheRuleSampleBySample) {
    std::mt19937 aleas(23);
    for (const char *repere : {"p", "c", "s"}) {
        for (int essai = 0; essai < 40; essai++) {
            const float offset = std::uniform_real_distribution<float>(0.001f, 3.0f)(aleas);
            Instance x = creer({repere, "s", std::to_string(offset)});
            for (int n : TAILLES) comparer(x.get(), aleas, n, "cube");
        }
    }
}

// The targets and steps of the position messages, against the law with the
// double-precision cosines and sines of the record's angles worked out on the
// spot.
TEST(TrazinFastPaths, MessageTargetsAreTheLawBitForBit) {
    std::mt19937 aleas(31);
    std::uniform_real_distribution<float> coord(-6.0f, 6.0f), angle(-800.0f, 800.0f),
        gain(0.0f, 1.0f), offset(0.001f, 3.0f);
    for (const char *repere : {"c", "p", "s"}) {
        Instance x = creer({repere, "c", std::to_string(offset(aleas))});
        for (int essai = 0; essai < 3000; essai++) {
            for (int j = 0; j < 8; j++) x->gain_courant[j] = gain(aleas);
            const float a = coord(aleas);
            const float b = repere[0] == 'c' ? coord(aleas) : angle(aleas);
            const float c = repere[0] == 's' ? angle(aleas) : coord(aleas);
            position(x.get(), essai % 50 == 0 ? 0.0f : a, b, c);
            const double px = x->source_x, py = x->source_y, pz = x->source_z, o = x->offset;
            const double r = sqrt(px * px + py * py + pz * pz);
            const double w = static_cast<float>(0.707 / (r + o));
            const double q = r * r + o;
            for (int j = 0; j < 8; j++) {
                const double t = x->hp_teta[j], e = x->hp_elev[j];
                const double s = w + 2.0 * px / q * cos(t) * cos(e) +
                                 2.0 * py / q * sin(t) * cos(e) + 2.0 * pz / q * sin(e);
                float g = static_cast<float>(0.21298397f * s);
                g = g > 0.0f ? g : 0.0f;
                ASSERT_EQ(x->gain_cible[j], g) << repere << " " << a << " " << b << " " << c;
                ASSERT_EQ(x->gain_pas[j], (g - x->gain_courant[j]) / 441.0f);
            }
        }
    }
}

} // namespace
