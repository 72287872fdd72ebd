// sorvel~ signal-rate routine: the same law per sample as the control path,
// polar positions through the table, the muted glide, in-place safety and
// silence for positions that are not positions.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "glide.hpp"
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
            for (float v : r.out[j]) ASSERT_EQ(v, 0.5f * expected[j]) << px << " " << py;
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

// The law evaluated sample by sample, as plainly as it reads.
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

// Random layouts (rings, placed by angle, by distance and angle with some
// negative distances, by x and y, some degenerate), random discs, and sources
// that circle, jump, sit on loudspeaker directions or a hair off them, cross
// the disc, or are not positions at all: the routine's shortcuts must give
// the very floats of the plain law, in both coordinate systems.
TEST(SorvelSignal, ShortcutsGiveThePlainLaw) {
    std::mt19937 random(21);
    std::uniform_real_distribution<float> unit(0, 1), any(-1, 1);
    for (int essai = 0; essai < 400; essai++) {
        const int n = 3 + essai % 14;
        auto s = sorvel(n, essai % 2, 0, 0.1f + 2 * unit(random));
        t_sorvel_tilde *x = &s->x;
        std::vector<t_atom> atoms;
        switch (essai % 5) {
        case 1:
            for (int j = 0; j < n; j++) atoms.push_back(nombre(360 * unit(random)));
            sorvel_tilde_teta_positionner_hp(x, nullptr, n, atoms.data());
            break;
        case 2:
            for (int j = 0; j < n; j++) {
                atoms.push_back(nombre((unit(random) < 0.3f ? -1 : 1) * (0.5f + unit(random))));
                atoms.push_back(nombre(j * 360.0f / n + 5 * any(random)));
            }
            sorvel_tilde_dist_teta_positionner_hp(x, nullptr, 2 * n, atoms.data());
            break;
        case 3:
            for (int j = 0; j < 2 * n; j++) atoms.push_back(nombre(2 * any(random)));
            sorvel_tilde_xy_positionner_hp(x, nullptr, 2 * n, atoms.data());
            break;
        case 4:
            atoms = nombres({0, 180, 90, 0, 0});
            sorvel_tilde_dist_teta_positionner_hp(x, nullptr, 5, atoms.data());
            break;
        }
        const size_t longueur = 1 + random() % 300;
        std::vector<float> src(longueur), a(longueur), b(longueur);
        const float rayon = 3 * unit(random), vitesse = 0.2f * any(random),
                    depart = 7 * any(random);
        for (size_t i = 0; i < longueur; i++) {
            src[i] = any(random);
            float t = depart + vitesse * i, r = rayon;
            const int cas = random() % 40;
            if (cas == 0) t = x->hp_teta[random() % n]; // on a loudspeaker's direction
            if (cas == 1) t = x->hp_teta[random() % n] + 1e-6f * any(random);
            if (cas == 2) r = 0;
            if (cas == 3) r = NAN;
            if (cas == 4) t = INFINITY;
            if (cas == 5) r = -r;
            if (x->type_repere == 1) {
                a[i] = r * std::cos(t);
                b[i] = r * std::sin(t);
            } else {
                a[i] = r;
                b[i] = t * 180 / 3.1415927f + (cas == 6 ? 720 * any(random) : 0);
            }
        }
        const std::vector<std::vector<float>> expected = plainement(x, src, a, b);
        const Outlets got = jouer(x, src, a, b);
        for (int j = 0; j < n; j++)
            for (size_t i = 0; i < longueur; i++)
                ASSERT_EQ(got.out[j][i], expected[j][i])
                    << "try " << essai << " loudspeaker " << j << " sample " << i << " at " << a[i]
                    << ", " << b[i];
    }
}

} // namespace
