// Every help and demo patch opened in the real Pd, as a user opens it, and
// every message box of a help patch sent to the object it is wired to.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace fs = std::filesystem;

namespace {

using pd_host::read_file;

std::vector<fs::path> patches_in(const std::string &folder) {
    std::vector<fs::path> out;
    for (const auto &entry : fs::directory_iterator(fs::path(RC_SOURCE_DIR) / folder))
        if (entry.path().extension() == ".pd") out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

// Opens the patch with the built library and Pd's standard path (earplug~),
// then quits, or lets the patch run until it quits itself; returns what Pd
// wrote.
std::string open_in_pd(const fs::path &patch, bool quit_at_once = true) {
    fs::create_directories(RC_TEST_TMP);
    const fs::path console = fs::path(RC_TEST_TMP) / ("open-" + patch.stem().string() + "-" +
                                                      std::to_string(getpid()) + ".txt");
    const std::string command = "timeout 60 '" + pd_host::pd_program() +
                                "' -nogui -batch -noprefs -nosound -stderr -path '" +
                                RC_LIBRARY_DIR + "' -open '" + patch.string() +
                                (quit_at_once ? "' -send 'pd quit'" : "'") + " 2>'" +
                                console.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << patch;
    const std::string text = read_file(console);
    fs::remove(console);
    return text;
}

// The lines a patch must not make Pd write: failed objects or connections,
// errors, and the objects' own complaints about their arguments.
std::vector<std::string> complaints(const std::string &console) {
    std::vector<std::string> out;
    std::istringstream in(console);
    for (std::string line; std::getline(in, line);) {
        for (const char *bad : {"couldn't create", "connection failed", "error", "no method",
                                "bad arguments", "sorvel~: ", "kelmor~: ", "trazin~: "})
            if (line.find(bad) != std::string::npos) {
                out.push_back(line);
                break;
            }
    }
    return out;
}

TEST(Patches, EveryHelpAndDemoPatchOpensCleanly) {
    std::vector<fs::path> all = patches_in("help");
    ASSERT_EQ(all.size(), 4u);
    for (const fs::path &p : patches_in("demo")) all.push_back(p);
    for (const fs::path &patch : all) {
        const std::string console = open_in_pd(patch);
        EXPECT_EQ(complaints(console), std::vector<std::string>{}) << patch;
    }
}

// Right-click, Help, as the GUI's menu asks for it: the canvas finds the box
// under the point and opens the help patch its class names.
TEST(Patches, HelpOpensFromTheObject) {
    for (const auto &[creation, name] : {std::pair{"sorvel~ 8", "sorvel~"},
                                         {"kelmor~", "kelmor~"},
                                         {"trazin~", "trazin~"},
                                         {"stereo_monitor~ 90", "stereo_monitor~"}}) {
        pd_host::Patch p;
        const int object = p.obj(creation); // box 4, at 200 40
        p.send_at(0, object, 0,
                  std::string("; pd-patch.pd done-popup 2 205 45; pd-") + name +
                      "-help.pd dirty 0");
        const pd_host::Result r = p.run(64);
        EXPECT_EQ(r.count("couldn't find help patch"), 0) << r.console;
        EXPECT_EQ(r.count("no such object"), 0) << name << " help not loaded\n" << r.console;
    }
}

// The stereo monitor of the help patches: a loudspeaker on the left is heard
// on the left, one in front or behind in the middle, at equal power; a new
// azimuth at the right inlet turns it.
TEST(Patches, StereoMonitorPansByDirection) {
    struct Case {
        const char *creation, *turn;
        float left, right;
    };
    for (const Case &c :
         {Case{"stereo_monitor~ 180", "", 1, 0}, Case{"stereo_monitor~ 0", "", 0, 1},
          Case{"stereo_monitor~ 90", "", 0.7071f, 0.7071f},
          Case{"stereo_monitor~ -90", "", 0.7071f, 0.7071f},
          Case{"stereo_monitor~ 135", "", 0.9737f, 0.2280f},
          Case{"stereo_monitor~ 180", "0", 0, 1}}) {
        pd_host::Patch p;
        const int one = p.obj("sig~ 1");
        const int monitor = p.obj(c.creation);
        p.connect(one, 0, monitor, 0);
        p.record(monitor, 0, "left");
        p.record(monitor, 1, "right");
        if (*c.turn) p.send_at(0, monitor, 1, c.turn);
        const pd_host::Result r = p.run(4096);
        EXPECT_NEAR(r.signals.at("left").back(), c.left, 1e-3) << c.creation << " " << c.turn;
        EXPECT_NEAR(r.signals.at("right").back(), c.right, 1e-3) << c.creation << " " << c.turn;
        EXPECT_EQ(complaints(r.console), std::vector<std::string>{}) << c.creation;
    }
}

// Every window of a help patch, main or subpatch, fits a laptop screen.
TEST(Patches, EveryHelpWindowFits) {
    const std::map<std::string, int> least_windows = {{"kelmor~-help.pd", 8},
                                                      {"sorvel~-help.pd", 8},
                                                      {"stereo_monitor~-help.pd", 4},
                                                      {"trazin~-help.pd", 8}};
    ASSERT_EQ(patches_in("help").size(), least_windows.size());
    for (const fs::path &help : patches_in("help")) {
        std::istringstream in(read_file(help));
        int windows = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("#N canvas ", 0) != 0) continue;
            std::istringstream words(line.substr(10));
            int x, y, width, height;
            words >> x >> y >> width >> height;
            EXPECT_LE(width, 800) << help << ": " << line;
            EXPECT_LE(height, 720) << help << ": " << line;
            windows++;
        }
        EXPECT_GE(windows, least_windows.at(help.filename().string())) << help;
    }
}

