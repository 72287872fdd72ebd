// Multichannel signals (Pd 0.54 and later): one instance fed K sources and
// position signals of any channel count, with or without -mc, against the
// sum of K single instances, each with its source and the channel of each
// position signal that belongs to it. In an earlier Pd, -mc leaves the
// outlets as they were and says why.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace {

// The running Pd's version as major * 100 + minor (0.55 gives 55).
int pd_version() {
    const std::string command = "'" + pd_host::pd_program() + "' -version 2>&1";
    FILE *out = popen(command.c_str(), "r");
    int major = 0, minor = 0;
    if (out) {
        char line[256] = "";
        while (fgets(line, sizeof line, out))
            if (std::sscanf(line, "Pd-%d.%d", &major, &minor) == 2) break;
        pclose(out);
    }
    return major * 100 + minor;
}

struct Case {
    const char *object; // creation text without -mc
    int outlets;
    int sources;
    std::vector<int> channels; // of each position inlet (signal mode)
    std::vector<float> scale;  // of each position inlet's signals
    bool mc;
    std::vector<const char *> messages; // at the first block, to every instance
};

const Case CASES[] = {
    {"sorvel~ 8 c s", 8, 1, {1, 1}, {1.2f, 1.2f}, false, {}},
    {"sorvel~ 8 c s", 8, 8, {8, 8}, {1.2f, 1.2f}, true, {}},
    {"sorvel~ 8 p s", 8, 6, {1, 6}, {1.2f, 400}, false, {}},
    {"sorvel~ 6 c s", 6, 5, {2, 3}, {0.8f, 1.5f}, true, {}},
    {"sorvel~ 8 c s", 8, 3, {3, 3}, {1, 1}, true, {"mute_sig 1", "0.3 -0.4"}},
    {"sorvel~ 5 c c", 5, 4, {}, {}, false, {"0.3 0.5"}},
    {"kelmor~ 8 p s", 8, 8, {8, 8}, {1.2f, 400}, true, {}},
    {"kelmor~ 5 c s", 5, 3, {2, 1}, {1, 1}, false, {}},
    {"kelmor~ 4 c c", 4, 2, {}, {}, true, {"-0.5 0.2"}},
    {"trazin~ c s", 8, 8, {8, 8, 8}, {1, 1, 1}, true, {}},
    {"trazin~ s s", 8, 4, {4, 2, 1}, {1.2f, 400, 200}, false, {}},
    {"trazin~ p s", 8, 2, {2, 2, 2}, {1, 300, 1}, true, {"mute_sig 1", "0.1 0.2 0.3"}},
    {"trazin~ c c", 8, 3, {}, {}, false, {"0.1 0.2 0.3"}},
};

constexpr long SAMPLES = 1024;

// A signal of its own for every source and every position channel.
int oscillator(pd_host::Patch &p, float hz, float scale) {
    const int o = p.obj("osc~ " + std::to_string(hz));
    const int s = p.obj("*~ " + std::to_string(scale));
    p.connect(o, 0, s, 0);
    return s;
}

