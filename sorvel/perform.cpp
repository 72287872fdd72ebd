// sorvel~ perform routines: the shared glide at control rate, and the
// panning law evaluated for every sample from position signals.

#include <algorithm>
#include <cmath>

#include "../common/angles.hpp"
#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "sorvel_tilde.hpp"

t_int *sorvel_tilde_perform_controle(t_int *w) {
    return perform_controle<t_sorvel_tilde>(w);
}

namespace {

// Samples of the three inputs copied aside at a time: an output may share
// memory with any input.
constexpr int MORCEAU = 64;

// The position of one sample in cartesian form, with the distance and the
// angle the pair search uses. False when the position is not a number or
// lies beyond every loudspeaker's reach: that sample is silent.
bool position_polaire(const float *table, float a, float b, float *px, float *py, float *d,
                      float *teta) {
    if (!std::isfinite(b)) return false;
    const int k = indice_angle(b);
    *px = a * table[k];
    *py = a * table[indice_sinus(k)];
    *d = a;
    *teta = sorvel_tilde_radians(b);
    if (*d < 0.0f) {
        *d = -*d;
        *teta = *teta < PI_F ? *teta + PI_F : *teta - PI_F;
    }
    return true;
}

void panner_signal(const t_sorvel_tilde *x, const t_sample *entree, const t_sample *c1,
                   const t_sample *c2, t_sample *const *sorties, int n) {
    const int nb_hp = x->nb_hp;
    const bool cartesien = x->type_repere == 1;
    t_sample s[MORCEAU], a[MORCEAU], b[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        std::copy(entree + debut, entree + debut + m, s);
        std::copy(c1 + debut, c1 + debut + m, a);
        std::copy(c2 + debut, c2 + debut + m, b);
        for (int i = 0; i < m; i++) {
            float gains[SORVEL_MAX_HP] = {};
            float px = a[i], py = b[i], d, teta;
            bool sonore = true;
            if (cartesien)
                sorvel_tilde_direction(px, py, &d, &teta);
            else
                sonore = position_polaire(x->table_cos, a[i], b[i], &px, &py, &d, &teta);
            if (sonore) calculer_gains_paire(x, px, py, d, teta, gains);
            for (int j = 0; j < nb_hp; j++) sorties[j][debut + i] = s[i] * gains[j];
        }
    }
}

} // namespace

// Arguments: the record, the input, the two position signals, one vector per
// outlet, the block size. Muted, or without its cosine table, it plays the
// message-driven glide instead of following the position signals.
t_int *sorvel_tilde_perform_signal(t_int *w) {
    t_sorvel_tilde *x = reinterpret_cast<t_sorvel_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *c1 = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *c2 = reinterpret_cast<t_sample *>(w[4]);
    const int nb_sorties = x->nb_sorties;
    t_sample *sorties[SORVEL_MAX_HP];
    for (int j = 0; j < nb_sorties; j++) sorties[j] = reinterpret_cast<t_sample *>(w[5 + j]);
    const int n = static_cast<int>(w[5 + nb_sorties]);
    if (x->entrees_muettes || !x->table_cos) {
        glisser_gains(x, entree, sorties, n);
    } else {
        panner_signal(x, entree, c1, c2, sorties, n);
        for (int j = x->nb_hp; j < nb_sorties; j++)
            std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
    }
    return w + nb_sorties + 6;
}
