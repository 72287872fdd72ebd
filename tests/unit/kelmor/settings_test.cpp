// kelmor~ settings messages and the status report, byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cp850.hpp"
#include "instance.hpp"
#include "fake_pd.hpp"

namespace {

using namespace kelmor_test;
using Lines = std::vector<std::string>;

const std::string REFUS_OFFSET =
    "kelmor~: Pas d'offset n" CP850_E_AIGU "gatif ou nul s'il vous plait.";

TEST(KelmorSettings, OffsetAcceptsOnlyValuesAbove1e6) {
    Instance k(4, 1, 1, 0.3f, 100);
    const float avant = k->gain_cible[0];
    fake_pd::clear_console();
    kelmor_tilde_changer_offset(&k.x, 0.5f);
    EXPECT_EQ(k->offset, 0.5f);
    EXPECT_NE(k->gain_cible[0], avant); // recomputed at once, glided to
    EXPECT_FLOAT_EQ(k->gain_pas[0], k->gain_cible[0] / 100.0f);
    EXPECT_TRUE(fake_pd::console().empty());

    // The float nearest 1e-6 lies below the double 1e-6.
    for (float f : {-0.5f, 0.0f, 1e-6f, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity()}) {
        fake_pd::clear_console();
        kelmor_tilde_changer_offset(&k.x, f);
        EXPECT_EQ(fake_pd::console(), Lines{REFUS_OFFSET}) << f;
        EXPECT_EQ(k->offset, 0.5f);
    }

    // With signal inlets the ramped targets keep the old offset.
    Instance s(4, 1, 0);
    const std::vector<float> cibles = s.cibles();
    kelmor_tilde_changer_offset(&s.x, 2.0f);
    EXPECT_EQ(s->offset, 2.0f);
    EXPECT_EQ(s.cibles(), cibles);
}

TEST(KelmorSettings, MuteFlag) {
    Instance k(4, 1, 0);
    kelmor_tilde_muter_entrees_signal(&k.x, 0.5f);
    EXPECT_EQ(k->entrees_muettes, 1);
    kelmor_tilde_muter_entrees_signal(&k.x, 0.0f);
    EXPECT_EQ(k->entrees_muettes, 0);
    kelmor_tilde_muter_entrees_signal(&k.x, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(k->entrees_muettes, 1);
}

struct Polaire {
    float x, y, dist, teta;
};

TEST(KelmorSettings, ChangeTypeDerivesThePolarForm) {
    for (Polaire c : {Polaire{1, 1, 1.41421f, M_PI / 4}, Polaire{0, -2, 2, -M_PI / 2},
                      Polaire{0, 0, 0, 0}, Polaire{-1, 0, 1, M_PI}}) {
        Instance k(4);
        kelmor_tilde_recoit_y(&k.x, c.y);
        kelmor_tilde_recoit_x(&k.x, c.x);
        const std::vector<float> cibles = k.cibles();
        envoyer(k, kelmor_tilde_changer_type_repere, "polaire");
        EXPECT_EQ(k->type_repere, 0);
        EXPECT_NEAR(k->source_dist, c.dist, 1e-5);
        EXPECT_NEAR(k->source_teta, c.teta, 1e-6);
        EXPECT_EQ(k.cibles(), cibles); // the source does not move
    }

    // Already polar: the position is derived again, and a refused letter
    // still derives it.
    Instance k(4, 0);
    kelmor_tilde_recoit_x(&k.x, -1);
    for (const char *mot : {"p", "zut"}) {
        k->source_dist = 5;
        fake_pd::clear_console();
        envoyer(k, kelmor_tilde_changer_type_repere, mot);
        EXPECT_NEAR(k->source_teta, -M_PI / 2, 1e-5);
        EXPECT_NEAR(k->source_dist, 1, 1e-6);
        EXPECT_EQ(k->type_repere, 0);
    }
    EXPECT_EQ(fake_pd::console(),
              Lines{"kelmor~: erreur, ne reconnait le type de rep" CP850_E_GRAVE "re."});

    envoyer(k, kelmor_tilde_changer_type_repere, {3});
    EXPECT_EQ(k->type_repere, 0); // a number's text begins with a digit
    envoyer(k, kelmor_tilde_changer_type_repere, "cart");
    EXPECT_EQ(k->type_repere, 1);
    fake_pd::clear_console();
    kelmor_tilde_changer_type_repere(&k.x, nullptr, 0, nullptr);
    EXPECT_EQ(k->type_repere, 1);
    EXPECT_TRUE(fake_pd::console().empty());

    // A source near the float limit keeps a finite distance.
    kelmor_tilde_recoit_x(&k.x, 3e38f);
    kelmor_tilde_recoit_y(&k.x, 3e38f);
    envoyer(k, kelmor_tilde_changer_type_repere, "p");
    EXPECT_TRUE(std::isfinite(k->source_dist));
    EXPECT_NEAR(k->source_teta, M_PI / 4, 1e-6);
}

Lines rapport(Instance &k) {
    fake_pd::clear_console();
    kelmor_tilde_informations(&k.x, nullptr, 0, nullptr);
    return fake_pd::console();
}

// What the report in the real host does not show: the glide reported in the
// present sample rate, and a muted instance with an offset too large for a
// short line.
TEST(KelmorSettings, ReportAcrossModes) {
    fake_pd::set_sample_rate(44100);
    Instance c(4, 0, 1, 0.3f, 661); // 15 ms at 44100 Hz
    fake_pd::set_sample_rate(22050);
    EXPECT_EQ(rapport(c)[3], "   temps d'interpolation  = 29 ms,");
    fake_pd::set_sample_rate(44100);

    Instance s(2, 1, 0, 1e30f);
    kelmor_tilde_muter_entrees_signal(&s.x, 1);
    kelmor_tilde_initialiser_nb_hp(&s.x, 2);
    envoyer(s, kelmor_tilde_dist_teta_positionner_hp, {2, 90});
    EXPECT_EQ(rapport(s),
              (Lines{"Info Kelmor~: ",
                     "   coordonn" CP850_E_AIGU "es cart" CP850_E_AIGU "siennes en signal,",
                     "   avec entr" CP850_E_AIGU "es signal inactives,",
                     "   offset                 = 1000000015047466219876688855040.000000,",
                     "   nombre d'haut-parleurs = 2,", "   position des haut-parleurs:",
                     "      hp n" CP850_DEGRE "1: -0.000000.x + 2.000000.y,",
                     "      hp n" CP850_DEGRE "2: 1.000000.x + 0.000000.y."}));
}

} // namespace
