// The settings messages: coordinate system without conversion, the mute
// flag, and the offset with its refusals and recomputation.

#include <gtest/gtest.h>

#include <cmath>

#include "instance.hpp"

namespace {

using namespace trazin_test;
// The refusal lines themselves are checked byte for byte in the real host.

TEST(TrazinSettings, ChangeTypeConvertsNothing) {
    Instance x = creer();
    position(x.get(), 0.5f, 2.0f, -1.0f);
    const std::vector<float> avant = cibles(x.get());
    message(trazin_tilde_changer_type_repere, x.get(), {"polaire"});
    EXPECT_EQ(x->type_repere, REPERE_POLAIRE);
    EXPECT_EQ(cibles(x.get()), avant);
    EXPECT_EQ(x->source_x, 0.5f);
    // The distance is still 0 from creation: the azimuth alone keeps the
    // source on the vertical axis, at the height it had.
    trazin_tilde_recoit_y(x.get(), 45.0f);
    EXPECT_EQ(x->source_x, 0.0f);
    EXPECT_EQ(x->source_y, 0.0f);
    EXPECT_EQ(x->source_z, -1.0f);
    trazin_tilde_recoit_x(x.get(), 2.0f);
    EXPECT_NEAR(x->source_x, std::sqrt(2.0f), 1e-6);

    message(trazin_tilde_changer_type_repere, x.get(), {"sph"});
    EXPECT_EQ(x->type_repere, REPERE_SPHERIQUE);
    message(trazin_tilde_changer_type_repere, x.get(), {"cart"});
    EXPECT_EQ(x->type_repere, REPERE_CARTESIEN);
    fake_pd::clear_console();
    message(trazin_tilde_changer_type_repere, x.get(), {});
    EXPECT_TRUE(fake_pd::console().empty());
    for (const char *mauvais : {"1", "Polaire", "x"}) {
        fake_pd::clear_console();
        message(trazin_tilde_changer_type_repere, x.get(), {mauvais});
        EXPECT_EQ(fake_pd::console().size(), 1u) << mauvais;
        EXPECT_EQ(x->type_repere, REPERE_CARTESIEN);
    }
}

TEST(TrazinSettings, MuteFlag) {
    Instance x = creer({"c", "s"});
    for (float f : {0.5f, -1.0f, 1.0f}) {
        trazin_tilde_muter_entrees_signal(x.get(), f);
        EXPECT_EQ(x->entrees_muettes, 1) << f;
        trazin_tilde_muter_entrees_signal(x.get(), 0.0f);
        EXPECT_EQ(x->entrees_muettes, 0);
    }
}

TEST(TrazinSettings, OffsetRefusals) {
    Instance x = creer();
    for (float mauvais : {0.0f, -0.5f, 1e-6f, NAN, INFINITY}) {
        fake_pd::clear_console();
        trazin_tilde_changer_offset(x.get(), mauvais);
        EXPECT_EQ(fake_pd::console().size(), 1u) << mauvais;
        EXPECT_EQ(x->offset, 0.3f);
    }
    fake_pd::clear_console();
    trazin_tilde_changer_offset(x.get(), std::nextafter(1e-6f, 1.0f));
    EXPECT_TRUE(fake_pd::console().empty());
}

// Control mode: the same position, new targets, a fresh glide from where
// the gains stand.
TEST(TrazinSettings, OffsetRecomputesInEverySystem) {
    Instance x = creer();
    x->gain_courant[0] = 0.1f;
    trazin_tilde_changer_offset(x.get(), 1.0f);
    EXPECT_EQ(x->offset, 1.0f);
    EXPECT_NEAR(x->gain_cible[0], 0.1983f, 5e-5);
    EXPECT_NEAR(x->gain_cible[5], 0.1983f, 5e-5);
    EXPECT_EQ(x->gain_cible[2], 0.0f);
    EXPECT_EQ(x->gain_pas[0], (x->gain_cible[0] - 0.1f) / 441.0f);

    for (const char *repere : {"p", "s"}) {
        Instance y = creer({repere});
        position(y.get(), 1.2f, 30.0f, 70.0f);
        const float px = y->source_x, py = y->source_y, pz = y->source_z;
        const std::vector<float> avant = cibles(y.get());
        trazin_tilde_changer_offset(y.get(), 2.0f);
        EXPECT_EQ(y->source_x, px) << repere;
        EXPECT_EQ(y->source_y, py) << repere;
        EXPECT_EQ(y->source_z, pz) << repere;
        EXPECT_LT(y->gain_cible[5], avant[5]) << repere;
        trazin_tilde_changer_offset(y.get(), 0.3f);
        EXPECT_EQ(cibles(y.get()), avant) << repere;
    }

    // Signal mode: the offset is read by the signal routine; the glide
    // targets wait for the next position message.
    Instance s = creer({"c", "s"});
    const std::vector<float> avant = cibles(s.get());
    trazin_tilde_changer_offset(s.get(), 1.0f);
    EXPECT_EQ(s->offset, 1.0f);
    EXPECT_EQ(cibles(s.get()), avant);
}

} // namespace
