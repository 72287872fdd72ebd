// The signal routine against the law applied plainly, sample by sample and
// loudspeaker by loudspeaker, in its three systems, within a few float steps.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "cosine_table.hpp"
#include "first_order_law.hpp"
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
        py = c1 * t[indice_sinus(k)];
    } else if (x->type_repere == REPERE_SPHERIQUE) {
        const int k = indice_angle(c2);
        const int m = indice_masque(QUART_TABLE_COS - degres_en_pas(c3));
        const float sin_p = t[m], cos_p = t[indice_sinus(m)];
        px = c1 * t[k] * sin_p;
        py = c1 * t[indice_sinus(k)] * sin_p;
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
void comparer(Instance &x, std::mt19937 &aleas, int n, const char *quoi) {
    // Distances and heights within a few units, angles over a few turns.
    auto etendue = [&x](int k) {
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
            attendu[j][i] =
                regle(x.get(), j, entrees[0][i], entrees[1][i], entrees[2][i], entrees[3][i]);

    const int partagee = static_cast<int>(aleas() % 10) - 2; // which output shares, if any
    const int avec = static_cast<int>(aleas() % 4);          // and with which input
    std::vector<int> partage(8, -1);
    if (partagee >= 0) partage[partagee] = avec;
    const test::Signaux sorties = x.jouer(entrees, partage);
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
            for (int n : TAILLES) comparer(x, aleas, n, "cube");
        }
    }
}

} // namespace
