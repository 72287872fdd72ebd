// sorvel~ heard at its outlets in the real Pd: the fade-in after creation,
// the glide length, the position inlets, messages and the report.

#include <gtest/gtest.h>

#include "pd_host.hpp"
#include "ring_report.hpp"

namespace {

using pd_host::Lines;
using pd_host::operator+;

// A sorvel~ fed with a constant 1, so its outlets carry its gains.
struct Gains {
    pd_host::Patch patch;
    int pan;
    int outlets;
    Gains(const std::string &args, int outlets_)
        : pan(patch.gains("sorvel~ " + args, outlets_)), outlets(outlets_) {}
    pd_host::Result run(long samples) { return patch.run(samples); }
};

TEST(SorvelHost, NewInstanceFadesInStraightAhead) {
    Gains g("", 4);
    pd_host::Result r = g.run(1024);
    const auto &front = r.signals["hp0"];
    ASSERT_EQ(front.size(), 1024u);
    EXPECT_FLOAT_EQ(front[0], 0.5f / 441); // one step already on the first sample
    EXPECT_NEAR(front[220], 0.5f * 221 / 441, 1e-5);
    EXPECT_LT(front[439], 0.5f);
    EXPECT_FLOAT_EQ(front[1023], 0.5f);
    EXPECT_EQ(front[441], front[1023]); // landed, and stays
    EXPECT_FLOAT_EQ(r.signals["hp1"][1023], 0.5f);
    for (const char *rear : {"hp2", "hp3"})
        for (float v : r.signals[rear]) EXPECT_EQ(v, 0.0f);
}

TEST(SorvelHost, GlideLengthFollowsTheArgument) {
    Gains g("4 c c 0.5 -20", 2); // 20 ms at 44100 Hz: 882 samples
    const auto front = g.run(1024).signals["hp0"];
    EXPECT_LT(front[879], 0.5f);
    EXPECT_EQ(front[883], front[1023]);
    Gains one("4 c c 0.5 0", 2); // 0 ms: one sample
    EXPECT_FLOAT_EQ(one.run(64).signals["hp1"][0], 0.5f);
}

// The same position through the float at the left inlet, the second inlet,
// the message "x" and a list gives the same gains.
TEST(SorvelHost, EveryWayToMoveTheSourceAgrees) {
    std::vector<std::vector<float>> heard;
    for (int way = 0; way < 4; way++) {
        Gains g("4 c c 0.5 1", 4);
        if (way == 0) g.patch.send_at(128, g.pan, 0, "0.8");
        if (way == 1) g.patch.send_at(128, g.pan, 1, "0.8");
        if (way == 2) g.patch.send_at(128, g.pan, 0, "x 0.8");
        if (way == 3) g.patch.send_at(128, g.pan, 0, "list 0.8 1");
        pd_host::Result r = g.run(256);
        EXPECT_EQ(r.console, "");
        std::vector<float> last;
        for (int j = 0; j < 4; j++) last.push_back(r.signals["hp" + std::to_string(j)][255]);
        heard.push_back(last);
    }
    for (int way = 1; way < 4; way++) EXPECT_EQ(heard[way], heard[0]) << way;
    EXPECT_GT(heard[0][1], heard[0][0]); // to the right: the 45-degree loudspeaker
}

TEST(SorvelHost, ReportOfADefaultInstance) {
    EXPECT_EQ(pd_host::console_of("sorvel~", "get_info"),
              (Lines{"Info Sorvel~: ",
                     "   coordonn\x82"
                     "es cart\x82"
                     "siennes en contr\x93le,",
                     "   rayon du disque cental = 0.500000,"} +
               DEFAULT_SQUARE_REPORT));
}

TEST(SorvelHost, LayoutMessagesAtTheOutlets) {
    Gains g("8 c c 0.5 1", 8);
    g.patch.send_at(128, g.pan, 0, "set_nb_hp 3");
    g.patch.send_at(256, g.pan, 0, "set_nb_hp 9, a_setpos 0 180 90, set_rc 0, change_type 1");
    pd_host::Result r = g.run(384);
    for (int j = 3; j < 8; j++) {
        const auto &silent = r.signals["hp" + std::to_string(j)];
        for (size_t i = 128; i < 384; i++) ASSERT_EQ(silent[i], 0.0f) << j;
    }
    EXPECT_GT(r.signals["hp0"][200], 0.0f);
    EXPECT_EQ(r.lines(),
              (Lines{"sorvel~: Le nombre de haut-parleurs doit \x88treinf\x82rieur \x85 8, ",
                     "  et sup\x82rieur \x85 3, ou \x82gal.",
                     "sorvel~: deux haut-parleurs adjacents sont align\x82s, ",
                     "  la configuration actuelle n'est pas possible.",
                     "sorvel~: pas de rayon nul ou n\x82gatif.",
                     "sorvel~: erreur, ne reconnait le type de rep\x8Are."}));
}

// Signal inlets: the gains follow the position signals from the first sample;
// muted, the message-driven glide plays instead.
TEST(SorvelHost, SignalPositions) {
    Gains g("4 c s", 4);
    g.patch.positions(g.pan, {0, 2});
    g.patch.send_at(128, g.pan, 0, "mute_sig 1");
    pd_host::Result r = g.run(256);
    EXPECT_FLOAT_EQ(r.signals["hp0"][0], 0.25f);
    EXPECT_FLOAT_EQ(r.signals["hp1"][127], 0.25f);
    EXPECT_EQ(r.signals["hp2"][127], 0.0f);
    // Muted: the glide from creation, 128 samples in.
    EXPECT_FLOAT_EQ(r.signals["hp0"][128], 0.5f * 1 / 441);
}

} // namespace