TEST(Multichannel, OneInstanceIsTheSumOfSingleInstances) {
    if (pd_version() < 54) GTEST_SKIP() << "a Pd without multichannel signals";
    for (const Case &c : CASES) {
        SCOPED_TRACE(std::string(c.object) + " sources " + std::to_string(c.sources) +
                     (c.mc ? " -mc" : ""));
        pd_host::Patch p;
        std::vector<int> sources;
        for (int k = 0; k < c.sources; k++) sources.push_back(oscillator(p, 150 + 70 * k, 1));
        std::vector<std::vector<int>> positions(c.channels.size());
        for (size_t i = 0; i < c.channels.size(); i++)
            for (int k = 0; k < c.channels[i]; k++)
                positions[i].push_back(oscillator(p, 3 + 1.7f * k + 0.9f * i, c.scale[i]));

        const std::string text = c.object;
        const int one = p.obj(c.mc ? text.substr(0, 7) + " -mc" + text.substr(7) : text);
        p.connect(p.joined(sources), 0, one, 0);
        for (size_t i = 0; i < positions.size(); i++)
            p.connect(p.joined(positions[i]), 0, one, static_cast<int>(i) + 1);
        int outlets = one;
        if (c.mc) {
            outlets = p.obj("snake~ out " + std::to_string(c.outlets));
            p.connect(one, 0, outlets, 0);
        }

        std::vector<int> sums, targets{one};
        for (int j = 0; j < c.outlets; j++) sums.push_back(p.obj("+~"));
        for (int k = 0; k < c.sources; k++) {
            const int single = p.obj(text);
            targets.push_back(single);
            p.connect(sources[k], 0, single, 0);
            for (size_t i = 0; i < positions.size(); i++)
                p.connect(positions[i][k % positions[i].size()], 0, single,
                          static_cast<int>(i) + 1);
            for (int j = 0; j < c.outlets; j++) p.connect(single, j, sums[j], 0);
        }
        for (const char *message : c.messages)
            for (int target : targets) p.send_at(0, target, 0, message);
        for (int j = 0; j < c.outlets; j++) {
            p.record(outlets, j, "one" + std::to_string(j));
            p.record(sums[j], 0, "sum" + std::to_string(j));
        }

        const pd_host::Result r = p.run(SAMPLES);
        EXPECT_EQ(r.count("error"), 0) << r.console;
        // One source at one position is today's instance, to the bit.
        const float tolerance = c.sources == 1 ? 0.0f : 1e-5f * c.sources;
        double heard = 0;
        for (int j = 0; j < c.outlets; j++) {
            const std::vector<float> &a = r.signals.at("one" + std::to_string(j));
            const std::vector<float> &b = r.signals.at("sum" + std::to_string(j));
            ASSERT_EQ(a.size(), static_cast<size_t>(SAMPLES)) << r.console;
            ASSERT_EQ(b.size(), a.size());
            int differ = 0;
            for (long i = 0; i < SAMPLES; i++) {
                differ += !(std::fabs(a[i] - b[i]) <= tolerance);
                heard += std::fabs(a[i]);
            }
            EXPECT_EQ(differ, 0) << "outlet " << j;
        }
        EXPECT_GT(heard, 10.0) << "silence";
    }
}

// -mc in a Pd before 0.54: the ordinary outlets, and one line that says why.
TEST(Multichannel, FlagInAnEarlierPdKeepsTheOutlets) {
    const bool mc = pd_version() >= 54;
    const struct {
        const char *box;
        int outlets;
    } boxes[] = {{"sorvel~ -mc 8", 8}, {"kelmor~ -mc 6 p s", 6}, {"trazin~ -mc s", 8}};
    for (const auto &b : boxes) {
        const std::string name = std::string(b.box).substr(0, 7);
        EXPECT_EQ(pd_host::outlets_of(b.box), mc ? 1 : b.outlets) << b.box;
        const pd_host::Lines lines = pd_host::console_of(b.box);
        const std::string line = name + ": -mc demande Pd 0.54 ou plus r\x82"
                                        "cent, une sortie par haut-parleur.";
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), mc ? 0 : 1) << b.box;
    }
}

// The examples the help patches open, each in a Pd that has snake~.
TEST(Multichannel, ExamplesOpenCleanly) {
    if (pd_version() < 54) GTEST_SKIP() << "a Pd without multichannel signals";
    for (const char *name : {"sorvel~", "kelmor~", "trazin~"}) {
        pd_host::Patch p;
        const int open = p.msg(std::string("; pd open ") + name + "-multichannel.pd " +
                               RC_LIBRARY_FOLDER + "/multichannel");
        p.connect(p.obj("loadbang"), 0, open, 0);
        const pd_host::Result r = p.run(256);
        for (const char *bad : {"couldn't create", "connection failed", "error", "~: "})
            EXPECT_EQ(r.count(bad), 0) << name << "\n" << r.console;
    }
}

} // namespace
