// kelmor~ perform routines: the signal-rate law against the message-driven
// targets, the muted branch, silence beyond the loudspeakers in use, bad
// position samples and in-place buffers.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "instance.hpp"
#include "fake_pd.hpp"

namespace {

using namespace kelmor_test;
using Signal = std::vector<float>;

Signal constant(float v, int n = 64) {
    return Signal(n, v);
}

// Random layouts of every size, placed by each message kind.
void disposer(Instance &k, std::mt19937 &hasard) {
    std::uniform_real_distribution<float> angle(-400, 400), dist(0.2f, 3), coord(-2, 2);
    const int message = static_cast<int>(hasard() % 3);
    std::vector<float> v;
    for (int i = 0; i < 2 * k->nb_hp; i++)
        v.push_back(message == 2 ? coord(hasard) : i % 2 ? angle(hasard) : dist(hasard));
    const Methode placer[] = {kelmor_tilde_dist_teta_positionner_hp,
                              kelmor_tilde_teta_positionner_hp, kelmor_tilde_xy_positionner_hp};
    envoyer(k, placer[message], v);
}

// For a constant position the signal routine plays the targets the messages
// compute for it (single against double precision); in polar, within what an
// angle quantised to 4096 steps per turn can change.
TEST(KelmorSignal, ConstantPositionsPlayTheMessageTargets) {
    std::mt19937 hasard(11);
    std::uniform_real_distribution<float> coord(-3, 3), deg(-720, 720), offset(0.01f, 2);
    for (int essai = 0; essai < 400; essai++) {
        const int repere = essai % 2;
        const int nb = 2 + static_cast<int>(hasard() % 15);
        Instance k(nb, repere, 0, offset(hasard));
        kelmor_tilde_initialiser_nb_hp(&k.x, 2 + static_cast<int>(hasard() % (nb - 1)));
        if (essai % 4 >= 2) disposer(k, hasard);
        const float p = coord(hasard), q = repere ? coord(hasard) : deg(hasard);
        kelmor_tilde_recoit_y(&k.x, q);
        kelmor_tilde_recoit_x(&k.x, p);
        const auto out = k.jouer({constant(1), constant(p), constant(q)});

        // The size of the law's terms bounds the rounding; the directional
        // term's slope bounds what one table step can change.
        const double r = std::fabs(repere ? std::hypot(p, q) : p);
        const double directionnel = 2 * r / (r * r + k->offset) * std::sqrt(1.0 / k->nb_hp) / 1.66;
        const double omni = 0.707 / (r + k->offset) * std::sqrt(1.0 / k->nb_hp) / 1.66;
        for (int i = 0; i < nb; i++) {
            const float attendu = i < k->nb_hp ? k->gain_cible[i] : 0.0f;
            const double echelle = std::fabs(k->hp_dist[i]) * (omni + directionnel);
            const double quantum =
                repere ? 0 : directionnel * std::fabs(k->hp_dist[i]) * 2 * M_PI / 4096;
            const double tolerance = 1e-6 * (1 + echelle) + quantum;
            EXPECT_NEAR(out[i][0], attendu, tolerance) << "trial " << essai << " outlet " << i;
            EXPECT_EQ(out[i][63], out[i][0]);
        }
    }
}

TEST(KelmorSignal, EdgesOfThePositionSignals) {
    Instance c(4, 1, 0);
    const auto devant = c.jouer({constant(0.5f), constant(0), constant(1)});
    for (int i = 0; i < 4; i++) EXPECT_NEAR(devant[i][0], 0.5f * (i < 2 ? 0.49148f : 0), 5e-6);

    // A turn either way lands on the same table entry.
    Instance p(4, 0, 0);
    const auto a90 = p.jouer({constant(1), constant(1), constant(90)});
    EXPECT_EQ(p.jouer({constant(1), constant(1), constant(-270)}), a90);
    EXPECT_EQ(p.jouer({constant(1), constant(1), constant(450)}), a90);
    for (int i = 0; i < 2; i++) EXPECT_NEAR(a90[i][0], 0.49148f, 5e-6);

    // At the centre only the omnidirectional part remains.
    const auto centre = p.jouer({constant(1), constant(0), constant(33)});
    for (int i = 0; i < 4; i++) EXPECT_NEAR(centre[i][0], 0.707 / 0.3 * 0.5 / 1.66, 1e-6);
}

// Non-finite or absurdly far positions give silence for their samples (in
// polar, a bad distance); no angle, however large, reads outside the table.
TEST(KelmorSignal, BadPositionSamplesAreSilent) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Signal mauvais = {nan, inf, -inf, 1e18f, -3e38f, 1e30f, 2e9f, -3e9f};
    const Signal bon = constant(0.5f, 8);
    for (int repere : {1, 0}) {
        Instance k(8, repere, 0, 2e-6f);
        envoyer(k, kelmor_tilde_dist_teta_positionner_hp, {3e38f, 90, -3e38f, 270});
        for (bool p_mauvais : {true, false})
            for (bool q_mauvais : {true, false}) {
                const auto out =
                    k.jouer({constant(1, 8), p_mauvais ? mauvais : bon, q_mauvais ? mauvais : bon});
                for (int j = 0; j < 8; j++) {
                    // The last two are finite and near enough; in polar form
                    // only the first three are not angles.
                    const bool loin = j < 6, sans_angle = j < 3;
                    const bool muet = repere == 1
                                          ? loin && (p_mauvais || q_mauvais)
                                          : (loin && p_mauvais) || (sans_angle && q_mauvais);
                    for (int i = 0; i < 8; i++) {
                        EXPECT_TRUE(std::isfinite(out[i][j]) && out[i][j] >= 0) << i << " " << j;
                        if (muet) {
                            EXPECT_EQ(out[i][j], 0.0f) << i << " " << j;
                        }
                    }
                }
            }
    }
}