// The boxes and connections of one canvas (a subpatch counts as one box of
// its parent and has its own).
struct Boxes {
    std::vector<std::string> kind, text;
    std::vector<std::array<int, 4>> connections;
};

// Every canvas of a patch: records end with an unescaped ';' and may span
// lines.
std::vector<Boxes> canvases(const std::string &patch_text) {
    std::vector<std::string> records;
    std::string record;
    for (char c : patch_text) {
        if (c == ';' && !(record.size() && record.back() == '\\')) {
            records.push_back(record);
            record.clear();
        } else
            record += c == '\n' ? ' ' : c;
    }
    std::vector<Boxes> done, open;
    for (std::string r : records) {
        r.erase(0, r.find_first_not_of(' '));
        std::istringstream words(r);
        std::string head, kind;
        words >> head >> kind;
        if (head == "#N" && kind == "canvas") {
            open.emplace_back();
        } else if (head == "#X" && kind == "restore" && open.size() > 1) {
            done.push_back(open.back());
            open.pop_back();
            open.back().kind.push_back("obj");
            open.back().text.push_back("");
        } else if (head == "#X" && !open.empty()) {
            Boxes &b = open.back();
            if (kind == "connect") {
                std::array<int, 4> c{};
                words >> c[0] >> c[1] >> c[2] >> c[3];
                b.connections.push_back(c);
            } else if (kind == "obj" || kind == "msg" || kind == "text" || kind == "floatatom" ||
                       kind == "symbolatom" || kind == "listbox") {
                int x, y;
                words >> x >> y;
                std::string rest;
                std::getline(words, rest);
                rest.erase(0, rest.find_first_not_of(' '));
                const size_t width = rest.rfind(" \\, f ");
                if (width != std::string::npos) rest.erase(width);
                b.kind.push_back(kind);
                b.text.push_back(rest);
            }
        }
    }
    for (Boxes &b : open) done.push_back(b);
    return done;
}

// Every message box of a help patch that reaches one of the objects, wired
// to it, through a [t a ...] or through a [s name] to the [r name] wired to
// it, sent to a fresh instance of that object: the object must know every
// selector the help shows, with the arguments shown.
TEST(Patches, EveryHelpMessageIsUnderstood) {
    // The stereo monitor's help reaches a panner in its example only.
    const std::map<std::string, int> least_sent = {{"kelmor~-help.pd", 18},
                                                   {"sorvel~-help.pd", 18},
                                                   {"stereo_monitor~-help.pd", 4},
                                                   {"trazin~-help.pd", 18}};
    const std::vector<fs::path> helps = patches_in("help");
    ASSERT_EQ(helps.size(), least_sent.size());
    auto is_object = [](const Boxes &b, int i) {
        for (const char *name : {"sorvel~", "kelmor~", "trazin~"})
            if (b.kind.at(i) == "obj" && b.text[i].rfind(name, 0) == 0) return true;
        return false;
    };
    using Inlet = std::pair<std::string, int>; // creation, inlet
    for (const fs::path &help : helps) {
        const std::vector<Boxes> all = canvases(read_file(help));
        std::map<std::string, std::vector<Inlet>> receivers;
        for (const Boxes &b : all)
            for (const auto &c : b.connections)
                if (b.text.at(c[0]).rfind("r ", 0) == 0 && is_object(b, c[2]))
                    receivers[b.text[c[0]].substr(2)].push_back({b.text[c[2]], c[3]});
        std::map<std::string, std::vector<std::pair<int, std::string>>> sends;
        for (const Boxes &b : all) {
            auto reach = [&](int box, int inlet, std::vector<Inlet> &out) {
                const std::string &t = b.text[box];
                if (is_object(b, box)) out.push_back({t, inlet});
                if (t.rfind("s ", 0) == 0)
                    for (const Inlet &r : receivers[t.substr(2)]) out.push_back(r);
                if (t.rfind("t a", 0) == 0)
                    for (const auto &c : b.connections)
                        if (c[0] == box && c[1] == 0 && is_object(b, c[2]))
                            out.push_back({b.text[c[2]], c[3]});
            };
            for (const auto &c : b.connections) {
                if (b.kind.at(c[0]) != "msg") continue;
                std::string text = b.text[c[0]];
                if (text.find('$') != std::string::npos || text[0] == '\\') continue;
                for (size_t k; (k = text.find(" \\,")) != std::string::npos;)
                    text.replace(k, 3, ",");
                std::vector<Inlet> targets;
                reach(c[2], c[3], targets);
                for (const Inlet &t : targets) sends[t.first].push_back({t.second, text});
            }
        }
        int sent = 0;
        for (const auto &[creation, messages] : sends) {
            pd_host::Patch p;
            const int object = p.obj(creation);
            for (const auto &[inlet, text] : messages) p.send_at(0, object, inlet, text);
            sent += messages.size();
            EXPECT_EQ(complaints(p.run(128).console), std::vector<std::string>{})
                << help << ": " << creation;
        }
        EXPECT_GE(sent, least_sent.at(help.filename().string())) << help;
    }
}

