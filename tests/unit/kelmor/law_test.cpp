// The kelmor~ law against the figures users rely on, and how position
// messages move the source.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "instance.hpp"
#include "fake_pd.hpp"

namespace {

using namespace kelmor_test;
using Gains = std::vector<float>;

void expect_near(const Gains &actual, const Gains &expected, float tolerance = 5e-6f) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "loudspeaker " << i + 1;
}

Gains cibles_a(int nb, float sx, float sy) {
    Instance k(nb);
    kelmor_tilde_recoit_y(&k.x, sy);
    kelmor_tilde_recoit_x(&k.x, sx);
    return k.cibles();
}

TEST(KelmorLaw, FourLoudspeakersOnTheDefaultRing) {
    expect_near(cibles_a(4, 0, 0), {0.70984f, 0.70984f, 0.70984f, 0.70984f});
    expect_near(cibles_a(4, 0, 1), {0.49148f, 0.49148f, 0, 0});
    expect_near(cibles_a(4, 1, 0), {0, 0.49148f, 0.49148f, 0});
    expect_near(cibles_a(4, 0, 2), {0.29071f, 0.29071f, 0, 0});
    expect_near(cibles_a(4, 0, 10), {0.06314f, 0.06314f, 0, 0});
    // Cut to exactly zero, not merely small.
    EXPECT_EQ(cibles_a(4, 0, 1)[2], 0.0f);
}

TEST(KelmorLaw, TwoAndEightLoudspeakers) {
    expect_near(cibles_a(2, 0, 1), {0.23166f, 0.23166f});
    expect_near(cibles_a(8, 0, 1), {0.41856f, 0.41856f, 0.24122f, 0, 0, 0, 0, 0.24122f});
}

// A fresh instance fades in: every gain starts at 0 and its step reaches
// the target of the source straight ahead in temps_interp samples.
TEST(KelmorLaw, CreationStartsAGlideFromSilence) {
    for (int repere : {1, 0}) {
        Instance k(4, repere);
        expect_near(k.cibles(), {0.49148f, 0.49148f, 0, 0});
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(k->gain_courant[i], 0.0f);
            EXPECT_EQ(k->gain_pas[i], k->gain_cible[i] / 441.0f);
        }
    }
}

TEST(KelmorLaw, PolarMessagesPlaceTheSourceLikeCartesianOnes) {
    Instance k(4, 0);
    kelmor_tilde_recoit_y(&k.x, 45);
    kelmor_tilde_recoit_x(&k.x, 2);
    EXPECT_NEAR(k->source_x, std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(k->source_y, std::sqrt(2.0), 1e-6);
    EXPECT_EQ(k->source_dist, 2.0f);
    kelmor_tilde_recoit_y(&k.x, 90);
    kelmor_tilde_recoit_x(&k.x, 1);
    expect_near(k.cibles(), cibles_a(4, 0, 1));
    // A negative distance puts the source on the opposite side.
    kelmor_tilde_recoit_x(&k.x, -1);
    expect_near(k.cibles(), cibles_a(4, 0, -1));
    // A list sets the angle, then the distance.
    envoyer(k, kelmor_tilde_recoit_liste, {1, 0});
    expect_near(k.cibles(), cibles_a(4, 1, 0));
}

TEST(KelmorLaw, ListsAndBangs) {
    Instance k(4);
    envoyer(k, kelmor_tilde_recoit_liste, {0.5f});
    EXPECT_EQ(k->source_x, 0.5f);
    EXPECT_EQ(k->source_y, 1.0f);
    envoyer(k, kelmor_tilde_recoit_liste, {0.25f, -0.5f, 7, 8});
    EXPECT_EQ(k->source_x, 0.25f);
    EXPECT_EQ(k->source_y, -0.5f);
    expect_near(k.cibles(), cibles_a(4, 0.25f, -0.5f));

    // A bang (a list without elements) changes nothing, glide included.
    k->gain_courant[0] = 0.1f;
    const float pas = k->gain_pas[0];
    kelmor_tilde_recoit_liste(&k.x, nullptr, 0, nullptr);
    EXPECT_EQ(k->gain_pas[0], pas);
    EXPECT_EQ(k->source_x, 0.25f);
}

// A non-finite coordinate, or one whose angle overflows, leaves the position
// and the glide as they were; a finite but absurdly far source is silent.
TEST(KelmorLaw, NonFiniteAndFarPositions) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int repere : {1, 0}) {
        Instance k(4, repere);
        const Gains avant = k.cibles();
        const float pas = k->gain_pas[1];
        for (float v : {inf, -inf, nan}) {
            kelmor_tilde_recoit_x(&k.x, v);
            kelmor_tilde_recoit_y(&k.x, v);
            envoyer(k, kelmor_tilde_recoit_liste, {0.5f, v});
            envoyer(k, kelmor_tilde_recoit_liste, {v, 0.5f});
        }
        if (repere == 0) kelmor_tilde_recoit_y(&k.x, 3e38f); // too many degrees for radians
        EXPECT_EQ(k.cibles(), avant);
        EXPECT_EQ(k->gain_pas[1], pas);
        EXPECT_EQ(k->source_y, 1.0f);

        kelmor_tilde_recoit_x(&k.x, 3e38f);
        for (float g : k.cibles()) EXPECT_EQ(g, 0.0f);
    }
}

