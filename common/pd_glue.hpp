#pragma once

#include <m_pd.h>

#include <cstddef>
#include <initializer_list>

#include "platform.hpp"

// What every object's Pd glue needs.

// Pd's method table takes every routine as a pointer to a function without
// arguments and calls it back with the arguments its selector declares.
template <class F> t_method pd_methode(F f) {
    return reinterpret_cast<t_method>(f);
}
template <class F> t_newmethod pd_createur(F f) {
    return reinterpret_cast<t_newmethod>(reinterpret_cast<t_method>(f));
}

// The inlets after the source inlet: in control mode, float inlets that pass
// each float on as one of the messages (a float at the second inlet as
// "x"...); in signal mode, as many signal inlets.
void creer_entrees_position(t_object *objet, bool controle,
                            std::initializer_list<const char *> messages);

// The one block of a signal-mode instance, `floats` long, or null after the
// two console lines that say so: the instance then keeps its signal inlets,
// so that the patch keeps its wiring, and plays the message-driven glide
// only.
float *allouer_bloc(const char *classe, size_t floats);

// `n` signal outlets, loudspeaker 0 leftmost.
void creer_sorties(t_object *objet, int n);

// Adds the perform routine to the DSP chain with the arguments every object
// passes: the record, then the vector of each of its first `nb_vecteurs`
// signals (inputs in inlet order, then outputs in outlet order), then the
// block size.
void ajouter_perform(t_perfroutine routine, void *x, t_signal **sp, int nb_vecteurs);
