// trazin~ heard at its outlets in the real Pd: the fade-in, the position
// inlets and messages, the settings, and the signal-rate law.

#include <gtest/gtest.h>

#include <string>

#include "pd_host.hpp"

namespace {

using Signal = std::vector<float>;

std::string nom(int outlet) {
    return "hp" + std::to_string(outlet);
}

// An instance fed with a constant 1, every outlet recorded under a prefix.
int instance(pd_host::Patch &p, const std::string &args, const std::string &prefix = "") {
    return p.gains("trazin~ " + args, 8, prefix);
}

TEST(TrazinOutlets, FadeInFromSilence) {
    pd_host::Patch p;
    instance(p, "");
    instance(p, "s", "sph");
    const pd_host::Result r = p.run(1024);
    const Signal &devant = r.signals.at("hp0");
    const float cible = devant[1000];
    EXPECT_NEAR(cible, 0.3050f, 5e-5);
    EXPECT_FLOAT_EQ(devant[0], cible / 441.0f);
    for (int i = 1; i < 439; i++) ASSERT_GT(devant[i], devant[i - 1]) << i;
    EXPECT_EQ(devant[440], cible);
    for (int k : {1, 4, 5}) EXPECT_EQ(r.signals.at(nom(k))[600], cible) << k;
    for (int k : {2, 3, 6, 7}) EXPECT_EQ(r.signals.at(nom(k)), Signal(1024, 0.0f)) << k;
    // Spherical: from the centre, eight equal gains.
    for (int k = 0; k < 8; k++) EXPECT_NEAR(r.signals.at("sph" + nom(k))[1000], 0.5019f, 5e-5);
}

// A change of system converts nothing: each handler writes the fields of its
// own system and the source moves from where the other system left it. The
// expected outlets are the law's gains for the position those fields give.
TEST(TrazinOutlets, HandlersAfterAChangeOfSystem) {
    struct Cas {
        const char *creation, *messages;
        float gains[8];
    };
    const Cas cas[] = {
        {"c", "1 1 1, change_type p, z 0.5", {.0354, .2283, .0354, 0, .1319, .3248, .1319, 0}},
        {"s", "1.5 20 60, change_type p, z 0.4", {0, .2356, .1339, 0, .0476, .3272, .2255, 0}},
        {"c", "1 1 1, change_type p, x 2", {.1058, .1058, 0, 0, .1986, .1986, .0130, .0130}},
        {"c", "1 1 1, change_type p, y 45", {0, 0, 0, 0, .3050, .3050, .3050, .3050}},
        {"s", "1.5 20 60, change_type c, x 0.3", {0, .1220, 0, 0, .3145, .4428, .2528, .1245}},
        {"s", "1.5 20 60, change_type c, y -0.5", {0, .0801, .1746, 0, 0, .2218, .3163, .0856}},
        {"s", "1.5 20 60, change_type c, z 0.8", {0, .1634, .0803, 0, .0847, .3132, .2300, .0015}},
        {"p", "2 30 0.5, change_type s, x 1", {.0466, .3743, .1851, 0, .0466, .3743, .1851, 0}},
        {"p", "2 30 0.5, change_type s, y 200", {.1338, 0, 0, .2121, .1338, 0, 0, .2121}},
        {"p", "2 30 0.5, change_type s, z 45", {0, .0951, .0142, 0, .1167, .2568, .1760, .0359}},
    };
    pd_host::Patch p;
    for (size_t c = 0; c < std::size(cas); c++)
        p.send_at(0, instance(p, std::string(cas[c].creation) + " c 0.3 1", std::to_string(c)), 0,
                  cas[c].messages);
    const pd_host::Result r = p.run(256);
    for (size_t c = 0; c < std::size(cas); c++)
        for (int k = 0; k < 8; k++)
            EXPECT_NEAR(r.signals.at(std::to_string(c) + nom(k))[255], cas[c].gains[k], 1e-4)
                << cas[c].creation << ": " << cas[c].messages << ", outlet " << k + 1;
}

// The float inlets act as "x", "y" and "z"; a float at the first inlet as
// "x", in both modes; a list is the three at once; bad values change nothing.
TEST(TrazinOutlets, PositionInletsAndMessages) {
    pd_host::Patch p;
    const int inlets = instance(p, "c c 0.3 1", "a");
    const int liste = instance(p, "c c 0.3 1", "b");
    const int gauche = instance(p, "c c 0.3 1", "c");
    const int signal = instance(p, "c s 0.3 1", "d");
    p.positions(signal, {9, 9, 9});
    p.send_at(128, inlets, 1, "0.5");
    p.send_at(128, inlets, 2, "-2");
    p.send_at(128, inlets, 3, "1");
    p.send_at(128, liste, 0, "0.5 -2 1");
    p.send_at(128, gauche, 0, "y -2, z 1, 0.5");
    p.send_at(0, signal, 0, "mute_sig 1");
    p.send_at(128, signal, 0, "y -2, z 1, 0.5");
    p.send_at(256, liste, 0, "bang");
    p.send_at(256, liste, 0, "list");
    // Pd reads 1e+39 as an infinity: ignored, like the bang and the empty list.
    p.send_at(256, liste, 0, "x 1e+39, 1e+39 0 0, y -1e+39");
    const pd_host::Result r = p.run(384);
    for (int k = 0; k < 8; k++) {
        const Signal &a = r.signals.at("a" + nom(k));
        EXPECT_EQ(r.signals.at("b" + nom(k)), a) << k;
        EXPECT_EQ(r.signals.at("c" + nom(k)), a) << k;
        // Muted, the signal instance plays the same glide.
        EXPECT_EQ(
            Signal(r.signals.at("d" + nom(k)).begin() + 128, r.signals.at("d" + nom(k)).end()),
            Signal(a.begin() + 128, a.end()))
            << k;
    }
    // (0.5, -2, 1) is nearest loudspeaker 6, farthest from loudspeaker 0.
    EXPECT_GT(r.signals.at("a" + nom(6))[200], r.signals.at("a" + nom(2))[200]);
    EXPECT_EQ(r.signals.at("a" + nom(0))[200], 0.0f);
}

TEST(TrazinOutlets, SetOffset) {
    pd_host::Patch p;
    const int controle = instance(p, "", "c");
    const int signal = instance(p, "c s", "s");
    p.positions(signal, {0, 1, 0});
    p.send_at(640, controle, 0, "set_offset 1");
    p.send_at(640, signal, 0, "set_offset 1");
    p.send_at(1280, controle, 0, "set_offset 0");
    p.send_at(1280, signal, 0, "set_offset -1, set_offset 1e+39");
    const pd_host::Result r = p.run(1408);
    const Signal &c = r.signals.at("c" + nom(0)), &s = r.signals.at("s" + nom(0));
    EXPECT_NEAR(c[639], 0.3050f, 5e-5);
    EXPECT_LT(c[700], c[639]); // a glide, not a jump
    EXPECT_GT(c[700], 0.1983f);
    EXPECT_NEAR(c[1100], 0.1983f, 5e-5);
    EXPECT_NEAR(s[639], 0.3050f, 5e-5);
    EXPECT_NEAR(s[640], 0.1983f, 5e-5); // the next block, no glide
    EXPECT_EQ(c[1400], c[1100]);
    EXPECT_EQ(s[1400], s[1100]);
    EXPECT_EQ(r.count("trazin~: Pas d'offset n\x82"
                      "gatif ou nul s'il vous plait."),
              3);
}

// Signal inlets: the gains follow the positions from the first sample, in
// the system that change_type chooses from the next block.
TEST(TrazinOutlets, SignalPositions) {
    pd_host::Patch p;
    const int cart = instance(p, "c s", "c");
    p.positions(cart, {0, 1, 0});
    const int pol = instance(p, "p s", "p");
    p.positions(pol, {1, 90, 0.5});
    const int sph = instance(p, "s s", "s");
    p.positions(sph, {1, 0, 0});
    p.send_at(640, pol, 0, "change_type c");
    p.send_at(640, sph, 0, "mute_sig 1");
    p.send_at(1280, sph, 0, "mute_sig");
    p.send_at(1280, pol, 0, "change_type Polaire");
    const pd_host::Result r = p.run(1408);
    for (int k : {0, 1, 4, 5}) EXPECT_NEAR(r.signals.at("c" + nom(k))[0], 0.3050f, 5e-5) << k;
    for (int k : {2, 3, 6, 7}) EXPECT_EQ(r.signals.at("c" + nom(k))[0], 0.0f) << k;
    // Polar (1, 90, 0.5) is the cartesian (0, 1, 0.5); read as cartesian,
    // (1, 90, 0.5) is far off along +y.
    EXPECT_NEAR(r.signals.at("p" + nom(5))[639], r.signals.at("p" + nom(4))[639], 1e-6);
    EXPECT_GT(r.signals.at("p" + nom(5))[639], 0.3f);
    EXPECT_LT(r.signals.at("p" + nom(5))[640], 0.01f);
    EXPECT_LT(r.signals.at("p" + nom(4))[640], r.signals.at("p" + nom(5))[640]);
    EXPECT_EQ(r.signals.at("p" + nom(5))[1300], r.signals.at("p" + nom(5))[640]);
    EXPECT_EQ(r.count("trazin~: erreur, ne reconnait le type de rep\x8Are."), 1);
    // Spherical (1, 0, 0) is straight up. Muted, the glide of the messages
    // plays instead: the fade-in toward the centre from creation, which only
    // the muted branch advances, until the mute is lifted.
    const Signal &haut = r.signals.at("s" + nom(4)), &bas = r.signals.at("s" + nom(0));
    EXPECT_NEAR(haut[0], 0.3050f, 5e-5);
    EXPECT_EQ(bas[0], 0.0f);
    EXPECT_FLOAT_EQ(bas[640], bas[1279] / 441.0f);
    EXPECT_NEAR(bas[1279], 0.5019f, 5e-5);
    EXPECT_EQ(haut[1279], bas[1279]);
    EXPECT_EQ(haut[1280], haut[0]);
    EXPECT_EQ(bas[1280], 0.0f);
}

} // namespace
