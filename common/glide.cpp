#include "glide.hpp"

#include <algorithm>

#include "simd.hpp"

namespace {

// Samples of input taken at a time, copied aside when an output shares the
// input's memory.
constexpr int MORCEAU = 256;

// The gliding loudspeakers side by side, one a lane: the gains as the steps
// leave them, whether each still glides, their steps and their targets.
template <class V> struct Voies {
    V a, d, t;
    masque_de<V> avance;
};

// One sample for every lane: the gain takes its step while the gap to its
// target is larger than the step and the step moves it; otherwise it lands
// on the target, exactly, and stays there. Only the sum of steps runs from
// sample to sample; whether a lane still glides is latched beside it. FIGE:
// a step may be too small to move its gain in this block.
template <bool FIGE, class V> [[gnu::always_inline]] inline V avancer(Voies<V> &v) {
    const V suivant = v.a + v.d;
    v.avance &= v_abs(v.t - v.a) > v_abs(v.d);
    if (FIGE) v.avance &= suivant != v.a;
    v.a = suivant;
    return v.avance ? v.a : v.t;
}

// Tiles of as many samples as lanes, each read before it is written, so an
// output may share the input's memory: every sample's gains times the
// sample, turned into the samples of each loudspeaker.
template <bool FIGE, int GROUPES, class V>
[[gnu::always_inline]] inline void glisser(Voies<V> *v, t_sample *const *o, const t_sample *s,
                                           int n) {
    constexpr int L = lanes<V>;
    int i = 0;
    for (; i + L <= n; i += L) {
        const V e = v_charger<V>(s + i);
        for (int g = 0; g < GROUPES; g++) {
            V tuile[L], c[L];
#pragma GCC unroll 8
            for (int k = 0; k < L; k++) tuile[k] = avancer<FIGE>(v[g]) * v_partout<V>(e[k]);
            v_transposer(tuile, c);
#pragma GCC unroll 8
            for (int j = 0; j < L; j++) v_ranger(o[L * g + j] + i, c[j]);
        }
    }
    for (; i < n; i++)
        for (int g = 0; g < GROUPES; g++) {
            const V tuile = avancer<FIGE>(v[g]) * v_partout<V>(s[i]);
            for (int j = 0; j < L; j++) o[L * g + j][i] = tuile[j];
        }
}

// Only ever handed an output apart from the input.
[[gnu::always_inline]] inline void multiplier(float gain, const t_sample *__restrict s,
                                              t_sample *__restrict o, int n) {
    for (int i = 0; i < n; i++) o[i] = gain * s[i];
}

// The loudspeakers listed in `glissent` glide in lanes, the others sit on
// their targets and are plain multiplies.
template <int GROUPES, class V>
[[gnu::always_inline]] inline void jouer(float *gain, const float *pas, const float *cible,
                                         const int *glissent, int nb_glissent, int nb,
                                         const t_sample *entree, t_sample *const *sorties, int n) {
    constexpr int L = lanes<V>;
    Voies<V> v[GROUPES] = {};
    bool figer = false;
    for (int g = 0; g < GROUPES; g++) {
        v[g].avance = ~v[g].avance;
        for (int k = 0; k < L && L * g + k < nb_glissent; k++) {
            const int j = glissent[L * g + k];
            v[g].a[k] = gain[j], v[g].d[k] = pas[j], v[g].t[k] = cible[j];
        }
        // A step moves its gain while it exceeds a spacing of the largest
        // gain the lane reaches in the block.
        const V plus_grand = v_abs(v[g].a) + v_abs(v[g].t) + v_abs(v[g].d) * static_cast<float>(n);
        figer |= !v_tous((v_abs(v[g].d) > plus_grand * 0x1p-22f) | (v[g].a == v[g].t));
    }
    bool partage = false;
    for (int j = 0; j < nb; j++) partage |= sorties[j] == entree;
    t_sample copie[MORCEAU], poubelle[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *s =
            partage ? std::copy(entree + debut, entree + debut + m, copie) - m : entree + debut;
        t_sample *o[GROUPES * L];
        for (int k = 0; k < GROUPES * L; k++)
            o[k] = k < nb_glissent ? sorties[glissent[k]] + debut : poubelle;
        if (figer)
            glisser<true, GROUPES>(v, o, s, m);
        else if (nb_glissent)
            glisser<false, GROUPES>(v, o, s, m);
        for (int j = 0; j < nb; j++)
            if (gain[j] == cible[j]) multiplier(gain[j], s, sorties[j] + debut, m);
    }
    for (int k = 0; k < nb_glissent; k++) {
        const Voies<V> &w = v[k / L];
        gain[glissent[k]] = w.avance[k % L] ? w.a[k % L] : w.t[k % L];
    }
}

} // namespace

RINGCUBE_CLONES void glisser_gains(float *gain_courant, const float *gain_pas,
                                   const float *gain_cible, int nb_actifs, int nb_sorties,
                                   const t_sample *entree, t_sample *const *sorties, int n) {
    n = std::max(n, 0);
    int glissent[GLIDE_MAX_SORTIES], nb = 0;
    for (int j = 0; j < nb_actifs; j++)
        if (gain_courant[j] != gain_cible[j]) glissent[nb++] = j;
    if (nb <= 4)
        jouer<1, v4f>(gain_courant, gain_pas, gain_cible, glissent, nb, nb_actifs, entree, sorties,
                      n);
    else if (nb <= 8)
        jouer<1, v8f>(gain_courant, gain_pas, gain_cible, glissent, nb, nb_actifs, entree, sorties,
                      n);
    else
        jouer<2, v8f>(gain_courant, gain_pas, gain_cible, glissent, nb, nb_actifs, entree, sorties,
                      n);
    // Last, once every input sample has been read.
    for (int j = nb_actifs; j < nb_sorties; j++) std::fill(sorties[j], sorties[j] + n, 0.0f);
}