// The lines of the subpatch [pd name] of a patch, from its "#N canvas" line
// to its "#X restore" line.
std::string subpatch(const std::string &patch_text, const std::string &name) {
    std::istringstream in(patch_text);
    std::string out;
    int depth = 0;
    for (std::string line; std::getline(in, line);) {
        const bool opens = line.rfind("#N canvas ", 0) == 0;
        if (depth == 0 && !(opens && line.find(" " + name + " ") != std::string::npos)) continue;
        out += line + "\n";
        depth += opens;
        if (line.rfind("#X restore ", 0) == 0 && --depth == 0) break;
    }
    return out;
}

// The stereo monitor and the headphones of the sorvel~ and kelmor~ helps
// hear each loudspeaker from where the layout messages put it: [pd
// directions] sends loudspeaker k's azimuth to [r $0-az<k>], and every
// monitor takes loudspeaker k's signal with that loudspeaker's azimuth.
TEST(Patches, HelpMonitorsFollowTheLayout) {
    using Heard = std::vector<std::pair<int, float>>;
    struct Case {
        const char *object, *message;
        Heard heard;
    };
    const std::vector<Case> cases = {
        {"sorvel~", "set_nb_hp 4", {{1, 135}, {2, 45}, {3, -45}, {4, -135}}},
        {"sorvel~", "set_nb_hp 3.9", {{1, 150}, {2, 30}, {3, -90}}},
        {"sorvel~", "set_nb_hp 2", {}}, // refused: sorvel~ takes 3 at least
        {"kelmor~", "set_nb_hp 2", {{1, 180}, {2, 0}}},
        {"kelmor~", "set_nb_hp 9", {}}, // more than the example's outlets
        {"kelmor~", "a_setpos 90 45", {{1, 90}, {2, 45}}},
        {"sorvel~", "ra_setpos 1 112.5 -2 67.5", {{1, 112.5}, {2, 247.5}}},
        {"kelmor~", "xy_setpos -0.5 1 0.5 1", {{1, 116.565f}, {2, 63.435f}}},
        {"sorvel~", "ra_setpos 2", {}}, // a distance alone keeps the direction
        {"sorvel~", "set_rc 0.25", {}},
    };
    for (const Case &c : cases) {
        const fs::path help =
            fs::path(RC_SOURCE_DIR) / "help" / (std::string(c.object) + "-help.pd");
        const std::string directions = subpatch(read_file(help), "directions");
        ASSERT_NE(directions, "") << help;
        std::ostringstream patch;
        patch << "#N canvas 0 0 400 300 12;\n"
              << directions << "#X obj 10 10 loadbang;\n#X msg 10 40 " << c.message
              << ";\n#X obj 10 70 s \\$0-layout;\n";
        for (int k = 1; k <= 8; k++)
            patch << "#X obj 10 100 r \\$0-az" << k << ";\n#X obj 10 130 print az" << k << ";\n";
        patch << "#X connect 1 0 2 0;\n#X connect 2 0 3 0;\n";
        for (int k = 0; k < 8; k++)
            patch << "#X connect " << 4 + 2 * k << " 0 " << 5 + 2 * k << " 0;\n";
        const fs::path file =
            fs::path(RC_TEST_TMP) / ("directions-" + std::to_string(getpid()) + ".pd");
        fs::create_directories(RC_TEST_TMP);
        std::ofstream(file) << patch.str();
        const std::string console = open_in_pd(file);
        fs::remove(file);
        Heard heard;
        std::istringstream in(console);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("az", 0) == 0 && line.find(": ") != std::string::npos)
                heard.push_back(
                    {std::stoi(line.substr(2)), std::stof(line.substr(line.find(": ") + 2))});
        ASSERT_EQ(heard.size(), c.heard.size()) << c.object << " " << c.message << "\n" << console;
        for (size_t i = 0; i < heard.size(); i++) {
            EXPECT_EQ(heard[i].first, c.heard[i].first) << c.object << " " << c.message;
            EXPECT_NEAR(heard[i].second, c.heard[i].second, 1e-3) << c.object << " " << c.message;
        }
        EXPECT_EQ(complaints(console), std::vector<std::string>{}) << c.message;
    }
    for (const char *object : {"sorvel~", "kelmor~"}) {
        const fs::path help = fs::path(RC_SOURCE_DIR) / "help" / (std::string(object) + "-help.pd");
        int monitors = 0;
        for (const Boxes &b : canvases(read_file(help))) {
            std::map<std::pair<int, int>, std::string> into; // box, inlet: what feeds it
            for (const auto &c : b.connections) into[{c[2], c[3]}] = b.text.at(c[0]);
            for (int i = 0; i < int(b.text.size()); i++) {
                if (b.text[i].rfind("stereo_monitor~", 0) != 0) continue;
                const std::string signal = into[{i, 0}], azimuth = into[{i, 1}];
                const std::string k = signal.substr(signal.rfind('s') + 1);
                EXPECT_EQ(signal, "r~ \\$0-s" + k) << help;
                EXPECT_EQ(azimuth, "r \\$0-az" + k) << help << ": " << b.text[i];
                monitors++;
            }
        }
        EXPECT_EQ(monitors, 8) << help;
    }
}

