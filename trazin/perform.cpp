// trazin~: the perform routines. Control inlets: the shared gain glide.
// Signal inlets: the law evaluated for every sample from the position
// signals, or the glide while they are muted.

#include <algorithm>
#include <cmath>
#include <limits>

#include "../common/cosine_table.hpp"
#include "../common/first_order_law.hpp"
#include "../common/glide.hpp"
#include "../common/numbers.hpp"
#include "../common/simd.hpp"
#include "trazin_tilde.hpp"

t_int *trazin_tilde_perform_controle(t_int *w) {
    return perform_controle<t_trazin_tilde>(w);
}

namespace {

// Samples worked on at a time: every stage runs over a whole stretch, so that
// the compiler turns it into vector code. The coordinates of a stretch are all
// read before any output of it is written, so an output may share the memory
// of a position signal.
constexpr int MORCEAU = 64;

// Marks a sample whose angle is not finite, so that the law silences it with
// the far ones.
constexpr float MUET = std::numeric_limits<float>::quiet_NaN();

struct Position {
    alignas(32) float x[MORCEAU];
    alignas(32) float y[MORCEAU];
    alignas(32) float z[MORCEAU];
};

// The weights of the first-order law for a stretch of samples.
struct PoidsMorceau {
    alignas(32) float omni[MORCEAU];
    alignas(32) float x[MORCEAU];
    alignas(32) float y[MORCEAU];
    alignas(32) float z[MORCEAU];
};

// Polar: (distance, azimuth, height). The indexes first, in a loop of plain
// arithmetic, then the table reads.
[[gnu::always_inline]] inline void polaire(const float *cosinus, const t_sample *c1,
                                           const t_sample *c2, const t_sample *c3, int m,
                                           Position &p) {
    alignas(32) int k[MORCEAU];
    for (int i = 0; i < m; i++) k[i] = indice_masque(degres_en_pas(c2[i]));
    for (int i = 0; i < m; i++) {
        const float d = fini(c2[i]) ? c1[i] : MUET;
        p.x[i] = d * cosinus[k[i]];
        p.y[i] = d * cosinus[indice_sinus(k[i])];
        p.z[i] = c3[i];
    }
}

// Spherical: (distance, azimuth, angle from the vertical). That angle's sine
// is the cosine a quarter turn earlier.
[[gnu::always_inline]] inline void spherique(const float *cosinus, const t_sample *c1,
                                             const t_sample *c2, const t_sample *c3, int m,
                                             Position &p) {
    alignas(32) int k[MORCEAU], l[MORCEAU];
    for (int i = 0; i < m; i++) {
        k[i] = indice_masque(degres_en_pas(c2[i]));
        l[i] = indice_masque(1024.0f - degres_en_pas(c3[i]));
    }
    for (int i = 0; i < m; i++) {
        const float d = fini(c2[i]) && fini(c3[i]) ? c1[i] : MUET;
        const float sin_phi = cosinus[l[i]];
        const float cos_phi = cosinus[indice_sinus(l[i])];
        p.x[i] = d * cosinus[k[i]] * sin_phi;
        p.y[i] = d * cosinus[indice_sinus(k[i])] * sin_phi;
        p.z[i] = d * cos_phi;
    }
}

// From a cartesian position to the weights, every sample on its own.
[[gnu::always_inline]] inline void ponderer(float offset, const float *px, const float *py,
                                            const float *pz, int m, PoidsMorceau &p) {
    for (int i = 0; i < m; i++) {
        const Poids<float> w = ::ponderer<float>(px[i], py[i], pz[i], offset);
        p.omni[i] = w.omni, p.x[i] = w.x, p.y[i] = w.y, p.z[i] = w.z;
    }
}

// The eight outputs of a stretch, written or, with CUMUL, added to. Every
// component of every direction of the cube is +a or -a, to the rounding of
// the block's tables, so each product of a weight with a direction is one
// product or its opposite and the sums build on one another: 3 products and
// 14 sums for the eight projections. The weights are bounded by the offset,
// so no sum leaves the float range. The source never shares an output's
// memory here (the routines copy it aside when an output may).
template <bool CUMUL>
[[gnu::always_inline]] inline void
decoder_cube(const PoidsMorceau &p, float a, float norme, const t_sample *__restrict source,
             t_sample *__restrict s0, t_sample *__restrict s1, t_sample *__restrict s2,
             t_sample *__restrict s3, t_sample *__restrict s4, t_sample *__restrict s5,
             t_sample *__restrict s6, t_sample *__restrict s7, int m) {
    for (int i = 0; i < m; i++) {
        const float ax = p.x[i] * a, ay = p.y[i] * a, az = p.z[i] * a, s = source[i];
        const float xp = p.omni[i] + ax, xm = p.omni[i] - ax;
        const float xp_yp = xp + ay, xp_ym = xp - ay, xm_yp = xm + ay, xm_ym = xm - ay;
        const float g0 = couper(norme * (xm_yp - az)) * s, g1 = couper(norme * (xp_yp - az)) * s,
                    g2 = couper(norme * (xp_ym - az)) * s, g3 = couper(norme * (xm_ym - az)) * s,
                    g4 = couper(norme * (xm_yp + az)) * s, g5 = couper(norme * (xp_yp + az)) * s,
                    g6 = couper(norme * (xp_ym + az)) * s, g7 = couper(norme * (xm_ym + az)) * s;
        if constexpr (CUMUL) {
            s0[i] += g0, s1[i] += g1, s2[i] += g2, s3[i] += g3;
            s4[i] += g4, s5[i] += g5, s6[i] += g6, s7[i] += g7;
        } else {
            s0[i] = g0, s1[i] = g1, s2[i] = g2, s3[i] = g3;
            s4[i] = g4, s5[i] = g5, s6[i] = g6, s7[i] = g7;
        }
    }
}

// The weights of a stretch, from the position signals in the object's
// coordinates.
[[gnu::always_inline]] inline void poids(const t_trazin_tilde *x, const t_sample *c1,
                                         const t_sample *c2, const t_sample *c3, int m,
                                         Position &pos, PoidsMorceau &p) {
    if (x->type_repere == REPERE_POLAIRE) {
        polaire(x->table_cos, c1, c2, c3, m, pos);
        ponderer(x->offset, pos.x, pos.y, pos.z, m, p);
    } else if (x->type_repere == REPERE_SPHERIQUE) {
        spherique(x->table_cos, c1, c2, c3, m, pos);
        ponderer(x->offset, pos.x, pos.y, pos.z, m, p);
    } else {
        ponderer(x->offset, c1, c2, c3, m, p);
    }
}

// The signal-driven branch over a whole block.
[[gnu::always_inline]] inline void panoramiser(const t_trazin_tilde *x, const t_sample *entree,
                                               const t_sample *c1, const t_sample *c2,
                                               const t_sample *c3, t_sample *const *sorties,
                                               int n) {
    bool partage = false;
    for (int j = 0; j < TRAZIN_NB_HP; j++) partage |= sorties[j] == entree;
    const float a = x->hp_sin_elev[TRAZIN_NB_HP - 1], norme = norme_premier_ordre(TRAZIN_NB_HP);
    Position pos;
    PoidsMorceau p;
    alignas(32) t_sample copie[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        poids(x, c1 + debut, c2 + debut, c3 + debut, m, pos, p);
        const t_sample *source = entree + debut;
        if (partage) source = std::copy(source, source + m, copie) - m;
        t_sample *const *o = sorties;
        decoder_cube<false>(p, a, norme, source, o[0] + debut, o[1] + debut, o[2] + debut,
                            o[3] + debut, o[4] + debut, o[5] + debut, o[6] + debut, o[7] + debut,
                            m);
    }
}

RINGCUBE_AVX2 void panoramiser_avx2(const t_trazin_tilde *x, const t_sample *entree,
                                    const t_sample *c1, const t_sample *c2, const t_sample *c3,
                                    t_sample *const *sorties, int n) {
    panoramiser(x, entree, c1, c2, c3, sorties, n);
}

// Many sources, summed aside until every source of the stretch has been
// read.
[[gnu::always_inline]] inline void panoramiser_sources(const t_trazin_tilde *x,
                                                       const t_sample *entree, const t_sample *c1,
                                                       const t_sample *c2, const t_sample *c3,
                                                       t_sample *const *sorties, int n) {
    const float a = x->hp_sin_elev[TRAZIN_NB_HP - 1], norme = norme_premier_ordre(TRAZIN_NB_HP);
    const int nb_sources = std::max(x->nb_sources, 1);
    const int *canaux = x->nb_canaux_position;
    Position pos;
    PoidsMorceau p;
    alignas(32) t_sample o[TRAZIN_NB_HP][MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        for (int k = 0; k < nb_sources; k++) {
            poids(x, canal(c1, canaux[0], k, n) + debut, canal(c2, canaux[1], k, n) + debut,
                  canal(c3, canaux[2], k, n) + debut, m, pos, p);
            const t_sample *source = canal(entree, nb_sources, k, n) + debut;
            if (k == 0)
                decoder_cube<false>(p, a, norme, source, o[0], o[1], o[2], o[3], o[4], o[5], o[6],
                                    o[7], m);
            else
                decoder_cube<true>(p, a, norme, source, o[0], o[1], o[2], o[3], o[4], o[5], o[6],
                                   o[7], m);
        }
        for (int j = 0; j < TRAZIN_NB_HP; j++) std::copy(o[j], o[j] + m, sorties[j] + debut);
    }
}

RINGCUBE_AVX2 void panoramiser_sources_avx2(const t_trazin_tilde *x, const t_sample *entree,
                                            const t_sample *c1, const t_sample *c2,
                                            const t_sample *c3, t_sample *const *sorties, int n) {
    panoramiser_sources(x, entree, c1, c2, c3, sorties, n);
}

} // namespace

