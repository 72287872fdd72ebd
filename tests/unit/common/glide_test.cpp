// The gain glide against the per-sample rule as users hear it: linear, landing
// exactly on the target, restartable, silent on inactive outputs, in place.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "glide.hpp"
#include "instance_pd.hpp"

namespace {

struct Record {
    int nb_sorties;
    int nb_hp;
    int temps_interp;
    float gain_courant[16];
    float gain_pas[16];
    float gain_cible[16];
};

// The rule sample by sample, loudspeaker by loudspeaker, as written; a step
// too small to move the gain lands it on its target.
void reference(Record &x, const std::vector<float> &in, std::vector<std::vector<float>> &out) {
    for (size_t i = 0; i < in.size(); i++) {
        const float s = in[i];
        for (int j = 0; j < x.nb_hp; j++) {
            float &g = x.gain_courant[j];
            const float t = x.gain_cible[j], d = x.gain_pas[j];
            if (g != t) g = std::fabs(t - g) > std::fabs(d) && g + d != g ? g + d : t;
            out[j][i] = g * s;
        }
    }
    for (int j = x.nb_hp; j < x.nb_sorties; j++)
        for (float &v : out[j]) v = 0.0f;
}

// One block through the control routine as the host runs it; `partage`: the
// output given the input's memory, or -1.
test::Signaux jouer(Record &x, const std::vector<float> &in, int partage = -1) {
    std::vector<int> p(x.nb_sorties, -1);
    if (partage >= 0) p[partage] = 0;
    return test::jouer(perform_controle<Record>, &x, {in}, x.nb_sorties, p);
}

Record fresh(int outlets, int active, int temps) {
    Record x{};
    x.nb_sorties = outlets;
    x.nb_hp = active;
    x.temps_interp = temps;
    return x;
}

TEST(Glide, LandsExactlyOnTargetAfterTempsInterpSamples) {
    Record x = fresh(3, 3, 100);
    x.gain_cible[0] = 0.7f;
    x.gain_cible[1] = -0.3f;
    x.gain_cible[2] = 1.0f / 3.0f;
    lancer_interp(&x);
    std::vector<float> in(150, 1.0f);
    const test::Signaux b = jouer(x, in);
    for (int j = 0; j < 3; j++) {
        const float target = x.gain_cible[j];
        // The first sample already carries one step: no sample of delay.
        EXPECT_FLOAT_EQ(b[j][0], target / 100.0f);
        // Linear, never past the target, and exactly on it from the end of
        // the glide (one sample later when rounding leaves a sliver).
        for (int i = 1; i < 98; i++) EXPECT_LT(std::fabs(b[j][i]), std::fabs(target));
        for (int i = 100; i < 150; i++) EXPECT_EQ(b[j][i], target);
        EXPECT_EQ(x.gain_courant[j], target);
    }
}

// A silent source still moves the gain along; a new target mid-glide
// starts from where the gain stands.
TEST(Glide, NewTargetMidGlideRestartsFromThePresentGain) {
    Record x = fresh(3, 3, 64);
    x.gain_cible[0] = 1.0f;
    lancer_interp(&x);
    std::vector<float> silence(32, 0.0f);
    const test::Signaux first = jouer(x, silence);
    for (float v : first[0]) EXPECT_EQ(v, 0.0f);
    const float halfway = x.gain_courant[0];
    EXPECT_NEAR(halfway, 0.5f, 1e-6);

    x.gain_cible[0] = 0.0f;
    lancer_interp(&x);
    std::vector<float> longer(80, 1.0f);
    const test::Signaux second = jouer(x, longer);
    // No jump at the boundary: one step down from where it stood.
    EXPECT_NEAR(second[0][0], halfway - halfway / 64.0f, 1e-6);
    EXPECT_GT(second[0][62], 0.0f);
    EXPECT_EQ(second[0][64], 0.0f);
}

TEST(Glide, OneSampleGlideAndZeroStep) {
    Record x = fresh(3, 3, 1);
    x.gain_courant[1] = 0.25f;
    x.gain_cible[0] = 0.8f;
    x.gain_cible[1] = 0.25f; // already there: zero step, the gain holds
    lancer_interp(&x);
    EXPECT_EQ(x.gain_pas[1], 0.0f);
    std::vector<float> in = {2.0f, -1.0f, 0.5f};
    const test::Signaux b = jouer(x, in);
    EXPECT_EQ(b[0], (std::vector<float>{1.6f, -0.8f, 0.4f}));
    EXPECT_EQ(b[1], (std::vector<float>{0.5f, -0.25f, 0.125f}));
    EXPECT_EQ(b[2], (std::vector<float>{0.0f, 0.0f, 0.0f}));
}

TEST(Glide, InactiveOutputsAreSilentAndFrozen) {
    Record x = fresh(6, 3, 10);
    for (int j = 0; j < 6; j++) x.gain_cible[j] = 0.5f;
    lancer_interp(&x);
    EXPECT_EQ(x.gain_pas[4], 0.0f); // beyond nb_hp: no fresh step
    std::vector<float> in(64, 1.0f);
    const test::Signaux b = jouer(x, in);
    for (int j = 3; j < 6; j++) {
        for (float v : b[j]) EXPECT_EQ(v, 0.0f);
        EXPECT_EQ(x.gain_courant[j], 0.0f);
    }
    EXPECT_EQ(b[2][63], 0.5f);
}

// Random glides for 1 to 16 loudspeakers, with targets changing every few
// blocks of every size Pd gives and a few others, against the rule as
// written; out of place, and with the first or the last output sharing the
// input's memory. Now and then a gain or a target is written directly,
// without a new glide.
TEST(Glide, MatchesTheRuleAcrossBlocksAndInPlace) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> gain(-1.0f, 1.0f);
    const size_t sizes[] = {64, 1, 2, 4, 7, 8, 9, 1000, 100, 16, 3};
    for (int active : {1, 3, 8, 9, 13, 16})
        for (int shared : {-1, 0, active - 1}) {
            Record fast = fresh(16, active, 300), slow = fresh(16, active, 300);
            for (int block = 0; block < 40; block++) {
                const size_t n = sizes[block % 11];
                if (block % 3 == 0) {
                    for (int j = 0; j < 16; j++)
                        fast.gain_cible[j] = slow.gain_cible[j] = gain(random);
                    lancer_interp(&fast);
                    lancer_interp(&slow);
                } else if (block % 5 == 1) {
                    fast.gain_courant[0] = slow.gain_courant[0] = gain(random);
                    fast.gain_cible[active - 1] = slow.gain_cible[active - 1] = gain(random);
                }
                std::vector<float> in(n);
                for (float &v : in) v = gain(random);
                std::vector<std::vector<float>> expected(16, std::vector<float>(n));
                reference(slow, in, expected);

                const test::Signaux b = jouer(fast, in, shared);
                for (int j = 0; j < 16; j++)
                    ASSERT_EQ(b[j], expected[j]) << active << " active, output " << j;
                for (int j = 0; j < 16; j++) ASSERT_EQ(fast.gain_courant[j], slow.gain_courant[j]);
            }
        }
}

