// kelmor~: the perform routines.

#include <algorithm>
#include <cmath>

#include "../common/cosine_table.hpp"
#include "../common/first_order_law.hpp"
#include "../common/glide.hpp"
#include "../common/numbers.hpp"
#include "../common/simd.hpp"
#include "kelmor_tilde.hpp"

t_int *kelmor_tilde_perform_controle(t_int *w) {
    return perform_controle<t_kelmor_tilde>(w);
}

namespace {

// Samples taken at a time. The position signals of a stretch are turned
// into the law's weights before any outlet of that stretch is written, so an
// outlet may share a position signal's memory; the input is copied aside
// when an outlet shares its memory.
constexpr int MORCEAU = 256;

// Polar signals (distance, degrees) to x and y through the cosine table. An
// angle that is not a number or infinite is no direction: its sample gets a
// position that is not one either, which the weights then silence. Loops of
// their own, which the compiler vectorises where one would not be.
[[gnu::always_inline]] inline void polaire(const float *__restrict table,
                                           const t_sample *__restrict p,
                                           const t_sample *__restrict q, int m, float *__restrict X,
                                           float *__restrict Y) {
    int k[MORCEAU];
    for (int j = 0; j < m; j++) k[j] = indice_angle(q[j]);
    for (int j = 0; j < m; j++) {
        X[j] = p[j] * table[k[j]];
        Y[j] = p[j] * table[indice_sinus(k[j])];
    }
    for (int j = 0; j < m; j++) X[j] = fini(q[j]) ? X[j] : NAN;
}

// One source over a stretch into the outlets' stretches `o`, written or,
// with CUMUL, added to.
template <bool CUMUL>
[[gnu::always_inline]] inline void morceau(const t_kelmor_tilde *x, float norme, const t_sample *ps,
                                           const t_sample *px, const t_sample *py, int m,
                                           t_sample *const *o) {
    float X[MORCEAU], Y[MORCEAU], W[MORCEAU], A[MORCEAU], B[MORCEAU];
    if (x->type_repere == REPERE_POLAIRE) {
        polaire(x->table_cos, px, py, m, X, Y);
        px = X;
        py = Y;
    }
    for (int j = 0; j < m; j++) {
        const Poids<float> p = ponderer<float>(px[j], py[j], 0.0f, x->offset);
        W[j] = p.omni, A[j] = p.x, B[j] = p.y;
    }
    for (int i = x->nb_hp - 1; i >= 0; i--) {
        const float c = x->hp_cos[i], sn = x->hp_sin[i], dist = x->hp_dist[i];
        t_sample *__restrict s = o[i];
        for (int j = 0; j < m; j++) {
            const float g = gain_premier_ordre<float>({W[j], A[j], B[j], 0.0f}, c, sn, 1.0f,
                                                      SIN_ELEV_ANNEAU, norme, dist) *
                            ps[j];
            if constexpr (CUMUL)
                s[j] += g;
            else
                s[j] = g;
        }
    }
}

[[gnu::always_inline]] inline void panoramique(const t_kelmor_tilde *x, const t_sample *entree,
                                               const t_sample *premiere, const t_sample *seconde,
                                               t_sample *const *sorties, bool partage, int n) {
    const float norme = norme_premier_ordre(x->nb_hp);
    float s[MORCEAU];
    t_sample *o[KELMOR_MAX_HP];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *ps = entree + debut;
        if (partage) ps = std::copy(ps, ps + m, s) - m;
        for (int i = 0; i < x->nb_hp; i++) o[i] = sorties[i] + debut;
        morceau<false>(x, norme, ps, premiere + debut, seconde + debut, m, o);
    }
}

RINGCUBE_AVX2 void panoramique_avx2(const t_kelmor_tilde *x, const t_sample *entree,
                                    const t_sample *premiere, const t_sample *seconde,
                                    t_sample *const *sorties, bool partage, int n) {
    panoramique(x, entree, premiere, seconde, sorties, partage, n);
}

// Many sources, summed aside until every source of the stretch has been
// read.
[[gnu::always_inline]] inline void
panoramique_sources(const t_kelmor_tilde *x, const t_sample *entree, const t_sample *premiere,
                    const t_sample *seconde, t_sample *const *sorties, int n) {
    const float norme = norme_premier_ordre(x->nb_hp);
    const int nb_sources = std::max(x->nb_sources, 1);
    const int *canaux = x->nb_canaux_position;
    float somme[KELMOR_MAX_HP][MORCEAU];
    t_sample *o[KELMOR_MAX_HP];
    for (int i = 0; i < KELMOR_MAX_HP; i++) o[i] = somme[i];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        for (int k = 0; k < nb_sources; k++) {
            const t_sample *ps = canal(entree, nb_sources, k, n) + debut;
            const t_sample *px = canal(premiere, canaux[0], k, n) + debut;
            const t_sample *py = canal(seconde, canaux[1], k, n) + debut;
            if (k == 0)
                morceau<false>(x, norme, ps, px, py, m, o);
            else
                morceau<true>(x, norme, ps, px, py, m, o);
        }
        for (int i = 0; i < x->nb_hp; i++) std::copy(somme[i], somme[i] + m, sorties[i] + debut);
    }
}

RINGCUBE_AVX2 void panoramique_sources_avx2(const t_kelmor_tilde *x, const t_sample *entree,
                                            const t_sample *premiere, const t_sample *seconde,
                                            t_sample *const *sorties, int n) {
    panoramique_sources(x, entree, premiere, seconde, sorties, n);
}

} // namespace

// Arguments: the record, the input, the two position signals, the outlets'
// vectors, the block size. Gains follow the position signals sample by
// sample; muted, or without its tables, the instance plays the
// message-driven glide.
t_int *kelmor_tilde_perform_signal(t_int *w) {
    t_kelmor_tilde *x = reinterpret_cast<t_kelmor_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *premiere = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *seconde = reinterpret_cast<t_sample *>(w[4]);
    const int nb_sorties = x->nb_sorties;
    t_sample *sorties[KELMOR_MAX_HP];
    const int n = lire_sorties(w, 5, nb_sorties, x->sortie_multicanal, sorties);
    t_int *const suite = w + nb_vecteurs_sortie(nb_sorties, x->sortie_multicanal) + 6;

    if (x->entrees_muettes || !x->hp_cos) {
        glisser_sources(x, entree, sorties, n);
        return suite;
    }
    if (!une_source(x)) {
        if (ringcube_avx2())
            panoramique_sources_avx2(x, entree, premiere, seconde, sorties, n);
        else
            panoramique_sources(x, entree, premiere, seconde, sorties, n);
    } else {
        bool partage = false;
        for (int i = 0; i < x->nb_hp; i++) partage |= sorties[i] == entree;
        if (ringcube_avx2())
            panoramique_avx2(x, entree, premiere, seconde, sorties, partage, n);
        else
            panoramique(x, entree, premiere, seconde, sorties, partage, n);
    }
    // Last, once every input sample has been read.
    for (int i = x->nb_hp; i < nb_sorties; i++)
        std::fill(sorties[i], sorties[i] + std::max(n, 0), 0.0f);
    return suite;
}
