// kelmor~ signal routine against the law applied sample by sample, on random
// layouts, offsets, positions and block sizes, with outlets sharing the
// memory of an input.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

#include "cosine_table.hpp"
#include "first_order_law.hpp"
#include "instance.hpp"

namespace {

using namespace kelmor_test;
using Signal = std::vector<float>;

// The law for one sample and one loudspeaker, plainly: the gain and,
// alongside, the size of the terms that make it up, which bounds how far
// another rounding of the same terms may land.
struct Attendu {
    float sortie;
    double echelle;
};

Attendu regle(const t_kelmor_tilde *x, float s, float p, float q, int i) {
    float X = p, Y = q;
    if (x->type_repere == REPERE_POLAIRE) {
        if (!std::isfinite(q)) return {0.0f, 0.0}; // no direction: silence
        const int k = indice_angle(q);
        X = p * x->table_cos[k];
        Y = p * x->table_cos[indice_sinus(k)];
    }
    const Poids<float> w = ponderer<float>(X, Y, 0.0f, x->offset);
    const float norme = norme_premier_ordre(x->nb_hp);
    const float c = x->hp_cos[i], sn = x->hp_sin[i];
    const float g =
        gain_premier_ordre<float>(w, c, sn, 1.0f, SIN_ELEV_ANNEAU, norme, x->hp_dist[i]);
    const double termes = std::fabs(w.x * c) + std::fabs(w.omni) + std::fabs(w.y * sn);
    return {g * s, termes * norme * std::fabs(x->hp_dist[i]) * std::fabs(s)};
}

// Positions mostly near the ring, some at its centre, far away, or not
// numbers at all; angles now and then beyond the int range of table steps.
float coordonnee(std::mt19937 &hasard, bool angle) {
    std::uniform_real_distribution<float> proche(angle ? -800.0f : -3.0f, angle ? 800.0f : 3.0f);
    switch (hasard() % 40) {
    case 0:
        return 0.0f;
    case 1:
        return std::numeric_limits<float>::quiet_NaN();
    case 2:
        return -std::numeric_limits<float>::infinity();
    case 3:
        return std::ldexp(proche(hasard), 55 + static_cast<int>(hasard() % 20));
    case 4:
        return angle ? std::ldexp(proche(hasard), 25 + static_cast<int>(hasard() % 60)) : 1e-20f;
    default:
        return proche(hasard);
    }
}

TEST(KelmorFastPath, SignalRoutineFollowsTheRule) {
    const int tailles[] = {0, 1, 7, 63, 64, 65, 300};
    std::mt19937 hasard(2024);
    std::uniform_real_distribution<float> unite(-1, 1), offset(0.01f, 3), dist(-3, 3),
        degres(-400, 400);
    for (int essai = 0; essai < 600; essai++) {
        const int nb = 2 + static_cast<int>(hasard() % 15);
        const int repere = static_cast<int>(hasard() % 2);
        Instance k(nb, repere, 0, essai % 10 == 0 ? 2e-6f : offset(hasard));
        kelmor_tilde_initialiser_nb_hp(&k.x, 2 + static_cast<int>(hasard() % (nb - 1)));
        std::vector<float> placement;
        for (int i = 0; i < k->nb_hp; i++) {
            placement.push_back(dist(hasard));
            placement.push_back(degres(hasard));
        }
        if (essai % 3) envoyer(k, kelmor_tilde_dist_teta_positionner_hp, placement);

        // Now and then both position signals are the same signal; an outlet
        // may share the memory of any input, an inactive one included.
        const int n = tailles[hasard() % 7];
        Signal s, p, q;
        for (int j = 0; j < n; j++) {
            s.push_back(unite(hasard));
            p.push_back(coordonnee(hasard, false));
            q.push_back(coordonnee(hasard, repere == 0));
        }
        if (hasard() % 6 == 0) q = p;
        std::vector<int> partage(nb, -1);
        if (hasard() % 6) partage[hasard() % nb] = static_cast<int>(hasard() % 3);
        const auto sorties = k.jouer({s, p, q}, partage);

        for (int i = 0; i < nb; i++)
            for (int j = 0; j < n; j++) {
                const float obtenu = sorties[i][j];
                ASSERT_TRUE(std::isfinite(obtenu)) << essai << " " << i << " " << j;
                if (i >= k->nb_hp) {
                    ASSERT_EQ(obtenu, 0.0f) << essai << " " << i << " " << j;
                    continue;
                }
                const Attendu a = regle(&k.x, s[j], p[j], q[j], i);
                // A few float steps of the terms: W and A, B may each be one
                // rounding away from their quotients.
                ASSERT_NEAR(obtenu, a.sortie, 4 * FLT_EPSILON * a.echelle)
                    << "trial " << essai << " outlet " << i << " sample " << j << " of " << n;
            }
    }
}

} // namespace