// Arguments: the record, the input, the three position signals, the
// outlets' vectors, the block size.
t_int *trazin_tilde_perform_signal(t_int *w) {
    t_trazin_tilde *x = reinterpret_cast<t_trazin_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *c1 = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *c2 = reinterpret_cast<t_sample *>(w[4]);
    const t_sample *c3 = reinterpret_cast<t_sample *>(w[5]);
    t_sample *sorties[TRAZIN_NB_HP];
    const int n = lire_sorties(w, 6, TRAZIN_NB_HP, x->sortie_multicanal, sorties);
    t_int *const suite = w + nb_vecteurs_sortie(TRAZIN_NB_HP, x->sortie_multicanal) + 7;

    // Without its tables (the block could not be had) the instance can only
    // play the glide.
    if (x->entrees_muettes || !x->table_cos) {
        glisser_sources(x, entree, sorties, n);
        return suite;
    }
    const bool une = une_source(x);
    if (une && ringcube_avx2())
        panoramiser_avx2(x, entree, c1, c2, c3, sorties, n);
    else if (une)
        panoramiser(x, entree, c1, c2, c3, sorties, n);
    else if (ringcube_avx2())
        panoramiser_sources_avx2(x, entree, c1, c2, c3, sorties, n);
    else
        panoramiser_sources(x, entree, c1, c2, c3, sorties, n);
    return suite;
}
