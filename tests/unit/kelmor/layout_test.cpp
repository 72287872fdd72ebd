// kelmor~ loudspeaker layouts: the default rings, the loudspeaker count, and
// the placing messages at their edges.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cp850.hpp"
#include "instance.hpp"
#include "fake_pd.hpp"

namespace {

using namespace kelmor_test;

void expect_ring(Instance &k, std::vector<double> degres) {
    ASSERT_EQ(k->nb_hp, static_cast<int>(degres.size()));
    for (size_t i = 0; i < degres.size(); i++) {
        EXPECT_NEAR(k->hp_teta[i] * 180.0 / M_PI, degres[i], 1e-4) << "loudspeaker " << i + 1;
        EXPECT_EQ(k->hp_dist[i], 1.0f);
    }
}

TEST(KelmorLayout, DefaultRings) {
    Instance quatre(4), deux(2), huit(8, 1, 0);
    expect_ring(quatre, {135, 45, -45, -135});
    expect_ring(deux, {180, 0});
    expect_ring(huit, {112.5, 67.5, 22.5, -22.5, -67.5, -112.5, -157.5, -202.5});
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(huit->hp_cos[i], cosf(huit->hp_teta[i]));
        EXPECT_EQ(huit->hp_sin[i], sinf(huit->hp_teta[i]));
    }
}

TEST(KelmorLayout, LoudspeakerCount) {
    Instance k(8, 1, 0);
    envoyer(k, kelmor_tilde_xy_positionner_hp, {5, 5});
    fake_pd::clear_console();
    kelmor_tilde_initialiser_nb_hp(&k.x, 3.9f);
    expect_ring(k, {150, 30, -90});
    EXPECT_EQ(k->hp_cos[0], cosf(k->hp_teta[0]));
    EXPECT_TRUE(fake_pd::console().empty());

    const std::string refus =
        "kelmor~: Le nombre de haut-parleurs doit " CP850_E_CIRC "treinf" CP850_E_AIGU
        "rieur " CP850_A_GRAVE " 8, \n  et sup" CP850_E_AIGU "rieur " CP850_A_GRAVE
        " 2, ou " CP850_E_AIGU "gal.";
    for (float n : {1.0f, 9.0f, 0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
        fake_pd::clear_console();
        kelmor_tilde_initialiser_nb_hp(&k.x, n);
        EXPECT_EQ(fake_pd::console(), std::vector<std::string>{refus}) << n;
        EXPECT_EQ(k->nb_hp, 3);
    }
    kelmor_tilde_initialiser_nb_hp(&k.x, 2);
    expect_ring(k, {180, 0});
    kelmor_tilde_initialiser_nb_hp(&k.x, 8);
    EXPECT_EQ(k->nb_hp, 8);
}

// Refused or not, the count recomputes the targets: a glide in progress
// restarts from the present gains over a full temps_interp.
TEST(KelmorLayout, CountRestartsTheGlide) {
    Instance k(8, 1, 1, 0.3f, 100);
    k->gain_courant[0] = 0.2f;
    kelmor_tilde_initialiser_nb_hp(&k.x, 9);
    EXPECT_FLOAT_EQ(k->gain_pas[0], (k->gain_cible[0] - 0.2f) / 100.0f);

    // Loudspeakers taken back into use glide from the gain they were left at.
    kelmor_tilde_initialiser_nb_hp(&k.x, 3);
    k->gain_courant[6] = 0.3f;
    kelmor_tilde_initialiser_nb_hp(&k.x, 8);
    EXPECT_FLOAT_EQ(k->gain_pas[6], (k->gain_cible[6] - 0.3f) / 100.0f);
}

TEST(KelmorLayout, PlacingByAngleAndDistance) {
    Instance k(4);
    envoyer(k, kelmor_tilde_teta_positionner_hp, {90});
    expect_ring(k, {90, 45, -45, -135});
    const float seul = k->gain_cible[0];

    envoyer(k, kelmor_tilde_dist_teta_positionner_hp, {2});
    EXPECT_EQ(k->hp_dist[0], 2.0f);
    EXPECT_NEAR(k->gain_cible[0], 2 * seul, 1e-6);
    envoyer(k, kelmor_tilde_teta_positionner_hp, {90}); // back to distance 1
    EXPECT_EQ(k->hp_dist[0], 1.0f);

    // Surplus values are ignored; a loudspeaker behind the source stays cut.
    envoyer(k, kelmor_tilde_dist_teta_positionner_hp, {1, 90, 1, 45, 1, -45, 3, -90, 9, 9});
    EXPECT_EQ(k->hp_dist[3], 3.0f);
    EXPECT_EQ(k->gain_cible[3], 0.0f);

    // A word reads as 0 degrees.
    envoyer(k, kelmor_tilde_teta_positionner_hp, "avant");
    EXPECT_EQ(k->hp_teta[0], 0.0f);
}

TEST(KelmorLayout, PlacingByCoordinates) {
    Instance k(4, 1, 0);
    envoyer(k, kelmor_tilde_xy_positionner_hp, {0, 1, 1});
    EXPECT_FLOAT_EQ(k->hp_teta[0], M_PI / 2);
    EXPECT_EQ(k->hp_dist[0], 1.0f);
    EXPECT_FLOAT_EQ(k->hp_teta[1], M_PI / 4); // the running y of the first pair
    EXPECT_FLOAT_EQ(k->hp_dist[1], std::sqrt(2.0f));
    EXPECT_EQ(k->hp_cos[1], cosf(k->hp_teta[1]));
    EXPECT_NEAR(k->hp_teta[2] * 180 / M_PI, -45, 1e-4); // untouched

    envoyer(k, kelmor_tilde_xy_positionner_hp, {0, -2, -1, 0});
    EXPECT_FLOAT_EQ(k->hp_teta[0], -M_PI / 2);
    EXPECT_FLOAT_EQ(k->hp_teta[1], M_PI);

    Instance c(4);
    envoyer(c, kelmor_tilde_xy_positionner_hp, {0, 0});
    EXPECT_EQ(c->hp_teta[0], 0.0f);
    EXPECT_EQ(c->hp_dist[0], 0.0f);
    EXPECT_EQ(c->gain_cible[0], 0.0f);
}

// A value that is not finite counts as absent: that loudspeaker keeps what it
// had; a far but finite one keeps its true distance.
TEST(KelmorLayout, NonFiniteValuesAreAbsent) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Instance k(4, 1, 0);
    const std::vector<float> teta(k->hp_teta, k->hp_teta + 4);
    envoyer(k, kelmor_tilde_teta_positionner_hp, {nan, inf, 3e38f});
    envoyer(k, kelmor_tilde_dist_teta_positionner_hp, {nan, inf});
    envoyer(k, kelmor_tilde_xy_positionner_hp, {inf, 0, nan, 1, 3e38f, 3e38f});
    EXPECT_EQ(std::vector<float>(k->hp_teta, k->hp_teta + 4), teta);
    for (int i = 0; i < 4; i++) EXPECT_EQ(k->hp_dist[i], 1.0f);

    // A non-finite y is a missing y: the running y stands in.
    envoyer(k, kelmor_tilde_xy_positionner_hp, {1, 1, 1, nan, 1e20f, 0});
    EXPECT_FLOAT_EQ(k->hp_teta[1], M_PI / 4);
    EXPECT_EQ(k->hp_dist[2], 1e20f);
    for (int i = 0; i < 4; i++) EXPECT_TRUE(std::isfinite(k->hp_cos[i]));
}

} // namespace
