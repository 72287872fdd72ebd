// Non-finite and huge values from the patch, in the real Pd: a number like
// 1e+39 in a box is infinity there, and infinity less infinity (through
// [- 1e+39] or [+~]) is NaN. Positions sent as signals that are not finite
// silence their samples; messages carrying them change nothing at all;
// huge but finite values keep every outlet finite, without hanging Pd.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace {

using Signal = std::vector<float>;

constexpr int BLOC = 128;

struct Cas {
    std::string object; // class and arguments
    int outlets;
    int coordinates;
};

const Cas SIGNAL_CASES[] = {
    {"sorvel~ 8 c s", 8, 2}, {"sorvel~ 8 p s", 8, 2}, {"kelmor~ 8 c s", 8, 2},
    {"kelmor~ 8 p s", 8, 2}, {"trazin~ c s", 8, 3},   {"trazin~ p s", 8, 3},
    {"trazin~ s s", 8, 3},
};

// One value of a position signal, as two [sig~] summed by [+~], so that a
// sum of two infinities of opposite signs can make a NaN.
struct Valeur {
    const char *a;
    const char *b;
};
const Valeur FINI = {"0.7", "0"};
const Valeur INFINI = {"1e+39", "0"};
const Valeur MOINS_INFINI = {"-1e+39", "0"};
const Valeur NAN_ = {"1e+39", "-1e+39"};
const Valeur ENORME = {"1e+30", "0"};
const Valeur TOURS = {"1e+09", "0"}; // as an angle: millions of turns

// Builds the patch; the value of each coordinate changes every BLOC samples
// as plan[step][coordinate] says, and every outlet is recorded.
pd_host::Result jouer(const Cas &c, const std::vector<std::vector<Valeur>> &plan) {
    pd_host::Patch p;
    const int pan = p.gains(c.object, c.outlets);
    for (int k = 0; k < c.coordinates; k++) {
        const int a = p.obj("sig~"), b = p.obj("sig~"), somme = p.obj("+~");
        p.connect(a, 0, somme, 0);
        p.connect(b, 0, somme, 1);
        p.connect(somme, 0, pan, 1 + k);
        for (size_t step = 0; step < plan.size(); step++) {
            p.send_at(static_cast<long>(step) * BLOC, a, 0, plan[step][k].a);
            p.send_at(static_cast<long>(step) * BLOC, b, 0, plan[step][k].b);
        }
    }
    return p.run(static_cast<long>(plan.size()) * BLOC);
}

bool fini(const Valeur &v) {
    return &v != &INFINI && &v != &MOINS_INFINI && &v != &NAN_;
}

// Every step of the plan: silent where a coordinate is not finite, finite
// elsewhere. Steps are whole blocks, and [+~] adds its inlets in the same
// block, so a step's samples all carry its values.
void verifier(const Cas &c, const std::vector<std::vector<const Valeur *>> &plan) {
    std::vector<std::vector<Valeur>> valeurs;
    for (const auto &step : plan) {
        valeurs.emplace_back();
        for (const Valeur *v : step) valeurs.back().push_back(*v);
    }
    const pd_host::Result r = jouer(c, valeurs);
    ASSERT_EQ(r.exit_status, 0) << c.object << "\n" << r.console;
    for (int j = 0; j < c.outlets; j++) {
        const Signal &hp = r.signals.at("hp" + std::to_string(j));
        ASSERT_EQ(hp.size(), plan.size() * BLOC) << c.object;
        for (size_t step = 0; step < plan.size(); step++) {
            bool silence = false;
            for (const Valeur *v : plan[step]) silence = silence || !fini(*v);
            for (int i = 0; i < BLOC; i++) {
                const float s = hp[step * BLOC + i];
                if (silence)
                    ASSERT_EQ(s, 0.0f) << c.object << " outlet " << j << " step " << step;
                else
                    ASSERT_TRUE(std::isfinite(s))
                        << c.object << " outlet " << j << " step " << step;
            }
        }
    }
}

// First coordinate (x or distance) bad, then each other one, then huge but
// finite values; finite steps between them show that sound comes back.
std::vector<std::vector<const Valeur *>> plan_pour(int coordinates) {
    std::vector<std::vector<const Valeur *>> plan;
    const Valeur *mauvaises[] = {&INFINI, &NAN_, &MOINS_INFINI};
    const std::vector<const Valeur *> fin(coordinates, &FINI);
    plan.push_back(fin);
    for (int k = 0; k < coordinates; k++) {
        for (const Valeur *v : mauvaises) {
            std::vector<const Valeur *> step = fin;
            step[k] = v;
            plan.push_back(step);
        }
        plan.push_back(fin);
    }
    plan.push_back(std::vector<const Valeur *>(coordinates, &ENORME));
    plan.push_back(std::vector<const Valeur *>(coordinates, &TOURS));
    plan.push_back(fin);
    return plan;
}

TEST(ReliabilityHost, NonFinitePositionSignalsAreSilent) {
    for (const Cas &c : SIGNAL_CASES) verifier(c, plan_pour(c.coordinates));
}

