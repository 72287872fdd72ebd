// sorvel~ layout: the default ring, the pair tables, the centre spread and
// the messages that change them, down to layouts that cannot pan.

#include <gtest/gtest.h>

#include <cmath>

#include "sorvel_record.hpp"

namespace {

// The lines posted are checked byte for byte in the real host; here, how
// many: aligned neighbours post one per pair they spoil.

float degres(float radians) {
    return radians * 180.0f / 3.1415927f;
}

void expect_all_finite(const t_sorvel_tilde &x) {
    for (int j = 0; j < 16; j++) {
        EXPECT_TRUE(std::isfinite(x.gain_centre[j])) << j;
        EXPECT_TRUE(std::isfinite(x.gain_cible[j])) << j;
        EXPECT_TRUE(std::isfinite(x.gain_pas[j])) << j;
        EXPECT_TRUE(std::isfinite(x.hp_dist[j])) << j;
        for (float m : x.hp_mat[j]) EXPECT_TRUE(std::isfinite(m)) << j;
    }
}

TEST(SorvelLayout, DefaultRings) {
    auto s3 = sorvel(3), s4 = sorvel(4), s8 = sorvel(8);
    const float ring3[] = {150, 30, 270}, ring4[] = {135, 45, 315, 225};
    const float ring8[] = {112.5, 67.5, 22.5, 337.5, 292.5, 247.5, 202.5, 157.5};
    for (int i = 0; i < 3; i++) EXPECT_NEAR(degres((*s3)->hp_teta[i]), ring3[i], 1e-4);
    for (int i = 0; i < 4; i++) EXPECT_NEAR(degres((*s4)->hp_teta[i]), ring4[i], 1e-4);
    for (int i = 0; i < 8; i++) EXPECT_NEAR(degres((*s8)->hp_teta[i]), ring8[i], 1e-4);
    for (int i = 0; i < 8; i++) EXPECT_NEAR((*s8)->hp_dist[i], 1.0f, 1e-6);
}

TEST(SorvelLayout, OrderPairsAndCentreOfTheDefaultRingOfFour) {
    auto s = sorvel(4);
    const t_sorvel_tilde &x = s->x;
    EXPECT_EQ(std::vector<int>(x.hp_ordre, x.hp_ordre + 4), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(sorvel_tilde_chercher_paire(&x, 0.0f), 3); // below 45 degrees: the wrap pair
    EXPECT_EQ(sorvel_tilde_chercher_paire(&x, 3.1415927f / 2), 0);
    for (int j = 0; j < 4; j++) EXPECT_NEAR(x.gain_centre[j], 1.0 / std::sqrt(2.0), 1e-6);
    // The wrap pair joins loudspeaker 2 (225) to 1 (45) across 0 degrees.
    EXPECT_NEAR(x.hp_mat[3][0] * 1 + x.hp_mat[3][1] * 0, std::sqrt(0.5), 1e-6);
}

TEST(SorvelLayout, RightAnglesAndAlignedNeighbours) {
    auto s = sorvel(4);
    std::vector<t_atom> a = nombres({0, 90, 180, 270});
    sorvel_tilde_teta_positionner_hp(&s->x, nullptr, 4, a.data());
    EXPECT_TRUE(fake_pd::console().empty());
    for (int k = 0; k < 4; k++)
        EXPECT_NEAR(std::fabs(s->x.hp_mat[k][0] * s->x.hp_mat[k][3] -
                              s->x.hp_mat[k][1] * s->x.hp_mat[k][2]),
                    1.0, 1e-5);

    auto t = sorvel(3);
    a = nombres({0, 180, 90});
    sorvel_tilde_teta_positionner_hp(&t->x, nullptr, 3, a.data());
    EXPECT_EQ(std::vector<int>(t->x.hp_ordre, t->x.hp_ordre + 3), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(fake_pd::console().size(), 1u);
    // Between 180 and 360 degrees, outside the disc, there is nothing to hear.
    EXPECT_EQ(cibles(&t->x, 0.3f, -2.0f), (std::vector<float>{0, 0, 0}));
    EXPECT_GT(cibles(&t->x, -1.0f, 1.0f)[1], 0.3f);
    // The line comes again each time the tables are rebuilt.
    sorvel_tilde_changer_rayon_disq_centrale(&t->x, 0.7f);
    EXPECT_EQ(fake_pd::console().size(), 2u);

    auto u = sorvel(4);
    a = nombres({10, 10});
    sorvel_tilde_teta_positionner_hp(&u->x, nullptr, 2, a.data());
    EXPECT_EQ(fake_pd::console().size(), 1u);
}

TEST(SorvelLayout, PlacingMessagesTakeWhatTheyAreGiven) {
    auto s = sorvel(4);
    std::vector<t_atom> a = nombres({-90, 450, 0, 0, 0, 0});
    sorvel_tilde_teta_positionner_hp(&s->x, nullptr, 6, a.data()); // extra angles ignored
    EXPECT_NEAR(degres(s->x.hp_teta[0]), 270, 1e-4);
    EXPECT_NEAR(degres(s->x.hp_teta[1]), 90, 1e-4);

    auto t = sorvel(4);
    a = nombres({30});
    sorvel_tilde_teta_positionner_hp(&t->x, nullptr, 1, a.data());
    EXPECT_NEAR(degres(t->x.hp_teta[3]), 225, 1e-4); // the others stay

    a = nombres({1});
    const float y0 = t->x.hp_y[0];
    sorvel_tilde_xy_positionner_hp(&t->x, nullptr, 1, a.data());
    EXPECT_EQ(t->x.hp_x[0], 1.0f);
    EXPECT_EQ(t->x.hp_y[0], y0);

    a = nombres({1, -1, 2});
    sorvel_tilde_xy_positionner_hp(&t->x, nullptr, 3, a.data());
    EXPECT_NEAR(t->x.hp_teta[0], 2 * 3.1415927f - 3.1415927f / 4, 1e-6);
    EXPECT_NEAR(t->x.hp_dist[0], std::sqrt(2.0f), 1e-6);
    EXPECT_EQ(t->x.hp_x[1], 2.0f);

    // A negative distance: the opposite point, the given angle kept.
    a = nombres({-2, 90});
    sorvel_tilde_dist_teta_positionner_hp(&t->x, nullptr, 2, a.data());
    EXPECT_NEAR(degres(t->x.hp_teta[0]), 90, 1e-4);
    EXPECT_NEAR(t->x.hp_y[0], -2.0f, 1e-6);
    a = nombres({3});
    sorvel_tilde_dist_teta_positionner_hp(&t->x, nullptr, 1, a.data());
    EXPECT_NEAR(t->x.hp_y[0], 3.0f, 1e-6);
    EXPECT_NEAR(t->x.hp_dist[0], 3.0f, 1e-6);
}

TEST(SorvelLayout, LoudspeakerCount) {
    auto s = sorvel(8);
    for (float n : {2.0f, 9.0f, 0.0f, NAN}) {
        sorvel_tilde_initialiser_nb_hp(&s->x, n);
        EXPECT_EQ(s->x.nb_hp, 8);
    }
    EXPECT_EQ(fake_pd::console().size(), 4u); // one refusal each
    sorvel_tilde_initialiser_nb_hp(&s->x, 3.9f);
    EXPECT_EQ(s->x.nb_hp, 3);
    EXPECT_NEAR(degres(s->x.hp_teta[2]), 270, 1e-4);
    for (int j = 3; j < 8; j++) EXPECT_EQ(s->x.gain_cible[j], 0.0f);
    sorvel_tilde_initialiser_nb_hp(&s->x, 8.7f);
    EXPECT_EQ(s->x.nb_hp, 8);

    // The same count again still restores the default ring.
    auto t = sorvel(4);
    std::vector<t_atom> a = nombres({0, 90, 180, 270});
    sorvel_tilde_teta_positionner_hp(&t->x, nullptr, 4, a.data());
    sorvel_tilde_initialiser_nb_hp(&t->x, 4);
    EXPECT_NEAR(degres(t->x.hp_teta[0]), 135, 1e-4);
}

// Layouts the law cannot pan with give silence where they fail, never a NaN.
TEST(SorvelLayout, LoudspeakerAtTheCentreAndNothingToPanWith) {
    auto s = sorvel(4);
    std::vector<t_atom> a = nombres({0, 0});
    sorvel_tilde_xy_positionner_hp(&s->x, nullptr, 2, a.data());
    EXPECT_EQ(s->x.hp_dist[0], 0.0f);
    // Its two pairs, and 45 to 225 degrees now that it no longer sits between.
    EXPECT_EQ(fake_pd::console().size(), 3u);
    expect_all_finite(s->x);
    EXPECT_EQ(s->x.gain_centre[0], 0.0f);
    for (float py : {-3.0f, -0.2f, 0.0f, 0.2f, 3.0f})
        for (float g : cibles(&s->x, 0.1f, py)) EXPECT_TRUE(std::isfinite(g));

    a = nombres({0, 0});
    sorvel_tilde_dist_teta_positionner_hp(&s->x, nullptr, 2, a.data());
    auto t = sorvel(3);
    a = nombres({0, 0, 0});
    sorvel_tilde_teta_positionner_hp(&t->x, nullptr, 3, a.data());
    EXPECT_EQ(fake_pd::console().size(), 3u);
    expect_all_finite(t->x);
    for (int j = 0; j < 3; j++) EXPECT_EQ(t->x.gain_centre[j], 0.0f);
    EXPECT_EQ(cibles(&t->x, 0.0f, 0.0f), (std::vector<float>{0, 0, 0}));
}

TEST(SorvelLayout, ValuesThatAreNotPlacesLeaveTheLoudspeakerAlone) {
    auto s = sorvel(4);
    const t_sorvel_tilde before = s->x;
    std::vector<t_atom> a = nombres({NAN, INFINITY, -INFINITY, 1e30f});
    sorvel_tilde_teta_positionner_hp(&s->x, nullptr, 3, a.data());
    sorvel_tilde_xy_positionner_hp(&s->x, nullptr, 4, a.data());
    a = nombres({1e30f, 10, 2, NAN});
    sorvel_tilde_dist_teta_positionner_hp(&s->x, nullptr, 4, a.data());
    for (int j = 0; j < 4; j++) {
        EXPECT_EQ(s->x.hp_x[j], before.hp_x[j]);
        EXPECT_EQ(s->x.hp_teta[j], before.hp_teta[j]);
    }
    EXPECT_TRUE(fake_pd::console().empty());
    // Subnormal squares: the direction stays a number.
    auto t = sorvel(4);
    a = nombres({4.32188138e-22f, 0});
    sorvel_tilde_xy_positionner_hp(&t->x, nullptr, 2, a.data());
    EXPECT_EQ(t->x.hp_teta[0], 0.0f);
}

} // namespace
