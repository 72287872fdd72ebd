#pragma once

#include <m_pd.h>

#include <cstddef>
#include <initializer_list>

#include "modes.hpp"
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

// The flag -mc ahead of the creation arguments, which then start after it:
// true when the instance is to give one multichannel outlet. In a Pd without
// multichannel signals the instance keeps its outlets, and says why.
bool lire_drapeau_mc(const char *classe, int *argc, t_atom **argv);

// `n` signal outlets, loudspeaker 0 leftmost; or one, which carries the
// loudspeakers as channels in that order.
void creer_sorties(t_object *objet, int n, bool multicanal = false);

// In a dsp method: the channels of the first `nb_entrees` signals (the
// inlets) into `canaux`, and the channels of the outlets given, `nb_sorties`
// in one outlet or one in each. Returns how many output vectors follow the
// inputs.
int preparer_canaux(t_signal **sp, int nb_entrees, int *canaux, int nb_sorties, bool multicanal);

// Adds the perform routine to the DSP chain with the arguments every object
// passes: the record, then the vector of each of its first `nb_vecteurs`
// signals (inputs in inlet order, then outputs in outlet order), then the
// block size.
void ajouter_perform(t_perfroutine routine, void *x, t_signal **sp, int nb_vecteurs);

// The dsp method of the three objects: the record takes the channels it
// finds (sources, and each position inlet's in signal mode), the outlets get
// theirs, and the routine of the instance's inlets joins the chain. Every
// outlet's vector is passed, active or not: the perform routines write the
// silence of the inactive ones.
template <class Objet>
void ajouter_perform_objet(Objet *x, t_signal **sp, int nb_positions, int nb_sorties,
                           t_perfroutine controle, t_perfroutine signal) {
    const bool en_controle = x->type_entrees == ENTREES_CONTROLE;
    const int entrees = en_controle ? 1 : 1 + nb_positions;
    int canaux[4] = {1, 1, 1, 1};
    const int sorties = preparer_canaux(sp, entrees, canaux, nb_sorties, x->sortie_multicanal);
    x->nb_sources = canaux[0];
    for (int k = 0; k < nb_positions; k++) x->nb_canaux_position[k] = canaux[1 + k];
    ajouter_perform(en_controle ? controle : signal, x, sp, entrees + sorties);
}