// A step below half a unit in the last place of its gain cannot move it:
// the gain lands on its target at once instead of standing a hair off it for
// good.
TEST(Glide, AStepTooSmallToMoveTheGainLandsOnTheTarget) {
    Record x = fresh(1, 1, 5000);
    x.gain_courant[0] = 0.49147674f;
    x.gain_cible[0] = std::nextafter(0.49147674f, 1.0f);
    lancer_interp(&x);
    ASSERT_EQ(x.gain_courant[0] + x.gain_pas[0], x.gain_courant[0]);
    std::vector<float> in(3, 1.0f);
    const test::Signaux b = jouer(x, in);
    EXPECT_EQ(b[0][0], x.gain_cible[0]);
    EXPECT_EQ(x.gain_courant[0], x.gain_cible[0]);
}

// Glides chosen where float sums are delicate: steps that round to a tie,
// gains crossing binades and zero, steps too small to move the gain, steps
// of zero, huge and subnormal values. Each must match the rule sample for
// sample, whatever shortcut the routine takes.
TEST(Glide, MatchesTheRuleWhereRoundingIsDelicate) {
    struct Case {
        float from, to;
        int temps;
    };
    std::vector<Case> cases = {{0, 0.5f, 441},
                               {0.5f, 0, 441},
                               {-0.3f, 0.3f, 441},
                               {0.3f, -0.3f, 1000},
                               {0.25f, 0.5f, 64},
                               {0.5f, 0.25f, 64},
                               {1, 1 + 0x1p-20f, 3},
                               {1, 1 + 0x1p-23f, 1000},
                               {1, 2, 3},
                               {0x1p-126f, 1, 500},
                               {1e-40f, 1e-38f, 7},
                               {-1e-39f, 1e-39f, 100},
                               {1e30f, -1e30f, 999},
                               {3e38f, -3e38f, 2000},
                               {0.7f, 0.7f, 10},
                               {0.1f, 0.9f, 1},
                               {1, 1 + 0x1p-22f, 1},
                               {0.5f, 0.5f + 0x1p-24f, 2},
                               // Stuck once it climbs into the next binade, after 64 samples.
                               {0.25f - 0x1p-20f, 1, 1 << 26}};
    // Steps of exactly one and a half spacings of the gain's binade: a tie.
    for (float g : {0.75f, 1.5f, 3.0f}) cases.push_back({g, g + 300 * 1.5f * (g * 0x1p-23f), 300});
    std::mt19937 random(17);
    std::uniform_real_distribution<float> any(-2, 2);
    std::uniform_int_distribution<int> length(1, 5000);
    for (int i = 0; i < 300; i++) cases.push_back({any(random), any(random), length(random)});

    for (const Case &c : cases) {
        Record fast = fresh(3, 3, c.temps), slow = fresh(3, 3, c.temps);
        fast.gain_courant[0] = slow.gain_courant[0] = c.from;
        fast.gain_cible[0] = slow.gain_cible[0] = c.to;
        lancer_interp(&fast);
        lancer_interp(&slow);
        // Also a step the launch never gives: zero, with the gain off target.
        fast.gain_courant[1] = slow.gain_courant[1] = c.from;
        fast.gain_cible[1] = slow.gain_cible[1] = c.to;
        std::vector<float> in(std::min(c.temps + 200, 6000), 1.0f);
        std::vector<std::vector<float>> expected(3, std::vector<float>(in.size()));
        reference(slow, in, expected);
        test::Signaux b(3);
        for (size_t start = 0; start < in.size(); start += 64) {
            const size_t fin = std::min(start + 64, in.size());
            const test::Signaux bloc =
                jouer(fast, std::vector<float>(in.begin() + start, in.begin() + fin));
            for (int j = 0; j < 3; j++) b[j].insert(b[j].end(), bloc[j].begin(), bloc[j].end());
        }
        for (int j = 0; j < 2; j++)
            for (size_t i = 0; i < in.size(); i++)
                ASSERT_EQ(b[j][i], expected[j][i])
                    << "from " << c.from << " to " << c.to << " in " << c.temps << ", sample " << i;
    }
}

// Every test above runs the control routine through its argument words; an
// empty block writes nothing.
TEST(Glide, EmptyBlock) {
    Record x = fresh(3, 3, 1);
    x.gain_cible[2] = 2.0f;
    lancer_interp(&x);
    EXPECT_EQ(jouer(x, {}), test::Signaux(3));
    EXPECT_EQ(jouer(x, {1.0f, 2.0f})[2], (std::vector<float>{2.0f, 4.0f}));
}

} // namespace
