// sorvel~ panning law and position handlers: the figures users can check by
// ear on the default ring, and properties that hold for any layout.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "sorvel_record.hpp"

namespace {

const double R2 = std::sqrt(0.5);

void expect_gains(const std::vector<float> &got, const std::vector<double> &expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (size_t j = 0; j < got.size(); j++)
        EXPECT_NEAR(got[j], expected[j], 2e-6) << "loudspeaker " << j;
}

TEST(SorvelLaw, DefaultRingFromTheCentreOutward) {
    auto s = sorvel(4); // loudspeakers at 135, 45, 315, 225 degrees; disc of radius 0.5
    expect_gains(cibles(&s->x, 0, 0), {R2, R2, R2, R2});
    expect_gains(cibles(&s->x, 0, 0.25f), {0.5 + 0.5 * R2, 0.5 + 0.5 * R2, 0.5 * R2, 0.5 * R2});
    expect_gains(cibles(&s->x, 0, 0.5f), {1, 1, 0, 0});
    expect_gains(cibles(&s->x, 0, 1), {0.5, 0.5, 0, 0});
    expect_gains(cibles(&s->x, 0, 2), {0.25, 0.25, 0, 0});
    // A hair off the centre: the pair part is dropped, the spread stays.
    expect_gains(cibles(&s->x, 0, 0.0005f), {R2 * 0.999, R2 * 0.999, R2 * 0.999, R2 * 0.999});
}

TEST(SorvelLaw, LoudspeakerDirectionsAndTheWrapPair) {
    auto s = sorvel(4);
    expect_gains(cibles(&s->x, 1, 1), {0, R2 / std::sqrt(2.0), 0, 0});
    expect_gains(cibles(&s->x, 2, 0), {0, 0.25, 0.25, 0}); // 0 degrees: between 315 and 45
    auto t = sorvel(6);
    std::vector<float> g = cibles(&t->x, 0, 3);
    for (int j = 2; j < 6; j++) EXPECT_EQ(t->x.gain_cible[j], j == 5 ? g[5] : 0.0f);
}

TEST(SorvelLaw, PolarCoordinates) {
    auto s = sorvel(4, 0);
    sorvel_tilde_recoit_y(&s->x, 30);
    sorvel_tilde_recoit_x(&s->x, -1);
    std::vector<float> negatif(s->x.gain_cible, s->x.gain_cible + 4);
    EXPECT_EQ(s->x.source_dist, -1.0f);
    EXPECT_NEAR(s->x.source_teta, 30 * 3.1415927 / 180, 1e-6);
    sorvel_tilde_recoit_y(&s->x, 210);
    sorvel_tilde_recoit_x(&s->x, 1);
    for (int j = 0; j < 4; j++) EXPECT_NEAR(negatif[j], s->x.gain_cible[j], 1e-6);

    sorvel_tilde_recoit_y(&s->x, 370);
    EXPECT_NEAR(s->x.source_teta, 10 * 3.1415927 / 180, 1e-6);
    sorvel_tilde_recoit_y(&s->x, -10);
    EXPECT_NEAR(s->x.source_teta, 350 * 3.1415927 / 180, 1e-5);
    EXPECT_NEAR(s->x.source_x, std::cos(350 * M_PI / 180), 1e-6);

    // Straight ahead in polar form is the cartesian (0, 1), but for the few
    // millionths of a radian by which 1.5708 misses a right angle.
    auto c = sorvel(4, 1);
    auto p = sorvel(4, 0);
    for (int j = 0; j < 4; j++) EXPECT_NEAR(c->x.gain_cible[j], p->x.gain_cible[j], 4e-6);
}

TEST(SorvelLaw, ListsAreOneComputation) {
    auto s = sorvel(4);
    std::vector<t_atom> a = nombres({0.5f});
    sorvel_tilde_recoit_liste(&s->x, nullptr, 1, a.data());
    EXPECT_EQ(s->x.source_x, 0.5f);
    EXPECT_EQ(s->x.source_y, 1.0f);
    a = nombres({-0.5f, 2, 99});
    sorvel_tilde_recoit_liste(&s->x, nullptr, 3, a.data());
    EXPECT_EQ(s->x.source_x, -0.5f);
    EXPECT_EQ(s->x.source_y, 2.0f);

    // The step starts from where the gain stood once, not after a y first.
    s->x.gain_courant[0] = 0.1f;
    a = nombres({0, 1});
    sorvel_tilde_recoit_liste(&s->x, nullptr, 2, a.data());
    EXPECT_FLOAT_EQ(s->x.gain_pas[0], (0.5f - 0.1f) / 441);

    // Nothing there, a bang: nothing read, nothing changed.
    const t_sorvel_tilde before = s->x;
    sorvel_tilde_recoit_liste(&s->x, nullptr, 0, nullptr);
    EXPECT_EQ(0, memcmp(&before, &s->x, sizeof before));

    auto p = sorvel(4, 0);
    a = nombres({2, 450});
    sorvel_tilde_recoit_liste(&p->x, nullptr, 2, a.data());
    EXPECT_NEAR(p->x.source_x, 0, 1e-6);
    EXPECT_NEAR(p->x.source_y, 2, 1e-6);
}

TEST(SorvelLaw, CoordinatesThatAreNotNumbersLeaveTheSourceAlone) {
    auto s = sorvel(4);
    sorvel_tilde_recoit_x(&s->x, 0.3f);
    const t_sorvel_tilde before = s->x;
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        sorvel_tilde_recoit_x(&s->x, bad);
        sorvel_tilde_recoit_y(&s->x, bad);
        std::vector<t_atom> a = nombres({0.2f, bad});
        sorvel_tilde_recoit_liste(&s->x, nullptr, 2, a.data());
        a = nombres({bad});
        sorvel_tilde_recoit_liste(&s->x, nullptr, 1, a.data());
    }
    EXPECT_EQ(0, memcmp(&before, &s->x, sizeof before));
    // A source so close that its squares are subnormal still has a
    // direction, and keeps it through a change to polar coordinates.
    sorvel_tilde_recoit_liste(&s->x, nullptr, 2, nombres({4.32188138e-22f, 0}).data());
    t_atom polaire;
    SETSYMBOL(&polaire, gensym("p"));
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &polaire);
    EXPECT_TRUE(std::isfinite(s->x.source_teta));
    sorvel_tilde_recoit_x(&s->x, 1);
    for (int j = 0; j < 4; j++) EXPECT_TRUE(std::isfinite(s->x.gain_cible[j]));
    s->x.type_repere = 1;
    // Far but finite: silence, as the 1/distance law tends to.
    sorvel_tilde_recoit_x(&s->x, 3e38f);
    for (int j = 0; j < 4; j++) EXPECT_EQ(s->x.gain_cible[j], 0.0f);
}

