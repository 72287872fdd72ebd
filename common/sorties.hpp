#pragma once

#include <m_pd.h>

#include <algorithm>

// The outlets' vectors in a perform call: one per outlet, or the channels of
// the one multichannel outlet, one after the other.
inline int nb_vecteurs_sortie(int nb_sorties, int multicanal) {
    return multicanal ? 1 : nb_sorties;
}

// The vectors from w[premier] on into `sorties`; returns the block size,
// the word after them.
inline int lire_sorties(const t_int *w, int premier, int nb_sorties, int multicanal,
                        t_sample **sorties) {
    if (!multicanal) {
        for (int j = 0; j < nb_sorties; j++)
            sorties[j] = reinterpret_cast<t_sample *>(w[premier + j]);
        return static_cast<int>(w[premier + nb_sorties]);
    }
    const int n = static_cast<int>(w[premier + 1]);
    t_sample *v = reinterpret_cast<t_sample *>(w[premier]);
    for (int j = 0; j < nb_sorties; j++) sorties[j] = v + j * std::max(n, 0);
    return n;
}

// Channel k of a vector of `canaux` channels: a signal of one channel serves
// every k, one of fewer channels than asked for starts again from its first.
inline const t_sample *canal(const t_sample *v, int canaux, int k, int n) {
    return v + (canaux > 1 ? k % canaux : 0) * static_cast<long>(n);
}

// Whether an instance pans one source at one position, as before Pd 0.54:
// one channel at its source inlet and at each position inlet.
template <class Objet> inline bool une_source(const Objet *x) {
    bool une = x->nb_sources <= 1;
    for (int canaux : x->nb_canaux_position) une = une && canaux <= 1;
    return une;
}
