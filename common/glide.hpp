#pragma once

#include <m_pd.h>

#include "platform.hpp"

// The gain glide shared by the objects whose position arrives as control
// values: each loudspeaker gain moves a fixed step per sample toward its
// target and lands on it exactly. One rule, written once, for every record
// that has the glide state gain_courant / gain_pas / gain_cible.

constexpr int GLIDE_MAX_SORTIES = 16;

// Advances the glide of loudspeakers 0..nb_actifs-1 over n samples and writes
// input times gain to their outputs; outputs nb_actifs..nb_sorties-1 get
// zeros. Any output may share memory with the input.
RINGCUBE_INTERNE void glisser_gains(float *gain_courant, const float *gain_pas,
                                    const float *gain_cible, int nb_actifs, int nb_sorties,
                                    const t_sample *entree, t_sample *const *sorties, int n);

// How many loudspeakers a record has and uses; a record without a
// loudspeaker count overloads these.
template <class Objet> inline int glide_nb_sorties(const Objet *x) {
    return x->nb_sorties;
}
template <class Objet> inline int glide_nb_actifs(const Objet *x) {
    return x->nb_hp;
}

// Starts a glide toward freshly written targets: every active loudspeaker
// gets the step that reaches its target in temps_interp samples from where
// its gain stands now.
template <class Objet> void lancer_interp(Objet *x) {
    const float duree = static_cast<float>(x->temps_interp);
    const int nb = glide_nb_actifs(x);
    for (int j = 0; j < nb; j++) x->gain_pas[j] = (x->gain_cible[j] - x->gain_courant[j]) / duree;
}

// The glide as a muted signal-rate routine plays it.
template <class Objet>
void glisser_gains(Objet *x, const t_sample *entree, t_sample *const *sorties, int n) {
    glisser_gains(x->gain_courant, x->gain_pas, x->gain_cible, glide_nb_actifs(x),
                  glide_nb_sorties(x), entree, sorties, n);
}

// Control-rate perform routine. Arguments: the record, the input vector, one
// vector per outlet, the block size.
template <class Objet> t_int *perform_controle(t_int *w) {
    Objet *x = reinterpret_cast<Objet *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const int nb_sorties = glide_nb_sorties(x);
    t_sample *sorties[GLIDE_MAX_SORTIES];
    for (int j = 0; j < nb_sorties; j++) sorties[j] = reinterpret_cast<t_sample *>(w[3 + j]);
    const int n = static_cast<int>(w[3 + nb_sorties]);
    glisser_gains(x, entree, sorties, n);
    return w + nb_sorties + 4;
}