// Messages with infinite or NaN values, sent once the glide has settled:
// none of them may move a gain, so every outlet keeps its value to the end.
struct CasMessages {
    std::string object;
    int outlets;
    int float_inlets; // position inlets after the first
    std::vector<std::string> messages;
};

const std::vector<std::string> POSITIONS = {
    "x 1e+39", "y 1e+39", "y -1e+39", "1e+39", "list 1e+39 1", "list 1 1e+39", "list -1e+39",
};

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ReliabilityHost, NonFiniteMessagesChangeNothing) {
    // Every value of a layout message not finite: each is absent, so every
    // loudspeaker keeps its place.
    const std::vector<std::string> disposition = {
        "a_setpos 1e+39 -1e+39 1e+39", "ra_setpos 1e+39 1e+39 -1e+39 1e+39",
        "xy_setpos 1e+39 1e+39 -1e+39 1e+39", "set_nb_hp 1e+39", "set_nb_hp -1e+39"};
    const CasMessages cases[] = {
        {"sorvel~ 8 c c 0.5 5", 8, 2, plus(plus(POSITIONS, disposition), {"set_rc 1e+39"})},
        {"sorvel~ 8 p c 0.5 5", 8, 2, plus(plus(POSITIONS, disposition), {"set_rc 1e+39"})},
        {"kelmor~ 8 c c 0.3 5", 8, 2, plus(plus(POSITIONS, disposition), {"set_offset 1e+39"})},
        {"kelmor~ 8 p c 0.3 5", 8, 2, plus(plus(POSITIONS, disposition), {"set_offset 1e+39"})},
        {"trazin~ c c 0.3 5", 8, 3,
         plus(POSITIONS, {"z 1e+39", "list 1 1 1e+39", "set_offset 1e+39"})},
        {"trazin~ p c 0.3 5", 8, 3,
         plus(POSITIONS, {"z -1e+39", "list 1 1 1e+39", "set_offset 1e+39"})},
        {"trazin~ s c 0.3 5", 8, 3,
         plus(POSITIONS, {"z 1e+39", "list 1 1 1e+39", "set_offset 1e+39"})},
    };
    for (const CasMessages &c : cases) {
        pd_host::Patch p;
        const int pan = p.gains(c.object, c.outlets);
        // Somewhere off the axes first, so that every gain differs.
        p.send_at(0, pan, 0, "list 0.6 0.3");
        if (c.float_inlets == 3) p.send_at(0, pan, 3, "0.2");
        long t = 1024;
        for (const std::string &m : c.messages) p.send_at(t += 64, pan, 0, m);
        // NaN floats at every inlet: 1e+39 less 1e+39.
        for (int inlet = 0; inlet <= c.float_inlets; inlet++) {
            const int nan = p.obj("- 1e+39");
            p.connect(nan, 0, pan, inlet);
            p.send_at(t += 64, nan, 0, "1e+39");
        }
        const long fin = t + 256;
        const pd_host::Result r = p.run(fin);
        ASSERT_EQ(r.exit_status, 0) << c.object << "\n" << r.console;
        for (int j = 0; j < c.outlets; j++) {
            const Signal &hp = r.signals.at("hp" + std::to_string(j));
            ASSERT_EQ(hp.size(), static_cast<size_t>(fin));
            const float stable = hp[1023];
            ASSERT_TRUE(std::isfinite(stable));
            for (long i = 1024; i < fin; i++)
                ASSERT_EQ(hp[i], stable) << c.object << " outlet " << j << " sample " << i;
        }
    }
}

// Huge but finite values: every outlet finite, and Pd finishes the run.
TEST(ReliabilityHost, HugeFiniteMessagesKeepOutletsFinite) {
    const std::string huge[] = {"x 3e+38", "y 3e+38",  "list -3e+38 3e+38", "y 1e+30",
                                "x 1e-38", "y -1e-45", "list 1e-30 1e-30",  "y 2e+09"};
    for (const std::string object :
         {"sorvel~ 8 p c 0.5 1", "kelmor~ 8 p c 0.3 1", "trazin~ s c 0.3 1",
          "sorvel~ 8 c c 3e+38 1", "kelmor~ 8 c c 3e+38 1", "trazin~ c c 1e-06 1"}) {
        pd_host::Patch p;
        const int pan = p.gains(object, 8);
        long t = 0;
        for (const std::string &m : huge) p.send_at(t += 64, pan, 0, m);
        p.send_at(t += 64, pan, 0, "ra_setpos 3e+38 1e+30 -3e+38 2e+09");
        p.send_at(t += 64, pan, 0, "xy_setpos 3e+38 3e+38 1e-45 0");
        p.send_at(t += 64, pan, 0, "set_offset 3e+38");
        p.send_at(t += 64, pan, 0, "set_rc 3e+38");
        p.send_at(t += 64, pan, 0, "x 1");
        const pd_host::Result r = p.run(t + 128);
        ASSERT_EQ(r.exit_status, 0) << object << "\n" << r.console;
        for (int j = 0; j < 8; j++)
            for (float s : r.signals.at("hp" + std::to_string(j)))
                ASSERT_TRUE(std::isfinite(s)) << object << " outlet " << j;
    }
}

} // namespace
