// The cube layout and the first-order law against the figures users rely
// on, the three coordinate systems against one another, and what creation
// leaves in the record.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "instance.hpp"

namespace {

using namespace trazin_test;

constexpr float RACINE_TROIS = 1.7320508f;

void expect_cibles(const t_trazin_tilde *x, const std::vector<float> &attendu, float tolerance) {
    for (int j = 0; j < TRAZIN_NB_HP; j++)
        EXPECT_NEAR(x->gain_cible[j], attendu[j], tolerance) << "loudspeaker " << j;
}

TEST(TrazinLayout, CornersOfTheCube) {
    Instance x = creer();
    const int signes[8][3] = {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1},
                              {-1, 1, 1},  {1, 1, 1},  {1, -1, 1},  {-1, -1, 1}};
    for (int j = 0; j < 8; j++) {
        const float t = x->hp_teta[j], e = x->hp_elev[j];
        EXPECT_NEAR(cosf(e) * cosf(t) * RACINE_TROIS, signes[j][0], 1e-6) << j;
        EXPECT_NEAR(cosf(e) * sinf(t) * RACINE_TROIS, signes[j][1], 1e-6) << j;
        EXPECT_NEAR(sinf(e) * RACINE_TROIS, signes[j][2], 1e-6) << j;
    }
    EXPECT_EQ(x->hp_teta[0], 2.3561945f);
    EXPECT_EQ(x->hp_teta[6], -0.78539819f);
    EXPECT_EQ(x->hp_elev[3], -0.6154797f);
    EXPECT_EQ(x->hp_elev[4], 0.6154797f);
}

TEST(TrazinLaw, FiguresAtKnownPositions) {
    Instance x = creer();
    liste(x.get(), {"0", "0", "0"});
    expect_cibles(x.get(), std::vector<float>(8, 0.5019f), 5e-5f);

    liste(x.get(), {"0", "1", "0"});
    expect_cibles(x.get(), {0.3050f, 0.3050f, 0, 0, 0.3050f, 0.3050f, 0, 0}, 5e-5f);
    EXPECT_EQ(x->gain_cible[2], 0.0f);

    liste(x.get(), {"0", "0", "1"});
    expect_cibles(x.get(), {0, 0, 0, 0, 0.3050f, 0.3050f, 0.3050f, 0.3050f}, 5e-5f);

    const float c = 1.0f / RACINE_TROIS;
    position(x.get(), c, c, c);
    expect_cibles(x.get(), {0.0066f, 0.2251f, 0.0066f, 0, 0.2251f, 0.4435f, 0.2251f, 0.0066f},
                  5e-5f);
    EXPECT_EQ(x->gain_cible[3], 0.0f);

    liste(x.get(), {"0", "100", "0"});
    expect_cibles(x.get(), {0.00396f, 0.00396f, 0, 0, 0.00396f, 0.00396f, 0, 0}, 5e-6f);
}

// Every gain is the omnidirectional part plus the projection on the
// loudspeaker's direction, never negative, and falls as 1/distance far away;
// each message starts the glide from where the gains stand.
TEST(TrazinLaw, PropertiesOverManyPositions) {
    Instance x = creer({"c", "c", "0.7"});
    std::mt19937 aleas(3);
    std::uniform_real_distribution<float> coord(-5.0f, 5.0f), gain(0.0f, 1.0f);
    for (int essai = 0; essai < 500; essai++) {
        const float px = coord(aleas), py = coord(aleas), pz = coord(aleas);
        for (int j = 0; j < 8; j++) x->gain_courant[j] = gain(aleas);
        trazin_tilde_recoit_y(x.get(), py);
        trazin_tilde_recoit_z(x.get(), pz);
        trazin_tilde_recoit_x(x.get(), px);
        const double r = std::sqrt(double(px) * px + double(py) * py + double(pz) * pz);
        for (int j = 0; j < 8; j++) {
            const double e = x->hp_elev[j], t = x->hp_teta[j];
            const double cos_gamma =
                (px * cos(e) * cos(t) + py * cos(e) * sin(t) + pz * sin(e)) / r;
            const double g = 0.21298397 * (0.707 / (r + 0.7) + 2 * r * cos_gamma / (r * r + 0.7));
            ASSERT_NEAR(x->gain_cible[j], std::max(g, 0.0), 1e-6) << px << " " << py << " " << pz;
            ASSERT_EQ(x->gain_pas[j], (x->gain_cible[j] - x->gain_courant[j]) / 441.0f);
        }
    }
    trazin_tilde_recoit_x(x.get(), 1e6f);
    const float loin = x->gain_cible[1];
    trazin_tilde_recoit_x(x.get(), 2e6f);
    EXPECT_NEAR(x->gain_cible[1] * 2.0f, loin, loin * 1e-3);
}

