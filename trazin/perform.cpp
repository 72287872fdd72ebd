// trazin~: the perform routines. Control inlets: the shared gain glide.
// Signal inlets: the law evaluated for every sample from the position
// signals, or the glide while they are muted.

#include <algorithm>
#include <cmath>
#include <limits>

#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "trazin_tilde.hpp"

t_int *trazin_tilde_perform_controle(t_int *w) {
    return perform_controle<t_trazin_tilde>(w);
}

namespace {

// Samples taken aside at a time, so that an output sharing the memory of the
// input or of a position signal is written only once they have been read.
constexpr int MORCEAU = 64;

// A source at or beyond this distance (squared here) is silent: the gains
// fall as 1/distance, and the squares stay inside the float range.
constexpr float DISTANCE_CARREE_MAX = 1e36f;

// Marks a sample whose coordinates are not all finite, so that the law
// silences it with the far ones (a NaN is never below the limit).
constexpr float MUET = std::numeric_limits<float>::quiet_NaN();

struct Morceau {
    float s[MORCEAU];
    float x[MORCEAU];
    float y[MORCEAU];
    float z[MORCEAU];
};

// Reads m samples of the input and of the three coordinates, and turns the
// coordinates into a cartesian position. Angles are read through the cosine
// table, truncated.
void lire_positions(int repere, const float *cosinus, const t_sample *entree, const t_sample *c1,
                    const t_sample *c2, const t_sample *c3, int m, Morceau &p) {
    std::copy(entree, entree + m, p.s);
    switch (repere) {
    case REPERE_POLAIRE:
        for (int i = 0; i < m; i++) {
            const int k = indice_angle(c2[i]);
            p.x[i] = c1[i] * cosinus[k];
            p.y[i] = c1[i] * cosinus[indice_sinus(k)];
            p.z[i] = c3[i];
        }
        break;
    case REPERE_SPHERIQUE:
        for (int i = 0; i < m; i++) {
            const int k = indice_angle(c2[i]);
            // The angle is taken from the vertical: its sine is the cosine a
            // quarter turn earlier.
            const int l = indice_masque(1024.0f - degres_en_pas(c3[i]));
            const float sin_phi = cosinus[l];
            const float cos_phi = cosinus[indice_sinus(l)];
            p.x[i] = c1[i] * cosinus[k] * sin_phi;
            p.y[i] = c1[i] * cosinus[indice_sinus(k)] * sin_phi;
            p.z[i] = c1[i] * cos_phi;
        }
        break;
    default:
        std::copy(c1, c1 + m, p.x);
        std::copy(c2, c2 + m, p.y);
        std::copy(c3, c3 + m, p.z);
    }
    // An angle that is not finite still reads a table entry.
    for (int i = 0; i < m; i++)
        if (!(std::isfinite(c1[i]) && std::isfinite(c2[i]) && std::isfinite(c3[i]))) p.x[i] = MUET;
}

// The weights of the first-order law: the omnidirectional one into omni, and
// the three figure-of-eight ones in place of the position.
void ponderer(float offset, int m, Morceau &p, float *omni) {
    for (int i = 0; i < m; i++) {
        const float r2 = p.x[i] * p.x[i] + p.y[i] * p.y[i] + p.z[i] * p.z[i];
        if (!(r2 < DISTANCE_CARREE_MAX)) {
            omni[i] = p.x[i] = p.y[i] = p.z[i] = 0.0f;
            continue;
        }
        const float r = sqrtf(r2);
        omni[i] = static_cast<float>(TRAZIN_OMNI) / (r + offset);
        const float q = r * r + offset;
        p.x[i] = 2.0f * p.x[i] / q;
        p.y[i] = 2.0f * p.y[i] / q;
        p.z[i] = 2.0f * p.z[i] / q;
    }
}

} // namespace

// Arguments: the record, the input, the three position signals, the eight
// outlet vectors, the block size.
t_int *trazin_tilde_perform_signal(t_int *w) {
    t_trazin_tilde *x = reinterpret_cast<t_trazin_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *c1 = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *c2 = reinterpret_cast<t_sample *>(w[4]);
    const t_sample *c3 = reinterpret_cast<t_sample *>(w[5]);
    t_sample *sorties[TRAZIN_NB_HP];
    for (int j = 0; j < TRAZIN_NB_HP; j++) sorties[j] = reinterpret_cast<t_sample *>(w[6 + j]);
    const int n = static_cast<int>(w[6 + TRAZIN_NB_HP]);

    // Without its tables (the block could not be had) the instance can only
    // play the glide.
    if (x->entrees_muettes || !x->table_cos) {
        glisser_gains(x, entree, sorties, n);
        return w + 15;
    }

    // Each loudspeaker's direction, from the tables of the block.
    float dx[TRAZIN_NB_HP], dy[TRAZIN_NB_HP], dz[TRAZIN_NB_HP];
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        dx[j] = x->hp_cos_teta[j] * x->hp_cos_elev[j];
        dy[j] = x->hp_sin_teta[j] * x->hp_cos_elev[j];
        dz[j] = x->hp_sin_elev[j];
    }
    const float offset = x->offset;
    const int repere = x->type_repere;

    Morceau p;
    float omni[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        lire_positions(repere, x->table_cos, entree + debut, c1 + debut, c2 + debut, c3 + debut, m,
                       p);
        ponderer(offset, m, p, omni);
        for (int j = 0; j < TRAZIN_NB_HP; j++) {
            t_sample *sortie = sorties[j] + debut;
            for (int i = 0; i < m; i++) {
                const float g = TRAZIN_NORMALISATION *
                                (omni[i] + p.x[i] * dx[j] + p.y[i] * dy[j] + p.z[i] * dz[j]);
                sortie[i] = (g > 0.0f ? g : 0.0f) * p.s[i];
            }
        }
    }
    return w + 15;
}
