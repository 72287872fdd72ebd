// What make demo wrote (rendered once by the host.demo.render fixture):
// the multichannel WAVs, their headphone previews, the measured gains and
// the pictures drawn from them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace {

// A file make demo wrote.
std::string read_file(const std::string &name) {
    return pd_host::read_file(std::string(RC_DEMO_DIR) + "/" + name);
}

struct Wav {
    int channels = 0, rate = 0, bits = 0;
    std::vector<std::vector<float>> samples; // one vector per channel
    double seconds() const { return samples.empty() ? 0 : samples[0].size() / double(rate); }
};

uint32_t le(const std::string &b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int k = bytes - 1; k >= 0; k--) v = v << 8 | static_cast<uint8_t>(b[at + k]);
    return v;
}

// A 24-bit PCM WAV, walked chunk by chunk.
Wav read_wav(const std::string &name) {
    const std::string b = read_file(name);
    Wav w;
    if (b.size() < 12 || b.compare(0, 4, "RIFF") || b.compare(8, 4, "WAVE")) return w;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const size_t size = le(b, at + 4, 4);
        if (id == "fmt ") {
            w.channels = le(b, at + 10, 2);
            w.rate = le(b, at + 12, 4);
            w.bits = le(b, at + 22, 2);
        } else if (id == "data" && w.bits == 24 && w.channels > 0) {
            const size_t frames = std::min(size, b.size() - at - 8) / (3 * w.channels);
            w.samples.assign(w.channels, std::vector<float>(frames));
            for (size_t f = 0; f < frames; f++)
                for (int c = 0; c < w.channels; c++) {
                    int32_t v = le(b, at + 8 + 3 * (f * w.channels + c), 3);
                    if (v & 0x800000) v -= 0x1000000;
                    w.samples[c][f] = v / 8388608.0f;
                }
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

double energy(const std::vector<float> &s, double from, double to, int rate) {
    double e = 0;
    for (size_t i = size_t(from * rate); i < size_t(to * rate) && i < s.size(); i++)
        e += double(s[i]) * s[i];
    return e;
}

// When each channel is loudest within [0, until): energy over the 125 ms
// between two noise bursts, smoothed over three of them.
std::vector<double> peak_times(const Wav &w, double until) {
    const double hop = 0.125;
    std::vector<double> out;
    for (const auto &channel : w.samples) {
        double best = -1, when = -1;
        for (double t = hop; t + 2 * hop <= until; t += hop) {
            const double e = energy(channel, t - hop, t + 2 * hop, w.rate);
            if (e > best) {
                best = e;
                when = t + hop / 2;
            }
        }
        out.push_back(when);
    }
    return out;
}

void expect_sound(const Wav &w, int channels, double seconds, const std::string &name) {
    ASSERT_EQ(w.channels, channels) << name;
    EXPECT_EQ(w.rate, 48000) << name;
    EXPECT_NEAR(w.seconds(), seconds, 0.01) << name;
    for (int c = 0; c < w.channels; c++) {
        float peak = 0;
        for (float v : w.samples[c]) peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.05f) << name << " channel " << c + 1 << " is silent";
        EXPECT_LT(peak, 0.99f) << name << " channel " << c + 1 << " clips";
    }
}

// The orbit goes clockwise from just left of loudspeaker 0, so the
// loudspeakers sound one after the other in outlet order, each when the
// source passes its direction (expected, in seconds).
void expect_ring_order(const Wav &w, double until, const std::vector<double> &expected,
                       const std::string &name) {
    const std::vector<double> peaks = peak_times(w, until);
    ASSERT_EQ(peaks.size(), expected.size());
    for (size_t c = 0; c < peaks.size(); c++) {
        EXPECT_NEAR(peaks[c], expected[c], 0.5) << name << " outlet " << c + 1;
        if (c > 0) {
            EXPECT_GT(peaks[c], peaks[c - 1]) << name << " outlet " << c + 1;
        }
    }
}

// Headphones: more energy in the right ear while the source is on the
// right, in the left ear while it is on the left (1 s around each time).
void expect_sides(const Wav &w, double right_at, double left_at, const std::string &name) {
    ASSERT_EQ(w.channels, 2) << name;
    auto ratio = [&](double t) {
        return energy(w.samples[1], t - 0.5, t + 0.5, w.rate) /
               energy(w.samples[0], t - 0.5, t + 0.5, w.rate);
    };
    EXPECT_GT(ratio(right_at), 2.0) << name << ": right/left energy with the source on the right";
    EXPECT_LT(ratio(left_at), 0.5) << name << ": right/left energy with the source on the left";
}

// Each object's render and its headphone preview: sound on every channel,
// the loudspeakers in outlet order, the source heard on each side in turn.
TEST(DemoRender, EachObjectOrbitsTheRingInOutletOrder) {
    struct Render {
        const char *object;
        double seconds, until;
        std::vector<double> peaks;
        double right_at, left_at;
    };
    const Render renders[] = {
        // From 135 degrees clockwise, 30 degrees a second; loudspeaker k at
        // 112.5 - 45k degrees.
        {"sorvel", 20, 12, {0.75, 2.25, 3.75, 5.25, 6.75, 8.25, 9.75, 11.25}, 4.5, 10.5},
        {"kelmor", 20, 12, {0.75, 2.25, 3.75, 5.25, 6.75, 8.25, 9.75, 11.25}, 4.5, 10.5},
        // From azimuth 180 clockwise, 45 degrees a second, rising: the lower
        // square (135, 45, -45, -135) in the first turn, the upper in the second.
        {"trazin", 18, 16, {1, 3, 5, 7, 9, 11, 13, 15}, 4, 8},
    };
    for (const Render &r : renders) {
        const std::string ring = std::string(r.object) + "-8ch.wav";
        const std::string ears = std::string(r.object) + "-headphones.wav";
        const Wav w = read_wav(ring);
        expect_sound(w, 8, r.seconds, ring);
        expect_ring_order(w, r.until, r.peaks, r.object);
        const Wav h = read_wav(ears);
        expect_sound(h, 2, r.seconds, ears);
        expect_sides(h, r.right_at, r.left_at, ears);
    }
}

TEST(DemoRender, SorvelSpreadsOverTheRingInTheCentralDisc) {
    // At 15 s the source is at the centre: every loudspeaker sounds, with
    // the same energy to within the noise.
    const Wav w = read_wav("sorvel-8ch.wav");
    ASSERT_EQ(w.channels, 8);
    const double first = energy(w.samples[0], 14.75, 15.25, w.rate);
    for (int c = 1; c < 8; c++)
        EXPECT_NEAR(energy(w.samples[c], 14.75, 15.25, w.rate) / first, 1.0, 0.25) << c + 1;
}

std::vector<std::vector<double>> read_table(const std::string &name) {
    std::vector<std::vector<double>> rows;
    std::istringstream in(read_file(name));
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<double> row;
        for (double v; words >> v;) row.push_back(v);
        rows.push_back(row);
    }
    return rows;
}

