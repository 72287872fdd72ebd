// sorvel~ settings: mute, coordinate system, disc radius, and the report.

#include <gtest/gtest.h>

#include <cmath>

#include "sorvel_record.hpp"

namespace {

using Lines = std::vector<std::string>;

t_atom mot(const char *texte) {
    t_atom a;
    SETSYMBOL(&a, gensym(texte));
    return a;
}

TEST(SorvelSettings, Mute) {
    auto s = sorvel(4, 1, 0);
    sorvel_tilde_muter_entrees_signal(&s->x, -1);
    EXPECT_EQ(s->x.entrees_muettes, 1);
    sorvel_tilde_muter_entrees_signal(&s->x, 0); // also what a bare "mute_sig" sends
    EXPECT_EQ(s->x.entrees_muettes, 0);
    sorvel_tilde_muter_entrees_signal(&s->x, 0.5f);
    EXPECT_EQ(s->x.entrees_muettes, 1);
}

TEST(SorvelSettings, ChangeTypeRefreshesThePolarForm) {
    auto s = sorvel(4);
    sorvel_tilde_recoit_y(&s->x, 4);
    sorvel_tilde_recoit_x(&s->x, 3);
    const t_sorvel_tilde before = s->x;
    t_atom p = mot("polaire");
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &p);
    EXPECT_EQ(s->x.type_repere, 0);
    EXPECT_EQ(s->x.source_dist, 5.0f);
    EXPECT_NEAR(s->x.source_teta, 0.9273, 1e-4);
    // The source did not move.
    EXPECT_EQ(0, memcmp(before.gain_cible, s->x.gain_cible, sizeof before.gain_cible));

    t_atom c = mot("cart");
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &c);
    sorvel_tilde_recoit_liste(&s->x, nullptr, 2, nombres({1, -1}).data());
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &p);
    EXPECT_NEAR(s->x.source_teta, 2 * 3.1415927 - 3.1415927 / 4, 1e-6);
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &c);
    sorvel_tilde_recoit_liste(&s->x, nullptr, 2, nombres({0, 0}).data());
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &p);
    EXPECT_EQ(s->x.source_dist, 0.0f);
    EXPECT_EQ(s->x.source_teta, 0.0f);
    EXPECT_TRUE(fake_pd::console().empty());

    // A number, or a capital: the line, no change, the polar form refreshed.
    s->x.source_teta = 1;
    t_atom un = nombre(1), majuscule = mot("Cart");
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &un);
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 1, &majuscule);
    EXPECT_EQ(s->x.type_repere, 0);
    EXPECT_EQ(s->x.source_teta, 0.0f);
    EXPECT_EQ(fake_pd::console().size(), 2u);
    sorvel_tilde_changer_type_repere(&s->x, nullptr, 0, nullptr);
    EXPECT_EQ(fake_pd::console().size(), 2u);
}

TEST(SorvelSettings, DiscRadius) {
    auto s = sorvel(4);
    for (float r : {0.0f, -1.0f, 0.000001f, NAN, INFINITY})
        sorvel_tilde_changer_rayon_disq_centrale(&s->x, r);
    EXPECT_EQ(fake_pd::console().size(), 5u);
    EXPECT_EQ(s->x.rayon_disq_centrale, 0.5f);
    sorvel_tilde_changer_rayon_disq_centrale(&s->x, 0.0000011f);
    EXPECT_EQ(s->x.rayon_disq_centrale, 0.0000011f);

    // The source at (0, 1) is inside a disc of radius 2: the gains glide to
    // the blend, and the centre spread follows the radius.
    sorvel_tilde_changer_rayon_disq_centrale(&s->x, 2);
    EXPECT_NEAR(s->x.gain_centre[0], 1 / (std::sqrt(8.0) * 2), 1e-6);
    EXPECT_NEAR(s->x.gain_cible[3], 0.5 * s->x.gain_centre[3], 1e-6);
    EXPECT_NEAR(s->x.gain_pas[3], (s->x.gain_cible[3] - s->x.gain_courant[3]) / 441, 1e-9);
}

// The default instance's whole report, and the refusal lines, are checked
// byte for byte in the real host.
TEST(SorvelSettings, ReportVariants) {
    auto s = sorvel(3, 0, 0);
    sorvel_tilde_muter_entrees_signal(&s->x, 1);
    sorvel_tilde_informations(&s->x, nullptr, 0, nullptr);
    const Lines &l = fake_pd::console();
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l[1], "   coordonn\x82"
                    "es polaires en signal,");
    EXPECT_EQ(l[3], "   avec entr\x82"
                    "es signal inactives,"); // no interpolation line
    EXPECT_EQ(l[4], "   nombre d'haut-parleurs = 3,");

    // 5 ms at 44100 Hz is 220 samples, which is 4 ms; glides too long for
    // an int of milliseconds times 1000 are still reported.
    auto t = sorvel(4, 0, 1, 0.5f, 220);
    sorvel_tilde_muter_entrees_signal(&t->x, 1); // control mode: not shown
    sorvel_tilde_informations(&t->x, nullptr, 0, nullptr);
    EXPECT_EQ(l[1], "   coordonn\x82"
                    "es polaires en contr\x93le,");
    EXPECT_EQ(l[3], "   temps d'interpolation  = 4 ms,");
    t->x.temps_interp = 441000000;
    fake_pd::clear_console();
    sorvel_tilde_informations(&t->x, nullptr, 0, nullptr);
    EXPECT_EQ(l[3], "   temps d'interpolation  = 10000000 ms,");
}

} // namespace
