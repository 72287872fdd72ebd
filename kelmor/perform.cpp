// kelmor~: the perform routines.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "../common/angles.hpp"
#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "../common/simd.hpp"
#include "kelmor_tilde.hpp"
#include "law.hpp"

t_int *kelmor_tilde_perform_controle(t_int *w) {
    return perform_controle<t_kelmor_tilde>(w);
}

namespace {

// Samples taken at a time. The position signals of a stretch are turned
// into the law's weights before any outlet of that stretch is written, so an
// outlet may share a position signal's memory; the input is copied aside
// when an outlet shares its memory.
constexpr int MORCEAU = 256;

// What the law reads from the record, gathered once per block.
struct Loi {
    int nb_hp;
    bool polaire;
    float offset;
    float norme;
    const float *table_cos;
    const float *hp_cos;
    const float *hp_sin;
    const float *hp_dist;
};

// Polar signals (distance, degrees) to x and y through the cosine table. An
// angle that is not a number or infinite is no direction: its sample gets a
// position that is not one either, which the weights then silence.
[[gnu::always_inline]] inline void polaire(const float *__restrict table,
                                           const t_sample *__restrict p,
                                           const t_sample *__restrict q, int m, float *__restrict X,
                                           float *__restrict Y) {
    // Three loops, which the compiler vectorises where one would not be.
    int k[MORCEAU];
    for (int j = 0; j < m; j++) k[j] = indice_angle(q[j]);
    for (int j = 0; j < m; j++) {
        X[j] = p[j] * table[k[j]];
        Y[j] = p[j] * table[indice_sinus(k[j])];
    }
    for (int j = 0; j < m; j++) X[j] = fabsf(q[j]) <= FLT_MAX ? X[j] : NAN;
}

// The law's three weights for every sample: the omnidirectional W and the
// figure-of-eight A and B, zero where the position is not finite or too far
// to be heard. W divides in single precision and A and B share one
// reciprocal of r^2 + offset, so each weight may differ from the exact
// quotient by about one float step: three divisions per sample, one of them
// in double precision, would cost more than all the loudspeakers' outlets.
// The terms are computed for every sample and the silent ones cleared in a
// second pass: a choice made in the same loop lets the compiler move the
// divisions under a branch, and the loop then stays scalar.
[[gnu::always_inline]] inline void poids(float offset, const float *__restrict X,
                                         const float *__restrict Y, int m, float *__restrict R,
                                         float *__restrict W, float *__restrict A,
                                         float *__restrict B) {
    for (int j = 0; j < m; j++) {
        const float x = X[j], y = Y[j];
        const float r = sqrtf(x * x + y * y);
        R[j] = r;
        W[j] = KELMOR_POIDS_OMNI_F / (r + offset);
        const float inverse = 1.0f / (r * r + offset);
        A[j] = 2.0f * x * inverse;
        B[j] = 2.0f * y * inverse;
    }
    for (int j = 0; j < m; j++) {
        const bool audible = R[j] < DISTANCE_LIMITE;
        W[j] = audible ? W[j] : 0.0f;
        A[j] = audible ? A[j] : 0.0f;
        B[j] = audible ? B[j] : 0.0f;
    }
}

// One loudspeaker's outlet over a stretch.
[[gnu::always_inline]] inline void
haut_parleur(float c, float sn, float norme, float dist, const float *__restrict W,
             const float *__restrict A, const float *__restrict B, const t_sample *__restrict s,
             int m, t_sample *__restrict sortie) {
    for (int j = 0; j < m; j++) {
        const float G = (A[j] * c + W[j] + B[j] * sn) * norme * dist;
        sortie[j] = kelmor_gain_coupe(G) * s[j];
    }
}

RINGCUBE_CLONES void panoramique(const Loi &loi, const t_sample *entree, const t_sample *premiere,
                                 const t_sample *seconde, t_sample *const *sorties, bool partage,
                                 int n) {
    float s[MORCEAU], X[MORCEAU], Y[MORCEAU], R[MORCEAU], W[MORCEAU], A[MORCEAU], B[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *ps = entree + debut;
        if (partage) {
            std::copy(ps, ps + m, s);
            ps = s;
        }
        const t_sample *px = premiere + debut, *py = seconde + debut;
        if (loi.polaire) {
            polaire(loi.table_cos, px, py, m, X, Y);
            px = X;
            py = Y;
        }
        poids(loi.offset, px, py, m, R, W, A, B);
        for (int i = loi.nb_hp - 1; i >= 0; i--)
            haut_parleur(loi.hp_cos[i], loi.hp_sin[i], loi.norme, loi.hp_dist[i], W, A, B, ps, m,
                         sorties[i] + debut);
    }
}

} // namespace

// Arguments: the record, the input, the two position signals, one vector per
// outlet, the block size. Gains follow the position signals sample by sample;
// muted, or without its tables, the instance plays the message-driven glide.
t_int *kelmor_tilde_perform_signal(t_int *w) {
    t_kelmor_tilde *x = reinterpret_cast<t_kelmor_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *premiere = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *seconde = reinterpret_cast<t_sample *>(w[4]);
    const int nb_sorties = x->nb_sorties;
    t_sample *sorties[KELMOR_MAX_HP];
    for (int i = 0; i < nb_sorties; i++) sorties[i] = reinterpret_cast<t_sample *>(w[5 + i]);
    const int n = static_cast<int>(w[5 + nb_sorties]);

    if (x->entrees_muettes || !x->hp_cos) {
        glisser_gains(x, entree, sorties, n);
        return w + nb_sorties + 6;
    }

    const int nb_hp = x->nb_hp;
    const Loi loi = {nb_hp,        x->type_repere == 0, x->offset, kelmor_gain_norme(nb_hp),
                     x->table_cos, x->hp_cos,           x->hp_sin, x->hp_dist};
    bool partage = false;
    for (int i = 0; i < nb_hp; i++) partage |= sorties[i] == entree;
    panoramique(loi, entree, premiere, seconde, sorties, partage, n);
    // Last, once every input sample has been read.
    for (int i = nb_hp; i < nb_sorties; i++)
        std::fill(sorties[i], sorties[i] + std::max(n, 0), 0.0f);
    return w + nb_sorties + 6;
}