TEST(TrazinLaw, ThreeSystemsAgreeOnTheSamePoint) {
    Instance cart = creer({"c"}), pol = creer({"p"}), sph = creer({"s"});
    std::mt19937 aleas(11);
    std::uniform_real_distribution<float> dist(0.05f, 4.0f), az(-400.0f, 400.0f),
        polaire(0.0f, 180.0f), haut(-3.0f, 3.0f);
    for (int essai = 0; essai < 300; essai++) {
        const float d = dist(aleas), a = az(aleas), p = polaire(aleas), h = haut(aleas);
        // Spherical (d, a, p), polar (d sin p, a, d cos p), cartesian.
        const double ar = a * M_PI / 180.0, pr = p * M_PI / 180.0;
        trazin_tilde_recoit_y(sph.get(), a);
        trazin_tilde_recoit_z(sph.get(), p);
        trazin_tilde_recoit_x(sph.get(), d);
        position(pol.get(), d * sin(pr), a, d * cos(pr));
        position(cart.get(), d * cos(ar) * sin(pr), d * sin(ar) * sin(pr), d * cos(pr));
        for (int j = 0; j < 8; j++) {
            ASSERT_NEAR(sph->gain_cible[j], cart->gain_cible[j], 2e-5) << d << " " << a << " " << p;
            ASSERT_NEAR(pol->gain_cible[j], cart->gain_cible[j], 2e-5) << d << " " << a << " " << p;
        }
        // The polar height is taken as it comes.
        trazin_tilde_recoit_z(pol.get(), h);
        EXPECT_EQ(pol->source_z, h);
    }
}

TEST(TrazinPosition, EveryCartesianFieldFollowsEachMessage) {
    Instance pol = creer({"p"});
    trazin_tilde_recoit_x(pol.get(), 2.0f);
    trazin_tilde_recoit_y(pol.get(), 0.0f);
    EXPECT_FLOAT_EQ(pol->source_x, 2.0f);
    EXPECT_NEAR(pol->source_y, 0.0f, 1e-6);
    trazin_tilde_recoit_z(pol.get(), -1.5f);
    EXPECT_EQ(pol->source_z, -1.5f);
    EXPECT_FLOAT_EQ(pol->source_x, 2.0f);

    Instance sph = creer({"s"});
    trazin_tilde_recoit_x(sph.get(), 1.0f);
    trazin_tilde_recoit_y(sph.get(), 0.0f);
    trazin_tilde_recoit_z(sph.get(), 90.0f);
    EXPECT_NEAR(sph->source_x, 1.0f, 1e-6);
    EXPECT_NEAR(sph->source_y, 0.0f, 1e-6);
    EXPECT_NEAR(sph->source_z, 0.0f, 1e-6);
    trazin_tilde_recoit_z(sph.get(), 0.0f);
    EXPECT_NEAR(sph->source_x, 0.0f, 1e-6);
    EXPECT_NEAR(sph->source_z, 1.0f, 1e-6);
    EXPECT_EQ(sph->source_phi, 0.0f);
    EXPECT_EQ(sph->source_teta, 0.0f);
    // A negative distance mirrors the source through the centre.
    trazin_tilde_recoit_x(sph.get(), -1.0f);
    EXPECT_NEAR(sph->source_z, -1.0f, 1e-6);
    EXPECT_NEAR(sph->gain_cible[0], 0.3050f, 5e-5);
    EXPECT_EQ(sph->gain_cible[4], 0.0f);
}

TEST(TrazinPosition, ListIsOneWholePosition) {
    Instance une = creer(), trois = creer();
    liste(une.get(), {"0.5", "-2", "1", "99"});
    trazin_tilde_recoit_x(trois.get(), 0.5f);
    trazin_tilde_recoit_y(trois.get(), -2.0f);
    trazin_tilde_recoit_z(trois.get(), 1.0f);
    EXPECT_EQ(cibles(une.get()), cibles(trois.get()));
    EXPECT_EQ(std::vector<float>(une->gain_pas, une->gain_pas + 8),
              std::vector<float>(trois->gain_pas, trois->gain_pas + 8));

    // One element: only coordinate 1; two: the third keeps its value.
    liste(une.get(), {"3"});
    EXPECT_EQ(une->source_x, 3.0f);
    EXPECT_EQ(une->source_y, -2.0f);
    EXPECT_EQ(une->source_z, 1.0f);
    liste(une.get(), {"1", "2"});
    EXPECT_EQ(une->source_y, 2.0f);
    EXPECT_EQ(une->source_z, 1.0f);
    // A symbol element reads as 0.
    liste(une.get(), {"1", "gauche", "0"});
    EXPECT_EQ(une->source_y, 0.0f);

    // The spherical list stores both angles before the distance applies them.
    Instance sph = creer({"s"});
    liste(sph.get(), {"1", "90", "90"});
    EXPECT_NEAR(sph->source_y, 1.0f, 1e-6);
    EXPECT_NEAR(sph->gain_cible[0], 0.3050f, 5e-5);
}

