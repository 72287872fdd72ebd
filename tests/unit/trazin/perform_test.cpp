// The perform routines: the signal-rate law against the control targets,
// the muted branch, silence for bad positions, and outputs sharing memory
// with inputs.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "../../../common/cosine_table.hpp"
#include "instance.hpp"

namespace {

using namespace trazin_test;
using Signal = std::vector<float>;

// The source and the three coordinates, constant over a block.
test::Signaux signaux(size_t n, float s, float a, float b, float c) {
    return {Signal(n, s), Signal(n, a), Signal(n, b), Signal(n, c)};
}

TEST(TrazinPerform, ControlRoutineGlidesAllEight) {
    Instance x = creer({"c", "c", "0.3", "0"}); // one-sample glide
    EXPECT_EQ(x.jouer({{}}), test::Signaux(8));
    const auto sorties = x.jouer({{2.0f, -1.0f}});
    for (int j = 0; j < 8; j++) {
        EXPECT_EQ(sorties[j][0], 2.0f * x->gain_cible[j]) << j;
        EXPECT_EQ(sorties[j][1], -x->gain_cible[j]) << j;
    }
    EXPECT_GT(sorties[5][0], 0.6f);
}

TEST(TrazinPerform, SignalFiguresFromTheFirstSample) {
    Instance cart = creer({"c", "s"}), pol = creer({"p", "s"}), sph = creer({"s", "s"});
    const auto devant = cart.jouer(signaux(70, 1.0f, 0.0f, 1.0f, 0.0f));
    for (int j : {0, 1, 4, 5}) EXPECT_NEAR(devant[j][0], 0.3050f, 5e-5) << j;
    for (int j : {2, 3, 6, 7}) EXPECT_EQ(devant[j], Signal(70, 0.0f)) << j;

    const auto polaire = pol.jouer(signaux(70, 1.0f, 1.0f, 90.0f, 0.0f));
    for (int j = 0; j < 8; j++) EXPECT_NEAR(polaire[j][69], devant[j][69], 1e-6);

    const auto haut = sph.jouer(signaux(70, 1.0f, 1.0f, 0.0f, 0.0f));
    for (int j : {4, 5, 6, 7}) EXPECT_NEAR(haut[j][0], 0.3050f, 5e-5) << j;
    for (int j : {0, 1, 2, 3}) EXPECT_EQ(haut[j][0], 0.0f) << j;

    const auto centre = cart.jouer(signaux(3, 0.5f, 0.0f, 0.0f, 0.0f));
    for (int j = 0; j < 8; j++) EXPECT_NEAR(centre[j][2], 0.5f * 0.5019f, 5e-5) << j;

    // 360, -360 and -0.05 degrees all read index 0, as 0 does.
    const auto zero = pol.jouer(signaux(4, 1.0f, 1.0f, 0.0f, 0.5f));
    for (float angle : {360.0f, -360.0f, -0.05f})
        EXPECT_EQ(pol.jouer(signaux(4, 1.0f, 1.0f, angle, 0.5f)), zero) << angle;
}

// The targets of the control messages, for the same angle as the table
// reads it (truncated to 4096 steps per turn).
float pas_de_table(float degres) {
    return std::trunc(degres_en_pas(degres)) * 360.0f / 4096.0f;
}

TEST(TrazinPerform, SignalGainsAreTheControlTargetsForAConstantPosition) {
    std::mt19937 aleas(5);
    std::uniform_real_distribution<float> coord(-4.0f, 4.0f), dist(0.0f, 4.0f),
        angle(-720.0f, 720.0f), polaire(0.0f, 180.0f), offset(0.01f, 2.0f);
    for (int repere : {REPERE_CARTESIEN, REPERE_POLAIRE, REPERE_SPHERIQUE}) {
        for (int essai = 0; essai < 400; essai++) {
            Instance x = creer({repere == 1   ? "c"
                                : repere == 0 ? "p"
                                              : "s",
                                "s", std::to_string(offset(aleas))});
            float a, b, c, b_lu, c_lu;
            if (repere == REPERE_CARTESIEN) {
                a = coord(aleas), b = coord(aleas), c = coord(aleas);
                b_lu = b, c_lu = c;
            } else if (repere == REPERE_POLAIRE) {
                a = dist(aleas), b = angle(aleas), c = coord(aleas);
                b_lu = pas_de_table(b), c_lu = c;
            } else {
                a = dist(aleas), b = angle(aleas), c = polaire(aleas);
                b_lu = pas_de_table(b);
                c_lu = 90.0f - std::trunc(1024.0f - degres_en_pas(c)) * 360.0f / 4096.0f;
            }
            const auto s = x.jouer(signaux(5, 1.0f, a, b, c));
            position(x.get(), a, b_lu, c_lu);
            for (int j = 0; j < 8; j++)
                ASSERT_NEAR(s[j][4], x->gain_cible[j], 2e-6f + 2e-5f * x->gain_cible[j])
                    << repere << ": " << a << " " << b << " " << c << " loudspeaker " << j;
        }
    }
}

// Muted, or without its tables, the routine plays the message-driven glide
// and never reads the positions.
TEST(TrazinPerform, MutedBranchPlaysTheGlide) {
    Instance x = creer({"c", "s", "0.3", "0"});
    trazin_tilde_muter_entrees_signal(x.get(), 1.0f);
    const auto s = x.jouer(signaux(4, 1.0f, NAN, NAN, NAN));
    for (int j = 0; j < 8; j++) EXPECT_EQ(s[j], Signal(4, x->gain_cible[j])) << j;
    EXPECT_EQ(x->gain_courant[0], x->gain_cible[0]);

    // As when the block could not be had at creation.
    Instance sans = creer({"c", "s"});
    free(sans->hp_cos_teta);
    sans->hp_cos_teta = sans->hp_sin_teta = sans->hp_cos_elev = sans->hp_sin_elev = nullptr;
    sans->table_cos = nullptr;
    const auto t = sans.jouer(signaux(4, 1.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(t[0][0], x->gain_cible[0] / 441.0f);
    EXPECT_EQ(t[2][0], 0.0f);
}

TEST(TrazinPerform, BadPositionSamplesAreSilent) {
    for (const char *repere : {"c", "p", "s"}) {
        Instance x = creer({repere, "s", "1e-5"});
        for (float v : {NAN, INFINITY, -INFINITY, 3e38f, -1e19f, 1e30f}) {
            for (int k = 1; k < 4; k++) {
                test::Signaux e = signaux(3, 1.0f, 1.0f, 1.0f, 1.0f);
                e[k] = Signal(3, v);
                const auto s = x.jouer(e);
                for (int j = 0; j < 8; j++) {
                    for (float o : s[j]) ASSERT_TRUE(std::isfinite(o)) << repere << v;
                    // An angle of any size is still an angle.
                    if (std::isfinite(v) && k > 1 && repere[0] != 'c') continue;
                    ASSERT_EQ(s[j][0], 0.0f) << repere << " " << v << " coordinate " << k;
                }
            }
        }
    }
}

TEST(TrazinPerform, OutputsSharingMemoryWithInputs) {
    Instance x = creer({"s", "s"});
    const test::Signaux e = signaux(200, 0.7f, 1.5f, 30.0f, 60.0f);
    const auto seul = x.jouer(e);
    for (int entree = 0; entree < 4; entree++) {
        for (int sortie : {0, 5, 7}) {
            std::vector<int> partage(8, -1);
            partage[sortie] = entree;
            ASSERT_EQ(x.jouer(e, partage), seul) << entree << " " << sortie;
        }
    }
}

TEST(TrazinPerform, BlockTablesAsCreationFillsThem) {
    Instance x = creer({"c", "s"});
    ASSERT_NE(x->hp_cos_teta, nullptr);
    EXPECT_EQ(x->hp_sin_teta, x->hp_cos_teta + 8);
    EXPECT_EQ(x->hp_cos_elev, x->hp_cos_teta + 16);
    EXPECT_EQ(x->hp_sin_elev, x->hp_cos_teta + 24);
    EXPECT_EQ(x->table_cos, x->hp_cos_teta + 32);
    EXPECT_EQ(x->hp_sin_elev[5], sinf(0.6154797f));
    EXPECT_EQ(x->hp_cos_teta[0], cosf(2.3561945f));
    EXPECT_EQ(x->table_cos[0], 1.0f);
    EXPECT_NEAR(x->table_cos[1024], 0.0f, 1e-6);
    EXPECT_EQ(x->table_cos[4095], cosf(8190.0f * 3.1415927f * 0.000244140625f));
}

} // namespace
