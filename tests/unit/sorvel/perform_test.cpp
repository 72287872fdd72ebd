// sorvel~ signal-rate routine: the same law per sample as the control path,
// polar positions through the table, the muted glide, in-place safety and
// silence for positions that are not positions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "glide.hpp"
#include "cosine_table.hpp"
#include "sorvel_record.hpp"

namespace {

struct Outlets {
    std::vector<std::vector<float>> out;
    std::vector<t_sample *> pointers;
};

// Runs the signal routine over constant or given signals; `shared` makes
// outlet `shared` use the memory of input `from` (0 source, 1 and 2 positions).
Outlets jouer(t_sorvel_tilde *x, std::vector<float> s, std::vector<float> a, std::vector<float> b,
              int shared = -1, int from = 0) {
    const size_t n = s.size();
    Outlets r{std::vector<std::vector<float>>(x->nb_sorties, std::vector<float>(n, 7.0f)), {}};
    for (auto &o : r.out) r.pointers.push_back(o.data());
    std::vector<float> *inputs[] = {&s, &a, &b};
    if (shared >= 0) r.pointers[shared] = inputs[from]->data();
    std::vector<t_int> w(6 + x->nb_sorties);
    w[1] = reinterpret_cast<t_int>(x);
    w[2] = reinterpret_cast<t_int>(s.data());
    w[3] = reinterpret_cast<t_int>(a.data());
    w[4] = reinterpret_cast<t_int>(b.data());
    for (int j = 0; j < x->nb_sorties; j++) w[5 + j] = reinterpret_cast<t_int>(r.pointers[j]);
    w[5 + x->nb_sorties] = static_cast<t_int>(n);
    EXPECT_EQ(sorvel_tilde_perform_signal(w.data()), w.data() + 6 + x->nb_sorties);
    if (shared >= 0) r.out[shared] = *inputs[from];
    return r;
}

std::vector<float> constant(float v, size_t n = 64) {
    return std::vector<float>(n, v);
}

TEST(SorvelSignal, ConstantCartesianPositionsGiveTheControlTargets) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coord(-3, 3);
    for (int essai = 0; essai < 300; essai++) {
        auto s = sorvel(3 + essai % 14, 1, 0, 0.5f);
        const float px = coord(random), py = coord(random);
        std::vector<float> expected = cibles(&s->x, px, py);
        Outlets r = jouer(&s->x, constant(0.5f), constant(px), constant(py));
        for (int j = 0; j < s->x.nb_sorties; j++)
            for (float v : r.out[j])
                ASSERT_NEAR(v, 0.5f * expected[j], 1e-6 * std::max(1.0f, std::fabs(expected[j])))
                    << px << " " << py;
    }
}

TEST(SorvelSignal, PolarPositionsThroughTheTable) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> dist(-3, 3), angle(-720, 720);
    for (int essai = 0; essai < 300; essai++) {
        auto s = sorvel(3 + essai % 14, 0, 0, 0.5f);
        const float d = dist(random), a = angle(random);
        Outlets r = jouer(&s->x, constant(1.0f), constant(d), constant(a));
        // The table truncates the position to steps of 360/4096 of a degree.
        const float t = std::trunc(a * 4096 / 360) * 360 / 4096;
        std::vector<float> expected =
            cibles(&s->x, d * std::cos(t * M_PI / 180), d * std::sin(t * M_PI / 180));
        for (int j = 0; j < s->x.nb_sorties; j++)
            EXPECT_NEAR(r.out[j][0], expected[j], 3e-3 / std::fabs(d));
    }
    auto s = sorvel(4, 0, 0);
    // Angle 0: k = 0; -0.05 degrees truncates to 0 as well; -0.1 to 4095.
    EXPECT_EQ(jouer(&s->x, constant(1), constant(2), constant(0)).out[1],
              jouer(&s->x, constant(1), constant(2), constant(-0.05f)).out[1]);
    EXPECT_NE(jouer(&s->x, constant(1), constant(2), constant(0)).out[2],
              jouer(&s->x, constant(1), constant(2), constant(-0.1f)).out[2]);
    // A negative distance is the positive one half a turn away (to the
    // rounding of the table entries half a period apart).
    const Outlets negatif = jouer(&s->x, constant(1), constant(-1.5f), constant(30));
    const Outlets oppose = jouer(&s->x, constant(1), constant(1.5f), constant(210));
    for (int j = 0; j < 4; j++) EXPECT_NEAR(negatif.out[j][0], oppose.out[j][0], 1e-6);
}

