#pragma once

#include <m_pd.h>

#include <type_traits>

#include "../common/glide.hpp"
#include "../common/modes.hpp"

// kelmor~: one mono source panned over a ring of 2 to 16 loudspeakers by a
// first-order directional law (an omnidirectional part and two
// figure-of-eight parts decoded onto each loudspeaker's direction), with an
// offset that keeps the law finite at the centre.

constexpr int KELMOR_MAX_HP = 16;
constexpr int KELMOR_MIN_HP = 2;

struct t_kelmor_tilde {
    t_object x_obj;
    int type_repere;     // REPERE_CARTESIEN or REPERE_POLAIRE
    int type_entrees;    // ENTREES_CONTROLE or ENTREES_SIGNAL, fixed at creation
    int entrees_muettes; // 1 while the position signals are ignored
    int nb_sorties;      // outlets, fixed at creation
    int nb_hp;           // loudspeakers in use, 2..nb_sorties
    float source_x;      // always the cartesian form of the latest position
    float source_y;
    float source_teta; // radians
    float source_dist;
    float offset;     // above 1e-6
    int temps_interp; // glide length in samples, at least 1
    float gain_courant[KELMOR_MAX_HP];
    float hp_teta[KELMOR_MAX_HP]; // radians, not wrapped
    float hp_dist[KELMOR_MAX_HP]; // scales the gain, any sign
    float gain_pas[KELMOR_MAX_HP];
    float gain_cible[KELMOR_MAX_HP];
    // Signal inlets only, one block: hp_cos, then hp_sin (nb_sorties each),
    // then the 4096-entry table_cos. All null when the block is missing.
    float *table_cos;
    float *hp_cos;
    float *hp_sin;
    // Beyond the fields every kelmor~ record has always had, in their order:
    // the cosine and sine of hp_teta in double precision, refreshed with it,
    // so that a position message costs no trigonometry per loudspeaker.
    double hp_cos_double[KELMOR_MAX_HP];
    double hp_sin_double[KELMOR_MAX_HP];
    // Multichannel signals (Pd 0.54 on): one outlet carrying the loudspeakers
    // as channels, fixed at creation; the sources (channels of the source
    // inlet) and the channels of each position inlet, as the last dsp method
    // found them (0 reads as 1).
    int sortie_multicanal;
    int nb_sources;
    int nb_canaux_position[2];
};

// pd_new zero-fills the record and runs no constructor.
static_assert(std::is_standard_layout<t_kelmor_tilde>::value, "Pd needs a plain record");
static_assert(std::is_trivial<t_kelmor_tilde>::value, "Pd needs a plain record");

// Layout (layout.cpp).
void kelmor_tilde_anneau_defaut(t_kelmor_tilde *x, int n);
// Hands a signal-mode instance its block (2 nb_sorties + 4096 floats) and
// fills it from the layout.
void kelmor_tilde_installer_bloc(t_kelmor_tilde *x, float *bloc);
void kelmor_tilde_initialiser_nb_hp(t_kelmor_tilde *x, t_floatarg n);
void kelmor_tilde_teta_positionner_hp(t_kelmor_tilde *x, t_symbol *s, int argc, t_atom *argv);
void kelmor_tilde_dist_teta_positionner_hp(t_kelmor_tilde *x, t_symbol *s, int argc, t_atom *argv);
void kelmor_tilde_xy_positionner_hp(t_kelmor_tilde *x, t_symbol *s, int argc, t_atom *argv);

// Source position and target gains (position.cpp).
void kelmor_tilde_recoit_x(t_kelmor_tilde *x, t_floatarg f);
void kelmor_tilde_recoit_y(t_kelmor_tilde *x, t_floatarg f);
void kelmor_tilde_recoit_liste(t_kelmor_tilde *x, t_symbol *s, int argc, t_atom *argv);
// New targets for the position as it stands, when the law's inputs changed;
// with signal inlets the signal routine reads the layout itself.
void kelmor_tilde_recalculer(t_kelmor_tilde *x);

// Settings and status report (settings.cpp).
void kelmor_tilde_muter_entrees_signal(t_kelmor_tilde *x, t_floatarg f);
void kelmor_tilde_changer_offset(t_kelmor_tilde *x, t_floatarg f);
void kelmor_tilde_changer_type_repere(t_kelmor_tilde *x, t_symbol *s, int argc, t_atom *argv);
void kelmor_tilde_informations(t_kelmor_tilde *x, t_symbol *s, int argc, t_atom *argv);

// Perform routines (perform.cpp).
t_int *kelmor_tilde_perform_controle(t_int *w);
t_int *kelmor_tilde_perform_signal(t_int *w);
