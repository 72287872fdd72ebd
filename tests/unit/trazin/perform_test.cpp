// The perform routines: their argument vectors, the signal-rate law against
// the control targets, the muted branch, silence for bad positions, and
// outputs sharing memory with inputs.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "../../../common/cosine_table.hpp"
#include "instance.hpp"

namespace {

using namespace trazin_test;
using Signal = std::vector<float>;

// One run of the signal routine. An output named in `partage` is given the
// memory of an input (0: the source, 1 to 3: the coordinates) instead of its
// own.
struct Signaux {
    Signal entree, c[3];
    std::vector<Signal> sorties = std::vector<Signal>(8);

    Signaux(size_t n, float s, float a, float b, float c3)
        : entree(n, s), c{Signal(n, a), Signal(n, b), Signal(n, c3)} {}

    t_int *jouer(t_trazin_tilde *x, int sortie_partagee = -1, int entree_partagee = 0) {
        const size_t n = entree.size();
        Signal *entrees[4] = {&entree, &c[0], &c[1], &c[2]};
        w[1] = reinterpret_cast<t_int>(x);
        for (int k = 0; k < 4; k++) w[2 + k] = reinterpret_cast<t_int>(entrees[k]->data());
        for (int j = 0; j < 8; j++) {
            sorties[j] = j == sortie_partagee ? *entrees[entree_partagee] : Signal(n, 99.0f);
            w[6 + j] = reinterpret_cast<t_int>(
                j == sortie_partagee ? entrees[entree_partagee]->data() : sorties[j].data());
        }
        w[14] = static_cast<t_int>(n);
        t_int *suite = trazin_tilde_perform_signal(w);
        if (sortie_partagee >= 0) sorties[sortie_partagee] = *entrees[entree_partagee];
        return suite;
    }
    t_int w[15];
};

TEST(TrazinPerform, ControlRoutineGlidesAllEightAndReturnsPastItsArguments) {
    Instance x = creer({"c", "c", "0.3", "0"}); // one-sample glide
    Signal entree = {2.0f, -1.0f}, sorties[8];
    t_int w[12];
    w[1] = reinterpret_cast<t_int>(x.get());
    w[2] = reinterpret_cast<t_int>(entree.data());
    for (int j = 0; j < 8; j++) {
        sorties[j] = Signal(2, 99.0f);
        w[3 + j] = reinterpret_cast<t_int>(sorties[j].data());
    }
    w[11] = 0;
    EXPECT_EQ(trazin_tilde_perform_controle(w), w + 12);
    EXPECT_EQ(sorties[7][0], 99.0f); // nothing written for an empty block
    w[11] = 2;
    EXPECT_EQ(trazin_tilde_perform_controle(w), w + 12);
    for (int j = 0; j < 8; j++) {
        EXPECT_EQ(sorties[j][0], 2.0f * x->gain_cible[j]) << j;
        EXPECT_EQ(sorties[j][1], -x->gain_cible[j]) << j;
    }
    EXPECT_GT(sorties[5][0], 0.6f);
}

TEST(TrazinPerform, SignalFiguresFromTheFirstSample) {
    Instance cart = creer({"c", "s"}), pol = creer({"p", "s"}), sph = creer({"s", "s"});
    Signaux devant(70, 1.0f, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(devant.jouer(cart.get()), devant.w + 15);
    const Signal cote = devant.sorties[0];
    for (int j : {0, 1, 4, 5}) EXPECT_NEAR(devant.sorties[j][0], 0.3050f, 5e-5) << j;
    for (int j : {2, 3, 6, 7}) EXPECT_EQ(devant.sorties[j], Signal(70, 0.0f)) << j;

    Signaux polaire(70, 1.0f, 1.0f, 90.0f, 0.0f);
    polaire.jouer(pol.get());
    for (int j = 0; j < 8; j++) EXPECT_NEAR(polaire.sorties[j][69], devant.sorties[j][69], 1e-6);

    Signaux haut(70, 1.0f, 1.0f, 0.0f, 0.0f);
    haut.jouer(sph.get());
    for (int j : {4, 5, 6, 7}) EXPECT_NEAR(haut.sorties[j][0], 0.3050f, 5e-5) << j;
    for (int j : {0, 1, 2, 3}) EXPECT_EQ(haut.sorties[j][0], 0.0f) << j;

    Signaux centre(3, 0.5f, 0.0f, 0.0f, 0.0f);
    centre.jouer(cart.get());
    for (int j = 0; j < 8; j++) EXPECT_NEAR(centre.sorties[j][2], 0.5f * 0.5019f, 5e-5) << j;

    // 360, -360 and -0.05 degrees all read index 0, as 0 does.
    Signaux zero(4, 1.0f, 1.0f, 0.0f, 0.5f);
    zero.jouer(pol.get());
    for (float angle : {360.0f, -360.0f, -0.05f}) {
        Signaux autre(4, 1.0f, 1.0f, angle, 0.5f);
        autre.jouer(pol.get());
        EXPECT_EQ(autre.sorties, zero.sorties) << angle;
    }
}

// The targets of the control messages, for the same angle as the table
// reads it (truncated to 4096 steps per turn).
float pas_de_table(float degres) {
    return std::trunc(degres_en_pas(degres)) * 360.0f / 4096.0f;
}

TEST(TrazinPerform, SignalGainsAreTheControlTargetsForAConstantPosition) {
    std::mt19937 aleas(5);
    std::uniform_real_distribution<float> coord(-4.0f, 4.0f), dist(0.0f, 4.0f),
        angle(-720.0f, 720.0f), polaire(0.0f, 180.0f), offset(0.01f, 2.0f);
    for (int repere : {REPERE_CARTESIEN, REPERE_POLAIRE, REPERE_SPHERIQUE}) {
        for (int essai = 0; essai < 400; essai++) {
            Instance x = creer({repere == 1   ? "c"
                                : repere == 0 ? "p"
                                              : "s",
                                "s", std::to_string(offset(aleas))});
            float a, b, c, b_lu, c_lu;
            if (repere == REPERE_CARTESIEN) {
                a = coord(aleas), b = coord(aleas), c = coord(aleas);
                b_lu = b, c_lu = c;
            } else if (repere == REPERE_POLAIRE) {
                a = dist(aleas), b = angle(aleas), c = coord(aleas);
                b_lu = pas_de_table(b), c_lu = c;
            } else {
                a = dist(aleas), b = angle(aleas), c = polaire(aleas);
                b_lu = pas_de_table(b);
                c_lu = 90.0f - std::trunc(1024.0f - degres_en_pas(c)) * 360.0f / 4096.0f;
            }
            Signaux s(5, 1.0f, a, b, c);
            s.jouer(x.get());
            position(x.get(), a, b_lu, c_lu);
            for (int j = 0; j < 8; j++)
                ASSERT_NEAR(s.sorties[j][4], x->gain_cible[j], 2e-6f + 2e-5f * x->gain_cible[j])
                    << repere << ": " << a << " " << b << " " << c << " loudspeaker " << j;
        }
    }
}

// Muted, or without its tables, the routine plays the message-driven glide
// and never reads the positions.
TEST(TrazinPerform, MutedBranchPlaysTheGlide) {
    Instance x = creer({"c", "s", "0.3", "0"});
    trazin_tilde_muter_entrees_signal(x.get(), 1.0f);
    Signaux s(4, 1.0f, NAN, NAN, NAN);
    s.jouer(x.get());
    for (int j = 0; j < 8; j++) EXPECT_EQ(s.sorties[j], Signal(4, x->gain_cible[j])) << j;
    EXPECT_EQ(x->gain_courant[0], x->gain_cible[0]);

    // As when the block could not be had at creation.
    Instance sans = creer({"c", "s"});
    free(sans->hp_cos_teta);
    sans->hp_cos_teta = sans->hp_sin_teta = sans->hp_cos_elev = sans->hp_sin_elev = nullptr;
    sans->table_cos = nullptr;
    Signaux t(4, 1.0f, 0.0f, 0.0f, 0.0f);
    t.jouer(sans.get());
    EXPECT_EQ(t.sorties[0][0], x->gain_cible[0] / 441.0f);
    EXPECT_EQ(t.sorties[2][0], 0.0f);
}

TEST(TrazinPerform, BadPositionSamplesAreSilent) {
    for (const char *repere : {"c", "p", "s"}) {
        Instance x = creer({repere, "s", "1e-5"});
        const float pires[] = {NAN, INFINITY, -INFINITY, 3e38f, -1e19f, 1e30f};
        for (float v : pires) {
            for (int k = 0; k < 3; k++) {
                Signaux s(3, 1.0f, 1.0f, 1.0f, 1.0f);
                s.c[k] = Signal(3, v);
                s.jouer(x.get());
                for (int j = 0; j < 8; j++) {
                    for (float o : s.sorties[j]) ASSERT_TRUE(std::isfinite(o)) << repere << v;
                    // An angle of any size is still an angle.
                    if (std::isfinite(v) && k > 0 && repere[0] != 'c') continue;
                    ASSERT_EQ(s.sorties[j][0], 0.0f) << repere << " " << v << " coordinate " << k;
                }
            }
        }
    }
}

TEST(TrazinPerform, OutputsSharingMemoryWithInputs) {
    Instance x = creer({"s", "s"});
    Signaux seul(200, 0.7f, 1.5f, 30.0f, 60.0f);
    seul.jouer(x.get());
    for (int entree = 0; entree < 4; entree++) {
        for (int sortie : {0, 5, 7}) {
            Signaux partage(200, 0.7f, 1.5f, 30.0f, 60.0f);
            partage.jouer(x.get(), sortie, entree);
            ASSERT_EQ(partage.sorties, seul.sorties) << entree << " " << sortie;
        }
    }
}

TEST(TrazinPerform, BlockTablesAsCreationFillsThem) {
    Instance x = creer({"c", "s"});
    ASSERT_NE(x->hp_cos_teta, nullptr);
    EXPECT_EQ(x->hp_sin_teta, x->hp_cos_teta + 8);
    EXPECT_EQ(x->hp_cos_elev, x->hp_cos_teta + 16);
    EXPECT_EQ(x->hp_sin_elev, x->hp_cos_teta + 24);
    EXPECT_EQ(x->table_cos, x->hp_cos_teta + 32);
    EXPECT_EQ(x->hp_sin_elev[5], sinf(0.6154797f));
    EXPECT_EQ(x->hp_cos_teta[0], cosf(2.3561945f));
    EXPECT_EQ(x->table_cos[0], 1.0f);
    EXPECT_NEAR(x->table_cos[1024], 0.0f, 1e-6);
    EXPECT_EQ(x->table_cos[4095], cosf(8190.0f * 3.1415927f * 0.000244140625f));
}

} // namespace
