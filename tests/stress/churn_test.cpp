// A patch edited while it plays, in the real Pd under valgrind: three
// subpatches are cleared and filled again in turn with instances of every
// object in both modes (Pd's dynamic patching messages), DSP is switched off
// and on, and the instances receive position, layout, loudspeaker-count and
// bad-value messages between blocks. Every outlet goes to one bus, recorded
// raw. Checked: Pd finishes, the bus stays finite, valgrind reports no
// invalid access in the objects and no block definitely lost that they took.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace {

namespace fs = std::filesystem;
using pd_host::read_file;

// Rounds (CHURN_ROUNDS in the environment, else 24), instances a round,
// samples a round: 24 rounds make 480 instances, 160 of each object, half of
// them with signal inlets.
int rounds() {
    const char *n = std::getenv("CHURN_ROUNDS");
    return n && std::atoi(n) > 0 ? std::atoi(n) : 24;
}
constexpr int PER_ROUND = 20;
constexpr long ROUND = 2048;
constexpr int SUBPATCHES = 3;

// The boxes a subpatch holds before its panners, in creation order.
enum Fixed { SOURCE, BUS, CONTROL, POS_A, POS_B, FIRST_PANNER };

struct Panner {
    std::string text;
    int outlets;
    int positions; // signal position inlets, 0 in control mode
};

Panner random_panner(std::mt19937 &random, int k) {
    auto pick = [&](int n) { return static_cast<int>(random() % n); };
    const bool signal = k % 2 == 1;
    const char *mode = signal ? "s" : "c";
    const std::string interp = std::to_string(pick(30));
    switch (k / 2 % 3) {
    case 0: {
        const int n = 3 + pick(14);
        return {"sorvel~ " + std::to_string(n) + (pick(2) ? " c " : " p ") + mode + " 0.5 " +
                    interp,
                n, signal ? 2 : 0};
    }
    case 1: {
        const int n = 2 + pick(15);
        return {"kelmor~ " + std::to_string(n) + (pick(2) ? " c " : " p ") + mode + " 0.3 " +
                    interp,
                n, signal ? 2 : 0};
    }
    default: {
        const char *repere[] = {"c", "p", "s"};
        return {std::string("trazin~ ") + repere[pick(3)] + " " + mode + " 0.3 " + interp, 8,
                signal ? 3 : 0};
    }
    }
}

// What the instances of a subpatch hear between blocks; selectors a class
// lacks only make Pd say so.
const char *const MESSAGES[] = {
    "x 0.3",
    "y -0.8",
    "list 0.5 -0.5",
    "z 0.4",
    "set_nb_hp 3",
    "set_nb_hp 16",
    "set_nb_hp 2",
    "a_setpos 10 100 200 300",
    "ra_setpos 2 45 0.5 135",
    "xy_setpos 1 1 -1 1 0 -2",
    "change_type p",
    "change_type c",
    "change_type s",
    "mute_sig 1",
    "mute_sig 0",
    "set_offset 0.01",
    "set_rc 2",
    "y 1e+39",
    "list 1e+39 -1e+39",
    "x 3e+38",
    "set_nb_hp 1e+39",
    "a_setpos 1e+39",
    "get_info",
    "list",
};

struct Churn {
    pd_host::Patch patch;
    int dummy;
    std::mt19937 random{20261207};
    int instances[3] = {0, 0, 0};

    Churn() { dummy = patch.obj("t b"); }

    void send(long at, const std::string &text) { patch.send_at(at, dummy, 0, "; " + text); }

    void fill(long at, int sub, int round) {
        const std::string pd = "pd-churn" + std::to_string(sub);
        std::ostringstream m;
        m << pd << " clear; " << pd << " obj 10 10 osc~ 220; " << pd << " obj 10 30 throw~ bus; "
          << pd << " obj 10 50 r ctl" << sub << "; " << pd << " obj 10 70 osc~ 0.3; " << pd
          << " obj 10 90 phasor~ 0.7";
        for (int k = 0; k < PER_ROUND; k++) {
            const Panner p = random_panner(random, k + round);
            const int box = FIRST_PANNER + k;
            instances[p.text[0] == 's' ? 0 : p.text[0] == 'k' ? 1 : 2]++;
            m << "; " << pd << " obj " << 100 + 20 * k << " 120 " << p.text;
            m << "; " << pd << " connect " << SOURCE << " 0 " << box << " 0";
            m << "; " << pd << " connect " << CONTROL << " 0 " << box << " 0";
            for (int j = 0; j < p.outlets; j++)
                m << "; " << pd << " connect " << box << " " << j << " " << BUS << " 0";
            for (int i = 0; i < p.positions; i++)
                m << "; " << pd << " connect " << (i == 1 ? POS_B : POS_A) << " 0 " << box << " "
                  << 1 + i;
        }
        send(at, m.str());
    }