TEST(SorvelSignal, AtTheCentreEveryLoudspeakerPlaysItsSpread) {
    for (int repere : {0, 1}) {
        auto s = sorvel(5, repere, 0);
        Outlets r = jouer(&s->x, constant(0.5f), constant(0), constant(repere ? 0 : 77));
        for (int j = 0; j < 5; j++) EXPECT_FLOAT_EQ(r.out[j][10], 0.5f * s->x.gain_centre[j]);
    }
}

TEST(SorvelSignal, MutedItPlaysTheGlide) {
    auto s = sorvel(6, 1, 0, 0.5f, 100);
    sorvel_tilde_initialiser_nb_hp(&s->x, 4);
    sorvel_tilde_muter_entrees_signal(&s->x, 1);
    std::mt19937 random(9);
    std::uniform_real_distribution<float> any(-5, 5);
    std::vector<float> a(64), b(64);
    for (size_t i = 0; i < 64; i++) a[i] = any(random), b[i] = any(random);
    Outlets r = jouer(&s->x, constant(1), a, b);
    for (int j = 0; j < 4; j++) EXPECT_FLOAT_EQ(r.out[j][0], s->x.gain_pas[j]);
    for (int j = 4; j < 6; j++) EXPECT_EQ(r.out[j], constant(0));
    // Unmuted, the signals drive the gains again at once; inactive stay silent.
    sorvel_tilde_muter_entrees_signal(&s->x, 0);
    r = jouer(&s->x, constant(1), constant(0), constant(1));
    EXPECT_FLOAT_EQ(r.out[0][0], 0.5f);
    for (int j = 4; j < 6; j++) EXPECT_EQ(r.out[j], constant(0));
}

TEST(SorvelSignal, OutputsSharingAnInputGiveTheSameSamples) {
    std::mt19937 random(13);
    std::uniform_real_distribution<float> any(-2, 2);
    for (int repere : {0, 1}) {
        auto s = sorvel(8, repere, 0);
        std::vector<float> src(300), a(300), b(300);
        for (size_t i = 0; i < 300; i++)
            src[i] = any(random), a[i] = any(random), b[i] = 100 * any(random);
        const Outlets apart = jouer(&s->x, src, a, b);
        for (int from = 0; from < 3; from++)
            for (int shared : {0, 3, 7})
                EXPECT_EQ(jouer(&s->x, src, a, b, shared, from).out, apart.out);
    }
}

TEST(SorvelSignal, PositionsThatAreNotPositionsAreSilent) {
    for (int repere : {0, 1}) {
        auto s = sorvel(4, repere, 0);
        for (float bad : {NAN, INFINITY, -INFINITY, 3e38f}) {
            for (int which : {0, 1}) {
                Outlets r = jouer(&s->x, constant(1), constant(which == 0 ? bad : 1.0f),
                                  constant(which == 1 ? bad : 45.0f));
                for (auto &o : r.out)
                    for (float v : o) EXPECT_TRUE(std::isfinite(v)) << bad;
            }
            Outlets r = jouer(&s->x, constant(1), constant(bad), constant(bad));
            for (auto &o : r.out) EXPECT_EQ(o, constant(0));
        }
        // Huge but finite angles stay in the table.
        Outlets r = jouer(&s->x, constant(1), constant(1), constant(-3e38f));
        for (auto &o : r.out) EXPECT_TRUE(std::isfinite(o[0]));
    }
}

} // namespace

