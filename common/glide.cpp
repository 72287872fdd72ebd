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
// sample to sample; whether a lane still glides is latched beside it. LOIN:
// every gain of the block is known to take all its steps.
template <bool LOIN, class V> [[gnu::always_inline]] inline V avancer(Voies<V> &v) {
    const V suivant = v.a + v.d;
    if (LOIN) return v.a = suivant;
    v.avance &= (v_abs(v.t - v.a) > v_abs(v.d)) & (suivant != v.a);
    v.a = suivant;
    return v.avance ? v.a : v.t;
}

// Tiles of as many samples as lanes, each read before it is written, so an
// output may share the input's memory: every sample's gains times the
// sample, turned into the samples of each loudspeaker.
template <bool LOIN, int GROUPES, class V>
[[gnu::always_inline]] inline void glisser(Voies<V> *v, t_sample *const *o, const t_sample *s,
                                           int n) {
    constexpr int L = lanes<V>;
    int i = 0;
    for (; i + L <= n; i += L) {
        const V e = v_charger<V>(s + i);
        for (int g = 0; g < GROUPES; g++) {
            V tuile[L];
#pragma GCC unroll 8
            for (int k = 0; k < L; k++) tuile[k] = avancer<LOIN>(v[g]) * v_partout<V>(e[k]);
            v_transposer(tuile, o + L * g, i);
        }
    }
    for (; i < n; i++)
        for (int g = 0; g < GROUPES; g++) {
            const V tuile = avancer<LOIN>(v[g]) * v_partout<V>(s[i]);
            for (int j = 0; j < L; j++) o[L * g + j][i] = tuile[j];
        }
}

// A block's loudspeakers: the gliding ones packed side by side (gains, steps
// and targets; zeros beyond), and the settled ones.
struct Bloc {
    float a[GLIDE_MAX_SORTIES] = {}, d[GLIDE_MAX_SORTIES] = {}, t[GLIDE_MAX_SORTIES] = {};
    int glissent[GLIDE_MAX_SORTIES], nb_glissent = 0;
    int reglees[GLIDE_MAX_SORTIES], nb_reglees = 0;
    bool partage = false;
};

// Only ever handed an output apart from the input.
[[gnu::always_inline]] inline void multiplier(float gain, const t_sample *__restrict s,
                                              t_sample *__restrict o, int n) {
    for (int i = 0; i < n; i++) o[i] = gain * s[i];
}

// The gliding loudspeakers in GROUPES vectors of lanes (none when every
// gain is settled), the settled ones plain multiplies.
template <int GROUPES, class V>
[[gnu::always_inline]] inline void jouer(Bloc &b, float *gain, const t_sample *entree,
                                         t_sample *const *sorties, int n) {
    constexpr int L = lanes<V>;
    Voies<V> v[GROUPES > 0 ? GROUPES : 1];
    bool loin = true;
    for (int g = 0; g < GROUPES; g++) {
        v[g] = {v_charger<V>(b.a + L * g), v_charger<V>(b.d + L * g), v_charger<V>(b.t + L * g),
                ~masque_de<V>{}};
        // The sums of n steps stray from n times the step by less than n
        // spacings of the largest gain they reach. So a step larger than such
        // a spacing always moves its gain, and a gain further from its target
        // than n + 2 steps and those spacings takes all n steps. Unused lanes
        // (gain on target) do not count.
        const V ecart = v_abs(v[g].t - v[g].a), d = v_abs(v[g].d), nf = v_partout<V>(n);
        const V grand = v_abs(v[g].a) + v_abs(v[g].t) + d * nf;
        loin &= v_tous(((d > grand * 0x1p-22f) &
                        (ecart > (d * (nf + 2.0f) + grand * nf * 0x1p-23f) * 1.0001f)) |
                       (v[g].a == v[g].t));
    }
    t_sample copie[MORCEAU], poubelle[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *s = entree + debut;
        if (b.partage) s = std::copy(s, s + m, copie) - m;
        if constexpr (GROUPES > 0) {
            t_sample *o[GROUPES * L];
            for (int k = 0; k < GROUPES * L; k++)
                o[k] = k < b.nb_glissent ? sorties[b.glissent[k]] + debut : poubelle;
            if (loin)
                glisser<true, GROUPES>(v, o, s, m);
            else
                glisser<false, GROUPES>(v, o, s, m);
        }
        for (int r = 0; r < b.nb_reglees; r++)
            multiplier(gain[b.reglees[r]], s, sorties[b.reglees[r]] + debut, m);
    }
    for (int g = 0; g < GROUPES; g++) v_ranger(b.a + L * g, v[g].avance ? v[g].a : v[g].t);
    for (int k = 0; k < b.nb_glissent; k++) gain[b.glissent[k]] = b.a[k];
}

// The block in lanes of at most four floats, or of eight.
template <class V>
[[gnu::always_inline]] inline void
glisser_bloc(float *gain_courant, const float *gain_pas, const float *gain_cible, int nb_actifs,
             int nb_sorties, const t_sample *entree, t_sample *const *sorties, int n) {
    constexpr int L = lanes<V>;
    n = std::max(n, 0);
    Bloc b;
    for (int j = 0; j < nb_actifs; j++) {
        b.partage |= sorties[j] == entree;
        if (gain_courant[j] == gain_cible[j]) {
            b.reglees[b.nb_reglees++] = j;
        } else {
            const int k = b.nb_glissent++;
            b.glissent[k] = j;
            b.a[k] = gain_courant[j], b.d[k] = gain_pas[j], b.t[k] = gain_cible[j];
        }
    }
    if (b.nb_glissent == 0)
        jouer<0, v4f>(b, gain_courant, entree, sorties, n);
    else if (b.nb_glissent <= 4)
        jouer<1, v4f>(b, gain_courant, entree, sorties, n);
    else if (b.nb_glissent <= 8)
        jouer<8 / L, V>(b, gain_courant, entree, sorties, n);
    else
        jouer<16 / L, V>(b, gain_courant, entree, sorties, n);
    // Last, once every input sample has been read.
    for (int j = nb_actifs; j < nb_sorties; j++) std::fill(sorties[j], sorties[j] + n, 0.0f);
}

RINGCUBE_AVX2 void glisser_huit(float *gain_courant, const float *gain_pas, const float *gain_cible,
                                int nb_actifs, int nb_sorties, const t_sample *entree,
                                t_sample *const *sorties, int n) {
    glisser_bloc<v8f>(gain_courant, gain_pas, gain_cible, nb_actifs, nb_sorties, entree, sorties,
                      n);
}

} // namespace

void glisser_gains(float *gain_courant, const float *gain_pas, const float *gain_cible,
                   int nb_actifs, int nb_sorties, const t_sample *entree, t_sample *const *sorties,
                   int n) {
    if (ringcube_avx2())
        glisser_huit(gain_courant, gain_pas, gain_cible, nb_actifs, nb_sorties, entree, sorties, n);
    else
        glisser_bloc<v4f>(gain_courant, gain_pas, gain_cible, nb_actifs, nb_sorties, entree,
                          sorties, n);
}