TEST(SorvelLaw, AngleWrap) {
    EXPECT_EQ(sorvel_tilde_modulo(-90), 270);
    EXPECT_EQ(sorvel_tilde_modulo(360), 0);
    EXPECT_EQ(sorvel_tilde_modulo(725), 5);
    EXPECT_EQ(sorvel_tilde_modulo(-720), 0);
    EXPECT_FALSE(std::signbit(sorvel_tilde_modulo(-720)));
    EXPECT_TRUE(std::isnan(sorvel_tilde_modulo(NAN)));
    // Too large for a turn to change them: still wrapped, in no time.
    for (float a : {1e30f, -1e30f, 3.4e38f, INFINITY, -INFINITY, -1e-10f}) {
        const float w = sorvel_tilde_modulo(a);
        EXPECT_GE(w, 0.0f) << a;
        EXPECT_LT(w, 360.0f) << a;
    }
    EXPECT_EQ(sorvel_tilde_modulo(-1e-10f), 0.0f); // 360 - tiny rounds to 360: a whole turn
    EXPECT_EQ(sorvel_tilde_modulo(1e9f), std::fmod(1e9, 360.0));
}

// For random rings (non-degenerate pairs of unit loudspeakers), any source
// outside the disc: the pair reproduces its direction, carries half the power
// at distance 1 and falls as 1/distance; at the rim inside and outside meet,
// and the centre spread has the rim's power.
TEST(SorvelLaw, PairPanningPropertiesOnRandomRings) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> angle(0, 360), unit(0, 1);
    for (int essai = 0; essai < 200; essai++) {
        const int n = 3 + essai % 14;
        auto s = sorvel(n, 1, 1, 0.2f + unit(random));
        std::vector<t_atom> a;
        for (int j = 0; j < n; j++) a.push_back(nombre(j * 360.0f / n + 10 * unit(random)));
        sorvel_tilde_teta_positionner_hp(&s->x, nullptr, n, a.data());
        ASSERT_TRUE(fake_pd::console().empty());

        const float t = angle(random) * 3.1415927f / 180;
        const float d = s->x.rayon_disq_centrale * (1.01f + 3 * unit(random));
        std::vector<float> g = cibles(&s->x, d * std::cos(t), d * std::sin(t));
        double sx = 0, sy = 0, power = 0;
        for (int j = 0; j < n; j++) {
            sx += g[j] * s->x.hp_x[j];
            sy += g[j] * s->x.hp_y[j];
            power += g[j] * g[j];
        }
        EXPECT_NEAR(std::atan2(sy, sx), std::atan2(std::sin(t), std::cos(t)), 1e-4);
        EXPECT_NEAR(power * d * d, 0.5, 1e-4);

        const float rc = s->x.rayon_disq_centrale;
        std::vector<float> in =
            cibles(&s->x, rc * 0.99999f * std::cos(t), rc * 0.99999f * std::sin(t));
        std::vector<float> out =
            cibles(&s->x, rc * 1.00001f * std::cos(t), rc * 1.00001f * std::sin(t));
        for (int j = 0; j < n; j++) EXPECT_NEAR(in[j], out[j], 1e-3 / rc);

        double centre = 0;
        for (float c : cibles(&s->x, 0, 0)) centre += c * c;
        EXPECT_NEAR(centre * rc * rc, 0.5, 1e-4);
    }
}

} // namespace
