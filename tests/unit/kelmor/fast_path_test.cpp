// kelmor~ signal routine against the rule written out sample by sample, on
// random layouts, offsets, positions and block sizes, with outlets sharing
// the memory of an input.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

#include "cosine_table.hpp"
#include "instance.hpp"

namespace {

using namespace kelmor_test;
using Signal = std::vector<float>;

const int TAILLES[] = {0, 1, 7, 63, 64, 65, 300};

// Where an outlet's memory comes from.
enum class Partage { aucun, entree, premiere, seconde, positions_communes, inactive };

struct Cas {
    Signal s, p, q;
    std::vector<Signal> sorties;
    Partage partage = Partage::aucun;
    int sortie_partagee = 0;
};

// Runs the routine with the buffers a host could hand it: an outlet may be
// the input's or a position signal's own memory, and both position signals
// may be one buffer. Returns what each outlet holds afterwards.
std::vector<Signal> jouer(t_kelmor_tilde *x, Cas c) {
    const int n = static_cast<int>(c.s.size());
    Signal &p = c.p;
    Signal &q = c.partage == Partage::positions_communes ? c.p : c.q;
    c.sorties.assign(x->nb_sorties, Signal(n, 99.0f));
    std::vector<float *> tampons;
    for (Signal &o : c.sorties) tampons.push_back(o.data());
    float *partagee = nullptr;
    switch (c.partage) {
    case Partage::entree:
    case Partage::inactive:
        partagee = c.s.data();
        break;
    case Partage::premiere:
        partagee = p.data();
        break;
    case Partage::seconde:
        partagee = q.data();
        break;
    default:
        break;
    }
    if (partagee) tampons[c.sortie_partagee] = partagee;
    std::vector<t_int> w(6 + x->nb_sorties);
    w[1] = reinterpret_cast<t_int>(x);
    w[2] = reinterpret_cast<t_int>(c.s.data());
    w[3] = reinterpret_cast<t_int>(p.data());
    w[4] = reinterpret_cast<t_int>(q.data());
    for (int i = 0; i < x->nb_sorties; i++) w[5 + i] = reinterpret_cast<t_int>(tampons[i]);
    w[5 + x->nb_sorties] = n;
    EXPECT_EQ(kelmor_tilde_perform_signal(w.data()), w.data() + 6 + x->nb_sorties);
    if (partagee) c.sorties[c.sortie_partagee].assign(partagee, partagee + n);
    return c.sorties;
}

// The rule for one sample and one loudspeaker, in the order it is written:
// the gain and, alongside, the size of the terms that make it up, which
// bounds how far another rounding of the same terms may land.
struct Attendu {
    float sortie;
    double echelle;
};

Attendu regle(const t_kelmor_tilde *x, float s, float p, float q, int i) {
    float X = p, Y = q;
    if (x->type_repere == 0) {
        if (!std::isfinite(q)) return {0.0f, 0.0}; // no direction: silence
        const int k = indice_angle(q);
        X = p * x->table_cos[k];
        Y = p * x->table_cos[(1024 - k) & 4095];
    }
    const float r = sqrtf(X * X + Y * Y);
    if (!(r < 1e18f)) return {0.0f, 0.0};
    const float norme = static_cast<float>(std::sqrt(1.0 / x->nb_hp) / 1.66);
    const float W = static_cast<float>(0.707 / (r + x->offset));
    const float A = 2.0f * X / (r * r + x->offset);
    const float B = 2.0f * Y / (r * r + x->offset);
    const float c = x->hp_cos[i], sn = x->hp_sin[i];
    const float G = (A * c + W + B * sn) * norme * x->hp_dist[i];
    const float coupe = G > 0 && G <= FLT_MAX ? G : 0.0f;
    const double termes = std::fabs(A * c) + std::fabs(W) + std::fabs(B * sn);
    return {coupe * s, termes * norme * std::fabs(x->hp_dist[i]) * std::fabs(s)};
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
        if (essai % 3) envoyer(k, kelmor_tilde_dist_teta_positionner_hp, Atomes(placement));

        Cas c;
        const int n = TAILLES[hasard() % 7];
        for (int j = 0; j < n; j++) {
            c.s.push_back(unite(hasard));
            c.p.push_back(coordonnee(hasard, false));
            c.q.push_back(coordonnee(hasard, repere == 0));
        }
        c.partage = static_cast<Partage>(hasard() % 6);
        c.sortie_partagee = static_cast<int>(hasard() % k->nb_hp);
        if (c.partage == Partage::inactive) {
            if (k->nb_hp == nb)
                c.partage = Partage::aucun;
            else
                c.sortie_partagee = nb - 1;
        }
        const Signal &q = c.partage == Partage::positions_communes ? c.p : c.q;
        const auto sorties = jouer(&k.x, c);

        for (int i = 0; i < nb; i++)
            for (int j = 0; j < n; j++) {
                const float obtenu = sorties[i][j];
                ASSERT_TRUE(std::isfinite(obtenu)) << essai << " " << i << " " << j;
                if (i >= k->nb_hp) {
                    ASSERT_EQ(obtenu, 0.0f) << essai << " " << i << " " << j;
                    continue;
                }
                const Attendu a = regle(&k.x, c.s[j], c.p[j], q[j], i);
                // A few float steps of the terms: W and A, B may each be one
                // rounding away from their quotients.
                ASSERT_NEAR(obtenu, a.sortie, 4 * FLT_EPSILON * a.echelle)
                    << "trial " << essai << " outlet " << i << " sample " << j << " of " << n;
            }
    }
}

