// kelmor~: the perform routines.

#include <algorithm>
#include <cmath>

#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "kelmor_tilde.hpp"
#include "law.hpp"

t_int *kelmor_tilde_perform_controle(t_int *w) {
    return perform_controle<t_kelmor_tilde>(w);
}

namespace {

// Samples handled at a time: the inputs of a stretch are copied aside before
// any output is written, since an output may share an input's memory.
constexpr int MORCEAU = 64;

// The law of the position messages, evaluated per sample in single
// precision: for each sample the omnidirectional weight W and the two
// figure-of-eight weights A and B, zero where the position is silent.
struct Poids {
    float W[MORCEAU];
    float A[MORCEAU];
    float B[MORCEAU];
};

void calculer_poids(const t_kelmor_tilde *x, const t_sample *p, const t_sample *q, int m,
                    Poids &poids) {
    const float offset = x->offset;
    for (int j = 0; j < m; j++) {
        float X = p[j], Y = q[j];
        if (x->type_repere == 0) {
            // p is the distance, q the angle in degrees, read through the table.
            const int k = indice_angle(q[j]);
            X = p[j] * x->table_cos[k];
            Y = p[j] * x->table_cos[indice_sinus(k)];
        }
        const float r = sqrtf(X * X + Y * Y);
        if (r < KELMOR_DISTANCE_MUETTE) {
            poids.W[j] = static_cast<float>(KELMOR_POIDS_OMNI / (r + offset));
            poids.A[j] = 2.0f * X / (r * r + offset);
            poids.B[j] = 2.0f * Y / (r * r + offset);
        } else {
            poids.W[j] = poids.A[j] = poids.B[j] = 0.0f;
        }
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
    const float norme = kelmor_gain_norme(nb_hp);
    t_sample s[MORCEAU], p[MORCEAU], q[MORCEAU];
    Poids poids;
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        std::copy(entree + debut, entree + debut + m, s);
        std::copy(premiere + debut, premiere + debut + m, p);
        std::copy(seconde + debut, seconde + debut + m, q);
        calculer_poids(x, p, q, m, poids);
        for (int i = nb_hp - 1; i >= 0; i--) {
            const float c = x->hp_cos[i], sn = x->hp_sin[i], dist = x->hp_dist[i];
            t_sample *sortie = sorties[i] + debut;
            for (int j = 0; j < m; j++) {
                const float G = (poids.A[j] * c + poids.W[j] + poids.B[j] * sn) * norme * dist;
                sortie[j] = kelmor_gain_coupe(G) * s[j];
            }
        }
    }
    // Last, once every input sample has been read.
    for (int i = nb_hp; i < nb_sorties; i++)
        std::fill(sorties[i], sorties[i] + std::max(n, 0), 0.0f);
    return w + nb_sorties + 6;
}
