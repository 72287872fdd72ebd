// kelmor~ as heard at its outlets in the real Pd: the fade-in, floats and
// messages at the inlets, signal positions, and the settings that change
// what plays.

#include <gtest/gtest.h>

#include <cmath>

#include "pd_host.hpp"

namespace {

using Signal = std::vector<float>;

// A source of 1 into kelmor~ with the given arguments; every outlet recorded
// as "hp0", "hp1", ...
struct Montage {
    pd_host::Patch p;
    int pan;
    Montage(const std::string &args, int outlets) : pan(p.gains("kelmor~ " + args, outlets)) {}
};

// 10 ms at 44100 Hz: 441 samples from silence to the gains of the source
// straight ahead, the first sample already one step up, the last exactly on.
TEST(KelmorSound, NewInstanceFadesIn) {
    Montage m("", 4);
    const pd_host::Result r = m.p.run(640);
    const Signal &hp0 = r.signals.at("hp0");
    ASSERT_EQ(hp0.size(), 640u);
    const float cible = hp0[639];
    EXPECT_NEAR(cible, 0.49148f, 5e-6);
    EXPECT_FLOAT_EQ(hp0[0], cible / 441);
    for (int i = 1; i < 441; i++) ASSERT_GT(hp0[i], hp0[i - 1]) << i;
    EXPECT_EQ(hp0[441], cible); // one sample late at most, from rounding
    EXPECT_EQ(r.signals.at("hp1"), hp0);
    for (const char *muet : {"hp2", "hp3"}) EXPECT_EQ(r.signals.at(muet), Signal(640, 0.0f));
}

// A float at the first inlet is the message "x", as at the second inlet, in
// both kinds of instance; a float at the third inlet is "y".
TEST(KelmorSound, FloatsAtTheInletsMovetheSource) {
    for (const std::string mode : {"c", "s"}) {
        pd_host::Patch p;
        const int source = p.obj("sig~ 1");
        int pans[4];
        const std::string messages[4] = {"1", "x 1", "", "list 1 1"};
        for (int k = 0; k < 4; k++) {
            pans[k] = p.obj("kelmor~ 4 c " + mode + " 0.3 1");
            p.connect(source, 0, pans[k], 0);
            p.record(pans[k], 1, "hp2_" + std::to_string(k));
            if (mode == "s") p.send_at(0, pans[k], 0, "mute_sig 1");
        }
        for (int k : {0, 1, 3}) p.send_at(64, pans[k], 0, messages[k]);
        if (mode == "c") {
            p.send_at(64, pans[2], 1, "1");
            p.send_at(64, pans[3], 2, "1"); // y again, as the list set it
        } else {
            p.send_at(64, pans[2], 0, "x 1");
        }
        const pd_host::Result r = p.run(128);
        const Signal &reference = r.signals.at("hp2_1");
        EXPECT_NEAR(reference[127], 0.49463f, 5e-6) << mode; // (1, 1), loudspeaker at 45 degrees
        EXPECT_NE(reference[63], reference[127]) << mode;
        for (int k : {0, 2, 3}) EXPECT_EQ(r.signals.at("hp2_" + std::to_string(k)), reference);
    }
}

// Signal positions: the law from the first sample, without glide, in both
// coordinate systems.
TEST(KelmorSound, SignalPositionsPanAtOnce) {
    for (const std::string args : {"4 c s", "4 p s"}) {
        Montage m(args, 4);
        if (args == "4 c s")
            m.p.positions(m.pan, {0, 1});
        else
            m.p.positions(m.pan, {1, 450});
        const pd_host::Result r = m.p.run(128);
        for (int k = 0; k < 4; k++) {
            const Signal &hp = r.signals.at("hp" + std::to_string(k));
            EXPECT_NEAR(hp[0], k < 2 ? 0.49148f : 0.0f, 5e-6) << args << k;
            EXPECT_EQ(hp[127], hp[0]);
        }
    }
}

// Muted position signals: the instance plays the glide of the messages.
TEST(KelmorSound, MutedSignalsGlideFromSilence) {
    Montage m("4 c s", 4);
    m.p.positions(m.pan, {5, -5});
    m.p.send_at(0, m.pan, 0, "mute_sig 1");
    const pd_host::Result r = m.p.run(512);
    const Signal &hp0 = r.signals.at("hp0");
    EXPECT_NEAR(hp0[0], 0.49148f / 441, 1e-7);
    EXPECT_NEAR(hp0[511], 0.49148f, 5e-6);
}

// Loudspeakers left out of use fall silent at once; a layout or offset
// message starts a glide to the new gains.
TEST(KelmorSound, LayoutAndOffsetMessages) {
    Montage m("8 c c 0.3 1", 8);
    m.p.send_at(0, m.pan, 0, "y 0"); // at the centre every loudspeaker plays
    m.p.send_at(64, m.pan, 0, "set_nb_hp 3");
    m.p.send_at(128, m.pan, 0, "y 1");
    m.p.send_at(192, m.pan, 0, "a_setpos 90");
    m.p.send_at(256, m.pan, 0, "set_offset 0.5");
    const pd_host::Result r = m.p.run(320);
    for (int k = 3; k < 8; k++) {
        const Signal &hp = r.signals.at("hp" + std::to_string(k));
        EXPECT_NEAR(hp[63], 0.707 / 0.3 * std::sqrt(1.0 / 8) / 1.66, 5e-6) << k;
        EXPECT_EQ(Signal(hp.begin() + 64, hp.end()), Signal(256, 0.0f)) << k;
    }
    const Signal &hp0 = r.signals.at("hp0");
    const double norme = std::sqrt(1.0 / 3) / 1.66;
    EXPECT_NEAR(hp0[127], norme * 0.707 / 0.3, 5e-6);
    EXPECT_NEAR(hp0[191], norme * (0.707 / 1.3 + 2 / 1.3 * std::sin(150 * M_PI / 180)), 5e-6);
    EXPECT_NEAR(hp0[255], norme * (0.707 / 1.3 + 2 / 1.3), 5e-6);
    EXPECT_NEAR(hp0[319], norme * (0.707 / 1.5 + 2 / 1.5), 5e-6);
}

} // namespace