// Muted, or without its tables, the signal routine plays the glide of the
// control routine (the rule itself is tested with the shared glide) and
// ignores the position: the same samples over blocks of every size, with
// targets arriving between blocks and an outlet sharing the input's memory.
TEST(KelmorSignal, MutedOrWithoutTablesPlaysTheControlGlide) {
    std::mt19937 hasard(77);
    std::uniform_real_distribution<float> unite(-1, 1), coord(-2, 2);
    const int tailles[] = {0, 1, 7, 63, 64, 65, 300};
    for (int essai = 0; essai < 20; essai++) {
        const int nb = 2 + static_cast<int>(hasard() % 15);
        const int temps = 1 + static_cast<int>(hasard() % 300);
        Instance controle(nb, 1, 1, 0.3f, temps), muet(nb, 1, 0, 0.3f, temps),
            sans(nb, 1, 0, 0.3f, temps);
        kelmor_tilde_muter_entrees_signal(&muet.x, 1);
        free(sans->hp_cos);
        sans->hp_cos = sans->hp_sin = sans->table_cos = nullptr;
        const int utilises = 2 + static_cast<int>(hasard() % (nb - 1));
        for (Instance *k : {&controle, &muet, &sans}) {
            kelmor_tilde_initialiser_nb_hp(&k->x, utilises);
            envoyer(*k, kelmor_tilde_teta_positionner_hp, {90}); // no table to refresh
            kelmor_tilde_recoit_x(&k->x, 0); // signal inlets: targets only from positions
        }
        for (int bloc = 0; bloc < 12; bloc++) {
            const float y = coord(hasard), x = coord(hasard);
            const int quoi = static_cast<int>(hasard() % 3);
            for (Instance *k : {&controle, &muet, &sans}) {
                if (quoi == 0) kelmor_tilde_recoit_y(&k->x, y);
                if (quoi <= 1) kelmor_tilde_recoit_x(&k->x, x);
            }
            const int n = tailles[hasard() % 7];
            Signal in(n);
            for (float &v : in) v = unite(hasard);
            std::vector<int> partage(nb, -1);
            partage[hasard() % nb] = 0;
            const auto attendu = controle.jouer({in});
            if (bloc == 0 && n > 0) {
                EXPECT_FLOAT_EQ(attendu[0][0], in[0] * controle->gain_pas[0]); // from silence
            }
            ASSERT_EQ(muet.jouer({in, Signal(n, 5), Signal(n, -5)}, partage), attendu);
            ASSERT_EQ(sans.jouer({in, Signal(n, NAN), Signal(n, 1)}), attendu);
        }
    }
}

TEST(KelmorSignal, SilenceBeyondTheLoudspeakersInUse) {
    Instance k(8, 1, 0, 0.3f, 1);
    kelmor_tilde_initialiser_nb_hp(&k.x, 3);
    for (int muet : {0, 1}) {
        kelmor_tilde_muter_entrees_signal(&k.x, muet);
        const auto out = k.jouer({constant(1), constant(0), constant(1)});
        for (int i = 3; i < 8; i++) EXPECT_EQ(out[i], constant(0)) << i;
        EXPECT_GT(out[0][0], 0.0f);
    }
}

// The host may hand an outlet the memory of the input or of a position
// signal: the outlets must come out as with separate buffers.
TEST(KelmorSignal, InPlaceAsOutOfPlace) {
    std::mt19937 hasard(3);
    std::uniform_real_distribution<float> v(-2, 2);
    const int n = 200;
    Signal in(n), p(n), q(n);
    for (int j = 0; j < n; j++) in[j] = v(hasard), p[j] = v(hasard), q[j] = v(hasard);
    Instance k(4, 1, 0);
    const auto attendu = k.jouer({in, p, q});
    for (int entree = 0; entree < 3; entree++)
        for (int sortie = 0; sortie < 4; sortie++) {
            std::vector<int> partage(4, -1);
            partage[sortie] = entree;
            EXPECT_EQ(k.jouer({in, p, q}, partage), attendu)
                << "input " << entree << " shared with outlet " << sortie;
        }
}

// Nothing written, not even past the block.
TEST(KelmorSignal, EmptyBlockWritesNothing) {
    for (int entrees : {0, 1}) {
        Instance k(4, 1, entrees);
        EXPECT_EQ(k.jouer({{}, {}, {}}), std::vector<Signal>(4));
    }
}

// The control routine is the shared glide over this record.
TEST(KelmorControl, PerformIsTheSharedGlide) {
    Instance k(3, 1, 1, 0.3f, 10);
    const auto out = k.jouer({constant(1, 16)});
    EXPECT_FLOAT_EQ(out[0][0], k->gain_cible[0] / 10);
    EXPECT_EQ(out[0][15], k->gain_cible[0]);
}

} // namespace