// The record as creation leaves it: it starts silent and fades in.
TEST(TrazinCreation, StartingState) {
    Instance cart = creer();
    EXPECT_EQ(cart->type_repere, REPERE_CARTESIEN);
    EXPECT_EQ(cart->type_entrees, 1);
    EXPECT_EQ(cart->offset, 0.3f);
    EXPECT_EQ(cart->temps_interp, 441);
    EXPECT_EQ(cart->source_x, 0.0f);
    EXPECT_EQ(cart->source_y, 1.0f);
    EXPECT_EQ(cart->source_dist, 0.0f);
    EXPECT_EQ(cart->source_teta, 1.5708f);
    EXPECT_EQ(cart->source_phi, 1.5708f);
    EXPECT_EQ(cart->table_cos, nullptr);
    for (int j = 0; j < 8; j++) {
        EXPECT_EQ(cart->gain_courant[j], 0.0f);
        EXPECT_EQ(cart->gain_pas[j], cart->gain_cible[j] / 441.0f);
    }
    EXPECT_NEAR(cart->gain_cible[0], 0.3050f, 5e-5);
    EXPECT_TRUE(fake_pd::console().empty());

    Instance pol = creer({"polaire"});
    EXPECT_EQ(pol->type_repere, REPERE_POLAIRE);
    EXPECT_EQ(pol->source_dist, 1.0f);
    EXPECT_NEAR(pol->source_x, 0.0f, 1e-5);
    for (int j = 0; j < 8; j++) EXPECT_NEAR(pol->gain_cible[j], cart->gain_cible[j], 1e-5);

    // Spherical: at the centre, eight equal gains, and the angles alone do
    // not move it.
    Instance sph = creer({"s"});
    EXPECT_EQ(sph->source_dist, 0.0f);
    EXPECT_EQ(sph->source_y, 0.0f);
    expect_cibles(sph.get(), std::vector<float>(8, 0.5019f), 5e-5f);
    trazin_tilde_recoit_y(sph.get(), 45.0f);
    trazin_tilde_recoit_z(sph.get(), 30.0f);
    EXPECT_EQ(sph->source_x, 0.0f);
    EXPECT_EQ(sph->source_z, 0.0f);
    trazin_tilde_recoit_x(sph.get(), 1.0f);
    EXPECT_NEAR(sph->source_z, std::cos(M_PI / 6), 1e-6);
}

TEST(TrazinCreation, Arguments) {
    fake_pd::set_sample_rate(48000.0f);
    EXPECT_EQ(creer({"c", "c", "-0.5", "-20"})->offset, 0.5f);
    EXPECT_EQ(creer({"c", "c", "-0.5", "-20"})->temps_interp, 960);
    EXPECT_EQ(creer({"c", "c", "1", "2.9"})->temps_interp, 96);
    EXPECT_EQ(creer({"c", "c", "1", "0"})->temps_interp, 1);
    EXPECT_EQ(creer({"c", "c", "1", "1e30"})->temps_interp, 2147483647);
    fake_pd::set_sample_rate(44100.0f);
    for (const char *mauvais : {"0", "1e-07", "offset", "1e39"}) {
        Instance x = creer({"c", "c", mauvais});
        EXPECT_EQ(x->offset, 0.3f) << mauvais;
        EXPECT_EQ(fake_pd::console().size(), 1u) << mauvais;
    }
    Instance x = creer({"x", "k", "0", "5", "trop"});
    EXPECT_EQ(x->type_repere, REPERE_CARTESIEN);
    EXPECT_EQ(x->type_entrees, 1);
    EXPECT_EQ(fake_pd::console().size(), 5u);
    EXPECT_EQ(creer({"sph", "signal"})->type_repere, REPERE_SPHERIQUE);
    EXPECT_EQ(creer({"sph", "signal"})->type_entrees, 0);
}

// Non-finite coordinates leave everything as it was; huge finite ones give
// finite gains; an empty list (a bang) reads nothing and changes nothing.
TEST(TrazinPosition, BadValuesLeaveTheSourceAlone) {
    for (const char *repere : {"c", "p", "s"}) {
        Instance x = creer({repere});
        trazin_tilde_recoit_x(x.get(), 2.0f);
        t_trazin_tilde avant;
        std::memcpy(&avant, x.get(), sizeof avant);
        trazin_tilde_recoit_x(x.get(), NAN);
        trazin_tilde_recoit_y(x.get(), INFINITY);
        trazin_tilde_recoit_z(x.get(), -INFINITY);
        t_atom a[3];
        SETFLOAT(&a[0], 1.0f);
        SETFLOAT(&a[1], 2.0f);
        SETFLOAT(&a[2], NAN);
        trazin_tilde_recoit_liste(x.get(), gensym("list"), 3, a);
        trazin_tilde_recoit_liste(x.get(), gensym("bang"), 0, nullptr);
        EXPECT_EQ(std::memcmp(&avant, x.get(), sizeof avant), 0) << repere;

        for (float v : {3e38f, -3e38f, 1e-38f}) {
            liste(x.get(), {"1", "1", "1"});
            trazin_tilde_recoit_x(x.get(), v);
            trazin_tilde_recoit_y(x.get(), v);
            trazin_tilde_recoit_z(x.get(), v);
            for (int j = 0; j < 8; j++) {
                ASSERT_TRUE(std::isfinite(x->gain_cible[j])) << repere << " " << v;
                ASSERT_TRUE(std::isfinite(x->gain_pas[j])) << repere << " " << v;
                ASSERT_GE(x->gain_cible[j], 0.0f);
            }
        }
    }
}

} // namespace
