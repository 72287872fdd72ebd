// Every object in another machine's Pd (RC_PD, for instance an ARM Pd under
// qemu-user, or another release of Pd) against the same patch in this
// machine's Pd: the same console
// lines and, within rounding, the same outlets, in both modes, for positions
// on the ring, between loudspeakers, near the centre and far away.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace {

struct Case {
    const char *object; // creation text of the control-mode instance
    const char *signal; // the same object with signal inlets
    int outlets;
    int coordinates;
    std::vector<std::vector<float>> positions; // one a block of 512 samples
    const char *report;                        // a message that posts, or ""
};

const Case CASES[] = {
    {"sorvel~ 8 c c 0.5 5",
     "sorvel~ 8 p s 0.5",
     8,
     2,
     {{0, 1}, {1, 1}, {-0.2f, 0.1f}, {0.3827f, -0.9239f}, {5, -3}, {0, 0}},
     "get_info"},
    {"kelmor~ 8 c c 0.3 5",
     "kelmor~ 8 p s 0.3",
     8,
     2,
     {{0, 1}, {1, 1}, {-0.2f, 0.1f}, {0.3827f, -0.9239f}, {5, -3}, {0, 0}},
     "get_info"},
    {"trazin~ c c 0.3 5",
     "trazin~ s s 0.3",
     8,
     3,
     {{0, 1, 0}, {1, 1, 1}, {-0.3f, 0.2f, -0.5f}, {2, -1, 0.5f}, {0, 0, 0}, {0.1f, 170, 20}},
     ""},
};

constexpr long BLOCK = 512;

std::string text(const std::vector<float> &values) {
    std::string s;
    for (float v : values) s += (s.empty() ? "" : " ") + std::to_string(v);
    return s;
}

// Both instances of a case, fed with the same source, every outlet recorded;
// the control one gets each position as a list, the signal one as signals
// (read as polar or spherical coordinates: distance, angles in degrees).
void build(pd_host::Patch &p, const Case &c) {
    const int source = p.obj("noise~");
    const int control = p.obj(c.object);
    const int signal = p.obj(c.signal);
    p.connect(source, 0, control, 0);
    p.connect(source, 0, signal, 0);
    std::vector<int> coordinates;
    for (int k = 0; k < c.coordinates; k++) {
        coordinates.push_back(p.obj("sig~ 0"));
        p.connect(coordinates.back(), 0, signal, k + 1);
    }
    for (int k = 0; k < c.outlets; k++) {
        p.record(control, k, "c" + std::to_string(k));
        p.record(signal, k, "s" + std::to_string(k));
    }
    for (size_t i = 0; i < c.positions.size(); i++) {
        const std::vector<float> &at = c.positions[i];
        p.send_at(BLOCK * i, control, 0, text(at));
        for (int k = 0; k < c.coordinates; k++)
            p.send_at(BLOCK * i, coordinates[k], 0, std::to_string(at[k]));
    }
    if (*c.report) p.send_at(BLOCK * c.positions.size(), control, 0, c.report);
}

TEST(OtherMachine, SameConsoleAndOutletsAsThisOne) {
    if (pd_host::pd_program() == pd_host::native_pd_program())
        GTEST_SKIP() << "RC_PD names no other machine's Pd";
    for (const Case &c : CASES) {
        pd_host::Patch p;
        build(p, c);
        const long samples = BLOCK * (c.positions.size() + 1);
        const pd_host::Result here = p.run(samples, pd_host::native_pd_program());
        const pd_host::Result there = p.run(samples);
        EXPECT_EQ(there.exit_status, 0) << c.object;
        EXPECT_EQ(there.lines(), here.lines()) << c.object;
        float largest = 0;
        int differ = 0;
        for (const auto &[name, expected] : here.signals) {
            const std::vector<float> &got = there.signals.at(name);
            ASSERT_EQ(got.size(), static_cast<size_t>(samples)) << c.object << " " << name;
            ASSERT_EQ(expected.size(), got.size()) << c.object << " " << name;
            for (size_t i = 0; i < got.size(); i++) {
                const float d = std::fabs(got[i] - expected[i]);
                differ += got[i] != expected[i];
                largest = std::fmax(largest, d);
                ASSERT_LE(d, 1e-6f + 1e-5f * std::fabs(expected[i]))
                    << c.object << " outlet " << name << " sample " << i << ": " << got[i]
                    << " here " << expected[i];
            }
        }
        std::printf("%-20s %6d of %ld samples differ from this machine's, by %g at most\n",
                    c.object, differ, samples * 2 * c.outlets, largest);
    }
}

} // namespace