    void control(long at, int sub) {
        const int count = sizeof MESSAGES / sizeof MESSAGES[0];
        send(at, "ctl" + std::to_string(sub) + " " + MESSAGES[random() % count]);
    }
};

// valgrind's reports, one per block of lines starting with "==pid== " and
// ending at an empty report line.
std::vector<std::string> reports(const std::string &log) {
    std::vector<std::string> out;
    std::istringstream in(log);
    std::string line, current;
    const std::regex prefix("^==[0-9]+== ?");
    while (std::getline(in, line)) {
        const std::string body = std::regex_replace(line, prefix, "");
        if (body.empty()) {
            if (!current.empty()) out.push_back(current);
            current.clear();
        } else {
            current += body + "\n";
        }
    }
    if (!current.empty()) out.push_back(current);
    return out;
}

bool ours(const std::string &report) {
    return report.find("sorvel~" RC_EXTENSION) != std::string::npos ||
           report.find("kelmor~" RC_EXTENSION) != std::string::npos ||
           report.find("trazin~" RC_EXTENSION) != std::string::npos;
}

TEST(Churn, EditingWhilePlayingUnderValgrind) {
    const fs::path dir = fs::path(RC_STRESS_TMP) / "churn";
    fs::remove_all(dir);
    fs::create_directories(dir);

    Churn c;
    for (int s = 0; s < SUBPATCHES; s++) c.patch.obj("pd churn" + std::to_string(s));
    const int bus = c.patch.obj("catch~ bus");
    const int probe = c.patch.obj("rc_probe~ " + (dir / "bus.f32").string());
    c.patch.connect(bus, 0, probe, 0);

    const int ROUNDS = rounds();
    for (int r = 0; r < ROUNDS; r++) {
        const long t = r * ROUND;
        const int sub = r % SUBPATCHES;
        // Every fourth round is built with DSP off and switched on after.
        if (r % 4 == 3) c.send(t, "pd dsp 0");
        c.fill(t, sub, r);
        if (r % 4 == 3) c.send(t + 64, "pd dsp 1");
        for (long at = t + 256; at < t + ROUND; at += 256) c.control(at, (sub + at / 256) % 3);
    }
    const long end = ROUNDS * ROUND + 512;
    for (int s = 0; s < SUBPATCHES; s++)
        c.send(end - 256, "pd-churn" + std::to_string(s) + " clear");

    const fs::path patch = dir / "churn.pd";
    std::ofstream(patch) << c.patch.text(end);
    const fs::path log = dir / "valgrind.txt", console = dir / "console.txt";
    std::ostringstream command;
    command << "timeout 1100 valgrind -q --leak-check=full --show-leak-kinds=definite"
            << " --errors-for-leak-kinds=definite --num-callers=40 --log-file=" << log << " '"
            << RC_PD_PROGRAM << "' -nogui -batch -noprefs -nosound -nostdpath -nrt -stderr"
            << " -r 44100 -path '" << RC_LIBRARY_DIR << "' -path '" << RC_PROBE_DIR << "' -open "
            << patch << " 2>" << console;
    const int status = std::system(command.str().c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << command.str() << "\n"
        << read_file(console).substr(0, 4000);

    // Every instance was created (no refusal) and played into the bus.
    const std::string text = read_file(console);
    EXPECT_EQ(text.find("couldn't create"), std::string::npos) << text.substr(0, 4000);
    const std::string raw = read_file(dir / "bus.f32");
    // One block is not played for every round built with DSP off.
    EXPECT_EQ(raw.size() / sizeof(float), static_cast<size_t>(end - ROUNDS / 4 * 64));
    const float *bus_samples = reinterpret_cast<const float *>(raw.data());
    float loudest = 0;
    for (size_t i = 0; i < raw.size() / sizeof(float); i++) {
        if (!std::isfinite(bus_samples[i])) {
            ADD_FAILURE() << "bus sample " << i << " is " << bus_samples[i];
            break;
        }
        loudest = std::max(loudest, std::fabs(bus_samples[i]));
    }
    EXPECT_GT(loudest, 0.1f);

    int others = 0;
    for (const std::string &report : reports(read_file(log))) {
        if (ours(report))
            ADD_FAILURE() << report;
        else
            others++;
    }
    printf("churned %d sorvel~, %d kelmor~, %d trazin~ instances; %d valgrind reports outside "
           "the objects\n",
           c.instances[0], c.instances[1], c.instances[2], others);
}

} // namespace