// Muted, the routine plays the glide: the step rule sample by sample, over
// blocks of every size, with new targets arriving between blocks and an
// outlet sharing the input's memory.
TEST(KelmorFastPath, MutedRoutineFollowsTheStepRule) {
    std::mt19937 hasard(77);
    std::uniform_real_distribution<float> unite(-1, 1), coord(-2, 2);
    for (int essai = 0; essai < 40; essai++) {
        const int nb = 2 + static_cast<int>(hasard() % 15);
        Instance k(nb, 1, 0, 0.3f, 1 + static_cast<int>(hasard() % 300));
        kelmor_tilde_initialiser_nb_hp(&k.x, 2 + static_cast<int>(hasard() % (nb - 1)));
        kelmor_tilde_muter_entrees_signal(&k.x, 1);
        std::vector<float> courant(k->gain_courant, k->gain_courant + nb);
        for (int bloc = 0; bloc < 12; bloc++) {
            if (hasard() % 3 == 0) kelmor_tilde_recoit_y(&k.x, coord(hasard));
            if (hasard() % 2 == 0) kelmor_tilde_recoit_x(&k.x, coord(hasard));
            Cas c;
            const int n = TAILLES[hasard() % 7];
            for (int j = 0; j < n; j++) c.s.push_back(unite(hasard));
            c.p.assign(n, 5.0f);
            c.q.assign(n, -5.0f);
            c.partage = hasard() % 2 ? Partage::entree : Partage::aucun;
            c.sortie_partagee = static_cast<int>(hasard() % nb);
            const auto sorties = jouer(&k.x, c);
            for (int i = 0; i < nb; i++) {
                for (int j = 0; j < n; j++) {
                    float attendu = 0.0f;
                    if (i < k->nb_hp) {
                        const float cible = k->gain_cible[i], pas = k->gain_pas[i];
                        if (courant[i] != cible)
                            courant[i] =
                                fabsf(cible - courant[i]) > fabsf(pas) ? courant[i] + pas : cible;
                        attendu = c.s[j] * courant[i];
                    }
                    ASSERT_EQ(sorties[i][j], attendu)
                        << essai << " " << bloc << " " << i << " " << j;
                }
                if (i < k->nb_hp) {
                    ASSERT_EQ(k->gain_courant[i], courant[i]);
                }
            }
        }
    }
}

// A position message reads the loudspeakers' directions stored with them:
// the targets are the very floats the law gives with the angles' own cosine
// and sine, whichever message placed the loudspeakers.
TEST(KelmorFastPath, TargetsFollowTheLawExactly) {
    std::mt19937 hasard(5);
    std::uniform_real_distribution<float> coord(-3, 3), degres(-400, 400), offset(0.01f, 3);
    for (int essai = 0; essai < 300; essai++) {
        const int nb = 2 + static_cast<int>(hasard() % 15);
        Instance k(nb, static_cast<int>(hasard() % 2), static_cast<int>(hasard() % 2),
                   offset(hasard));
        kelmor_tilde_initialiser_nb_hp(&k.x, 2 + static_cast<int>(hasard() % (nb - 1)));
        std::vector<float> v;
        for (int i = 0; i < 2 * k->nb_hp; i++) v.push_back(i % 2 ? degres(hasard) : coord(hasard));
        const Methode placement[] = {kelmor_tilde_teta_positionner_hp,
                                     kelmor_tilde_dist_teta_positionner_hp,
                                     kelmor_tilde_xy_positionner_hp};
        if (essai % 4) envoyer(k, placement[hasard() % 3], Atomes(v));
        envoyer(k, kelmor_tilde_recoit_liste,
                {coord(hasard), k->type_repere ? coord(hasard) : degres(hasard)});

        const double X = k->source_x, Y = k->source_y, r = std::sqrt(X * X + Y * Y);
        const float norme = static_cast<float>(std::sqrt(1.0 / k->nb_hp) / 1.66);
        const float W = static_cast<float>(0.707 / (r + k->offset));
        const double A = 2 * X / (r * r + k->offset), B = 2 * Y / (r * r + k->offset);
        for (int i = 0; i < k->nb_hp; i++) {
            const double t = k->hp_teta[i];
            const double G = (A * std::cos(t) + W + B * std::sin(t)) * norme * k->hp_dist[i];
            EXPECT_EQ(k->gain_cible[i], G > 0 ? static_cast<float>(G) : 0.0f) << essai << " " << i;
        }
    }
}

} // namespace
