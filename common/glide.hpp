#pragma once

#include <m_pd.h>

#include <algorithm>

#include "platform.hpp"
#include "sorties.hpp"

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

// Its sources and whether its outlet is multichannel: a record without
// these fields has one source and an outlet per loudspeaker.
template <class Objet>
inline auto glide_nb_sources(const Objet *x, int) -> decltype(x->nb_sources) {
    return x->nb_sources;
}
template <class Objet> inline int glide_nb_sources(const Objet *, long) {
    return 1;
}
template <class Objet>
inline auto glide_multicanal(const Objet *x, int) -> decltype(x->sortie_multicanal) {
    return x->sortie_multicanal;
}
template <class Objet> inline int glide_multicanal(const Objet *, long) {
    return 0;
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

// The glide over the sum of the sources, the channels of `entree` one
// after the other: each stretch's sources are summed aside before any output
// of it is written.
template <class Objet>
[[gnu::noinline]] void glisser_somme(Objet *x, int nb_sources, const t_sample *entree,
                                     t_sample *const *sorties, int n) {
    constexpr int MORCEAU = 256;
    t_sample somme[MORCEAU], *o[GLIDE_MAX_SORTIES];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        // The first two at once: a plain copy would call memcpy, whose
        // version would raise the glibc the externals need.
        const t_sample *e0 = entree + debut, *e1 = canal(entree, nb_sources, 1, n) + debut;
        for (int i = 0; i < m; i++) somme[i] = e0[i] + e1[i];
        for (int k = 2; k < nb_sources; k++) {
            const t_sample *e = canal(entree, nb_sources, k, n) + debut;
            for (int i = 0; i < m; i++) somme[i] += e[i];
        }
        for (int j = 0; j < glide_nb_sorties(x); j++) o[j] = sorties[j] + debut;
        glisser_gains(x, somme, o, m);
    }
}

// The glide of every source; one source is the glide as it always was.
template <class Objet>
inline void glisser_sources(Objet *x, const t_sample *entree, t_sample *const *sorties, int n) {
    const int nb_sources = glide_nb_sources(x, 0);
    if (nb_sources <= 1)
        glisser_gains(x, entree, sorties, n);
    else
        glisser_somme(x, nb_sources, entree, sorties, n);
}

// Control-rate perform routine. Arguments: the record, the input vector, the
// outlets' vectors, the block size.
template <class Objet> t_int *perform_controle(t_int *w) {
    Objet *x = reinterpret_cast<Objet *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const int nb_sorties = glide_nb_sorties(x);
    t_sample *sorties[GLIDE_MAX_SORTIES];
    const int multicanal = glide_multicanal(x, 0);
    const int n = lire_sorties(w, 3, nb_sorties, multicanal, sorties);
    glisser_sources(x, entree, sorties, n);
    return w + nb_vecteurs_sortie(nb_sorties, multicanal) + 4;
}