namespace {

// The law evaluated sample by sample, as plainly as it reads: the oracle of
// the signal routine.
std::vector<std::vector<float>> plainement(t_sorvel_tilde *x, const std::vector<float> &s,
                                           const std::vector<float> &a,
                                           const std::vector<float> &b) {
    std::vector<std::vector<float>> out(x->nb_sorties, std::vector<float>(s.size(), 0.0f));
    for (size_t i = 0; i < s.size(); i++) {
        float gains[16] = {};
        float px = a[i], py = b[i], d, teta;
        bool sonore = true;
        if (x->type_repere == 1) {
            sorvel_tilde_direction(px, py, &d, &teta);
        } else if (!std::isfinite(b[i])) {
            sonore = false;
        } else {
            const int k = indice_angle(b[i]);
            px = a[i] * x->table_cos[k];
            py = a[i] * x->table_cos[indice_sinus(k)];
            d = a[i];
            teta = sorvel_tilde_radians(b[i]);
            if (d < 0) {
                d = -d;
                teta = teta < 3.1415927f ? teta + 3.1415927f : teta - 3.1415927f;
            }
        }
        if (sonore) calculer_gains_paire(x, px, py, d, teta, gains);
        for (int j = 0; j < x->nb_hp; j++) out[j][i] = s[i] * gains[j];
    }
    return out;
}

// Layouts placed by each message, with loudspeakers at equal angles, at the
// centre, at negative distances, pairs on one line through the centre, and
// edges where the arc cosine that places a source is least precise.
void placer(t_sorvel_tilde *x, int cas, std::mt19937 &random) {
    std::uniform_real_distribution<float> unit(0, 1), any(-1, 1);
    const int n = x->nb_hp;
    std::vector<t_atom> atoms;
    if (cas == 1) { // by angle, some equal
        for (int j = 0; j < n; j++)
            atoms.push_back(nombre(j % 3 == 2 ? atom_getfloat(&atoms[j - 1]) : 360 * unit(random)));
        sorvel_tilde_teta_positionner_hp(x, nullptr, n, atoms.data());
    } else if (cas == 2) { // by distance and angle: some negative, one at the centre
        for (int j = 0; j < n; j++) {
            const float d = j == 1 ? 0 : (unit(random) < 0.3f ? -1 : 1) * (0.5f + unit(random));
            atoms.push_back(nombre(d));
            atoms.push_back(nombre(j * 360.0f / n + 5 * any(random)));
        }
        sorvel_tilde_dist_teta_positionner_hp(x, nullptr, 2 * n, atoms.data());
    } else if (cas == 3) { // by x and y, anywhere
        for (int j = 0; j < 2 * n; j++) atoms.push_back(nombre(2 * any(random)));
        sorvel_tilde_xy_positionner_hp(x, nullptr, 2 * n, atoms.data());
    } else if (cas == 4) { // opposite neighbours, and a sector wider than half a turn
        atoms = nombres({1, 0, 1, 180, 1, 90, 2, 100});
        sorvel_tilde_dist_teta_positionner_hp(x, nullptr, 8, atoms.data());
    } else if (cas == 5) { // on and a hair off the axes, one a hair below a whole turn
        const float pres[] = {0, 359.99997f, 180, 179.9999f, 0.0001f, 90, 270.0001f, 180.0001f};
        for (int j = 0; j < n; j++) atoms.push_back(nombre(pres[j % 8] + 40 * (j / 8)));
        sorvel_tilde_teta_positionner_hp(x, nullptr, n, atoms.data());
    }
}

// Position signals over a block, as (x, y) or (distance, degrees).
using Mouvement = std::function<void(t_sorvel_tilde *, size_t, std::mt19937 &, float *, float *)>;

void ecrire(const t_sorvel_tilde *x, float r, float t, float *a, float *b) {
    if (x->type_repere == 1) {
        *a = r * std::cos(t);
        *b = r * std::sin(t);
    } else {
        *a = r;
        *b = t * 180 / 3.1415927f;
    }
}

const std::vector<std::pair<const char *, Mouvement>> mouvements = {
    {"circling", [](t_sorvel_tilde *x, size_t i, std::mt19937 &, float *a,
                    float *b) { ecrire(x, 1.3f, 0.05f * i, a, b); }},
    {"jumping",
     [](t_sorvel_tilde *x, size_t, std::mt19937 &r, float *a, float *b) {
         std::uniform_real_distribution<float> any(-2, 2);
         *a = any(r);
         *b = x->type_repere == 1 ? any(r) : 360 * any(r);
     }},
    {"crossing the disc", [](t_sorvel_tilde *x, size_t i, std::mt19937 &, float *a,
                             float *b) { ecrire(x, -1 + 0.01f * i, 0.7f, a, b); }},
    {"at the centre", [](t_sorvel_tilde *x, size_t i, std::mt19937 &, float *a,
                         float *b) { ecrire(x, 0, i, a, b); }},
    {"on and beside edges",
     [](t_sorvel_tilde *x, size_t i, std::mt19937 &r, float *a, float *b) {
         std::uniform_real_distribution<float> any(-1, 1);
         const float t = x->hp_teta[r() % x->nb_hp] + std::pow(10.0f, -1.0f - i % 7) * any(r);
         ecrire(x, 0.2f + 2 * std::fabs(any(r)), t, a, b);
         if (i % 5 == 0) *b = x->type_repere == 1 ? -0.0f * *b : *b; // on the x axis
     }},
    {"wrapped and huge angles",
     [](t_sorvel_tilde *x, size_t i, std::mt19937 &r, float *a, float *b) {
         std::uniform_real_distribution<float> any(-1, 1);
         ecrire(x, 2 * any(r), 7 * any(r), a, b);
         const float tours[] = {0, 1, -1, 2, -3, 1000, -1e5f, 4e4f};
         if (x->type_repere == 0) *b += 360 * tours[i % 8];
         if (x->type_repere == 0 && i % 9 == 0) *b = i % 2 ? 3e7f * any(r) : 1e30f * any(r);
     }},
    {"not positions",
     [](t_sorvel_tilde *, size_t i, std::mt19937 &, float *a, float *b) {
         const float bad[] = {NAN, INFINITY, -INFINITY, 1e18f, 3e38f, 1, -1e19f};
         *a = bad[i % 7];
         *b = bad[(i / 7) % 7];
     }},
};

// Every layout, motion and block size, in both coordinate systems, one
// outlet sharing an input's memory in half the tries: the routine against
// the plain law, within a millionth of the gains (relative above 1).
TEST(SorvelSignal, FollowsThePlainLawWhereverTheSourceGoes) {
    std::mt19937 random(21);
    std::uniform_real_distribution<float> any(-1, 1);
    int essai = 0;
    for (int placement = 0; placement < 6; placement++)
        for (const auto &[nom, mouvement] : mouvements)
            for (size_t longueur : {1, 2, 3, 64, 100, 300})
                for (int repere : {0, 1}) {
                    const int n = placement == 4 ? 4 : 3 + essai++ % 14;
                    auto s = sorvel(n, repere, 0, 0.1f + 2 * std::fabs(any(random)));
                    t_sorvel_tilde *x = &s->x;
                    placer(x, placement, random);
                    std::vector<float> src(longueur), a(longueur), b(longueur);
                    for (size_t i = 0; i < longueur; i++) {
                        src[i] = any(random);
                        mouvement(x, i, random, &a[i], &b[i]);
                    }
                    const auto expected = plainement(x, src, a, b);
                    const int shared = random() % (2 * n) - n, from = random() % 3;
                    const Outlets got = jouer(x, src, a, b, shared, from);
                    for (int j = 0; j < n; j++)
                        for (size_t i = 0; i < longueur; i++)
                            ASSERT_NEAR(got.out[j][i], expected[j][i],
                                        1e-6 * std::max(1.0f, std::fabs(expected[j][i])))
                                << nom << ", layout " << placement << ", " << n
                                << " loudspeakers, loudspeaker " << j << ", sample " << i << " of "
                                << longueur << " at " << a[i] << ", " << b[i];
                }
}

} // namespace