// The measured rows against values the laws give at known positions: a row
// that lags its position by a step, or a swapped outlet, shows here.
TEST(DemoRender, GainMapsHoldTheGainsOfTheirPositions) {
    struct Check {
        const char *file;
        size_t columns;
        int row;
        std::vector<double> gains;
    };
    const double h = std::sqrt(0.5);
    const std::vector<Check> checks = {
        {"sorvel-azimuth.txt", 5, 75, {0, h, 0, 0}},      // 45 degrees: loudspeaker 2
        {"sorvel-azimuth.txt", 5, 150, {0.5, 0.5, 0, 0}}, // 90: the front pair
        {"sorvel-axis.txt", 5, 300, {h, h, h, h}},        // the centre
        {"sorvel-axis.txt", 5, 350, {1, 1, 0, 0}},        // y = 0.5, on the disc's rim
        {"kelmor-azimuth.txt", 5, 150, {0.49148, 0.49148, 0, 0}},
        {"kelmor-axis.txt", 5, 300, {0.70984, 0.70984, 0.70984, 0.70984}},
        {"kelmor-axis.txt", 5, 500, {0.29071, 0.29071, 0, 0}}, // y = 2
        {"trazin-azimuth.txt", 9, 150, {0.3050, 0.3050, 0, 0, 0.3050, 0.3050, 0, 0}},
        {"trazin-axis.txt",
         9,
         300,
         {0.5019, 0.5019, 0.5019, 0.5019, 0.5019, 0.5019, 0.5019, 0.5019}},
    };
    for (const Check &c : checks) {
        const auto rows = read_table(c.file);
        ASSERT_EQ(rows.size(), 601u) << c.file;
        for (const auto &row : rows) ASSERT_EQ(row.size(), c.columns) << c.file;
        for (size_t k = 0; k < c.gains.size(); k++)
            EXPECT_NEAR(rows[c.row][k + 1], c.gains[k], 2e-4)
                << c.file << " row " << c.row << " outlet " << k + 1;
    }
}

TEST(DemoRender, DrawsOnePictureAnObject) {
    for (const char *name : {"sorvel-gains.png", "kelmor-gains.png", "trazin-gains.png"}) {
        const std::string png = read_file(name);
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name;
        EXPECT_GT(png.size(), 20000u) << name;
    }
}

} // namespace
