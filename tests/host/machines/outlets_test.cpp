// Every object in another machine's Pd (RC_PD, for instance an ARM Pd under
// qemu-user, a Windows Pd under wine, or another release of Pd) against the
// same patch in this machine's Pd: the same console lines and the same
// outlets, in both modes, for positions on the ring, between loudspeakers,
// near the centre and far away. Where the law reads only cartesian positions
// and default layouts it does the same float operations everywhere, so the
// outlets are the same floats; angles go through the C library's cosf, sinf
// and acosf, which differ between libraries by an ulp now and then, so polar
// and spherical positions and layouts placed by angle agree within a few ulp.

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
    const char *layout = "";                   // a layout message sent to both first, or ""
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
    {"sorvel~ 8 c c 0.5 5",
     "sorvel~ 8 p s 0.5",
     8,
     2,
     {{0, 1}, {1, 1}, {-0.2f, 0.1f}, {0.3827f, -0.9239f}, {5, -3}, {0, 0}},
     "get_info",
     "a_setpos 0 30 95 150 181 230 275 333"},
};

// The largest distance allowed between the outlets of two machines, in
// ulps of the larger magnitude.
constexpr int SAME_FLOATS = 0;
constexpr int ANGLES_ULPS = 4;

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
    if (*c.layout) {
        p.send_at(0, control, 0, c.layout);
        p.send_at(0, signal, 0, c.layout);
    }
}

// How many floats lie between a and b, counted in units of the last place
// of the larger; 0 when they are equal.
float ulps(float a, float b) {
    if (a == b) return 0;
    const float larger = std::fmax(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) / (std::nextafter(larger, INFINITY) - larger);
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
            const bool cartesian = name[0] == 'c' && !*c.layout;
            const float allowed = cartesian ? SAME_FLOATS : ANGLES_ULPS;
            for (size_t i = 0; i < got.size(); i++) {
                const float d = ulps(got[i], expected[i]);
                differ += got[i] != expected[i];
                largest = std::fmax(largest, d);
                ASSERT_LE(d, allowed)
                    << c.object << " " << c.layout << " outlet " << name << " sample " << i << ": "
                    << got[i] << " here " << expected[i];
            }
        }
        std::printf(
            "%-20s %-12.12s %5d of %ld samples differ from this machine's, by %g ulp at most\n",
            c.object, c.layout, differ, samples * 2 * c.outlets, largest);
    }
}

} // namespace