// The main example of each help, heard as it loads and alone: [pd listen]'s
// meters show the gains the object gives for the position the help shows.
TEST(Patches, HelpExampleIsHeard) {
    struct Case {
        const char *object, *creation, *position; // as the example shows it
    };
    for (const Case &c :
         {Case{"sorvel~", "sorvel~ 8 p", "1 90"}, Case{"kelmor~", "kelmor~ 8 p", "1 90"},
          Case{"trazin~", "trazin~ s", "1 90 90"}}) {
        const std::string object = c.object;
        const fs::path help = fs::path(RC_SOURCE_DIR) / "help" / (object + "-help.pd");
        const std::string text = read_file(help);
        const int n = int(canvases(text).back().text.size());
        std::ostringstream patch;
        patch << text << "#X obj 10 10 loadbang;\n#X msg 10 40 \\; pd dsp 1;\n"
              << "#X obj 10 70 delay 500;\n#X msg 10 100 \\; pd quit;\n"
              << "#X connect " << n << " 0 " << n + 1 << " 0;\n#X connect " << n << " 0 " << n + 2
              << " 0;\n#X connect " << n + 2 << " 0 " << n + 3 << " 0;\n";
        for (int k = 1; k <= 8; k++)
            patch << "#X obj 10 130 r \\$0-g" << k << ";\n#X obj 10 160 print g" << k
                  << ";\n#X connect " << n + 2 + 2 * k << " 0 " << n + 3 + 2 * k << " 0;\n";
        const fs::path file = fs::path(RC_TEST_TMP) / ("heard-" + std::to_string(getpid()) + ".pd");
        fs::create_directories(RC_TEST_TMP);
        std::ofstream(file) << patch.str();
        const std::string console = open_in_pd(file, false);
        fs::remove(file);
        std::map<int, float> shown; // the last value of each meter
        std::istringstream in(console);
        for (std::string line; std::getline(in, line);)
            if (line.size() > 4 && line[0] == 'g' && line.find(": ") != std::string::npos)
                shown[std::stoi(line.substr(1))] = std::stof(line.substr(line.find(": ") + 2));

        pd_host::Patch p;
        const int one = p.obj("sig~ 1"), pan = p.obj(c.creation);
        p.connect(one, 0, pan, 0);
        p.send_at(0, pan, 0, c.position);
        for (int k = 0; k < 8; k++) p.record(pan, k, std::to_string(k));
        const pd_host::Result r = p.run(64 * 100);
        ASSERT_EQ(shown.size(), 8u) << object << "\n" << console;
        // env~ windows of a noise source: within a percent or so.
        for (int k = 0; k < 8; k++)
            EXPECT_NEAR(shown[k + 1], r.signals.at(std::to_string(k)).back(), 0.02)
                << object << " loudspeaker " << k + 1;
    }
}

} // namespace