// Any layout, placed by any message, any offset and position in either
// system: each target is the law in the source's own distance r and angle
// phi, norm x distance x (0.707 / (r + offset) + 2r / (r^2 + offset) x
// cos(teta - phi)), cut at 0; and the glide starts from the present gain.
TEST(KelmorLaw, TargetsFollowTheLawInDistanceAndAngle) {
    std::mt19937 hasard(5);
    std::uniform_real_distribution<float> coord(-3, 3), degres(-400, 400), offset(0.01f, 3),
        gain(0, 1);
    const Methode placer[] = {kelmor_tilde_teta_positionner_hp,
                              kelmor_tilde_dist_teta_positionner_hp,
                              kelmor_tilde_xy_positionner_hp};
    for (int essai = 0; essai < 300; essai++) {
        const int nb = 2 + static_cast<int>(hasard() % 15);
        Instance k(nb, static_cast<int>(hasard() % 2), static_cast<int>(hasard() % 2),
                   offset(hasard));
        kelmor_tilde_initialiser_nb_hp(&k.x, 2 + static_cast<int>(hasard() % (nb - 1)));
        std::vector<float> v;
        for (int i = 0; i < 2 * k->nb_hp; i++) v.push_back(i % 2 ? degres(hasard) : coord(hasard));
        if (essai % 4) envoyer(k, placer[hasard() % 3], v);
        for (int i = 0; i < k->nb_hp; i++) k->gain_courant[i] = gain(hasard);
        envoyer(k, kelmor_tilde_recoit_liste,
                {coord(hasard), k->type_repere ? coord(hasard) : degres(hasard)});

        const double r = std::hypot(k->source_x, k->source_y);
        const double phi = std::atan2(k->source_y, k->source_x), o = k->offset;
        const double norme = std::sqrt(1.0 / k->nb_hp) / 1.66;
        for (int i = 0; i < k->nb_hp; i++) {
            const double omni = 0.707 / (r + o), directionnel = 2 * r / (r * r + o);
            const double g =
                norme * k->hp_dist[i] * (omni + directionnel * std::cos(k->hp_teta[i] - phi));
            const double echelle = norme * std::fabs(k->hp_dist[i]) * (omni + directionnel);
            ASSERT_NEAR(k->gain_cible[i], std::max(g, 0.0), 1e-6 * echelle) << essai << " " << i;
            ASSERT_EQ(k->gain_pas[i], (k->gain_cible[i] - k->gain_courant[i]) / 441.0f);
        }
    }
}

// Whatever layout or offset is stored, no target comes out non-finite.
TEST(KelmorLaw, ExtremeLayoutsGiveFiniteTargets) {
    Instance k(4, 1, 1, 2e-6f);
    envoyer(k, kelmor_tilde_dist_teta_positionner_hp, {3e38f, 90, -3e38f, 90, 3e38f, 1e30f});
    for (float y : {0.0f, 1e-3f, 1.0f, 1e17f}) {
        kelmor_tilde_recoit_y(&k.x, y);
        for (float g : k.cibles()) {
            EXPECT_TRUE(std::isfinite(g)) << y;
            EXPECT_GE(g, 0.0f);
        }
    }
}

} // namespace
