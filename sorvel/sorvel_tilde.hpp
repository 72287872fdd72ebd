#pragma once

#include <m_pd.h>

#include <type_traits>

#include "../common/glide.hpp"
#include "../common/modes.hpp"

// sorvel~: one mono source panned over a ring of 3 to 16 loudspeakers, pair
// by pair, with a central disc where the gains blend into a spread over the
// whole ring.

constexpr int SORVEL_MAX_HP = 16;

struct t_sorvel_tilde {
    t_object x_obj;
    int type_repere;     // 1 cartesian, 0 polar
    int type_entrees;    // 1 control inlets, 0 signal inlets; fixed at creation
    int entrees_muettes; // 1 while the position signals are ignored
    int nb_sorties;      // outlets, fixed at creation
    int nb_hp;           // loudspeakers in use, 3..nb_sorties
    float source_x;
    float source_y;
    float source_teta; // radians, [0, 2pi)
    float source_dist;
    int temps_interp; // glide length in samples, at least 1
    float rayon_disq_centrale;
    float gain_courant[SORVEL_MAX_HP];
    float hp_teta[SORVEL_MAX_HP]; // radians, [0, 2pi)
    float hp_x[SORVEL_MAX_HP];
    float hp_y[SORVEL_MAX_HP];
    float hp_dist[SORVEL_MAX_HP];
    float gain_pas[SORVEL_MAX_HP];
    float gain_cible[SORVEL_MAX_HP];
    float gain_centre[SORVEL_MAX_HP]; // spread at the centre, already over the radius
    float hp_mat[SORVEL_MAX_HP][4];   // inverse matrix of each adjacent pair
    int hp_ordre[SORVEL_MAX_HP];      // loudspeakers by increasing angle
    float *table_cos;                 // signal inlets only
    // What the signal routine reads, per pair in angle order: its matrix by
    // rows, its loudspeakers' distances, its lower edge as an angle, both its
    // edges as pseudo-angles (the upper a turn on for the pair across 0;
    // edges past the pairs in use infinite) and how near them the arc
    // cosine may put a source on either side; per loudspeaker, the pairs it
    // comes first and second in; per pair and loudspeaker, 0 for the pair's
    // first, 1 for its second, 2 for any other.
    float paire_mat[4][SORVEL_MAX_HP], paire_dist[2][SORVEL_MAX_HP];
    float paire_teta[SORVEL_MAX_HP], paire_bas[SORVEL_MAX_HP], paire_haut[SORVEL_MAX_HP];
    float paire_marge[SORVEL_MAX_HP];
    int hp_premier[SORVEL_MAX_HP], hp_second[SORVEL_MAX_HP];
    int paire_voie[SORVEL_MAX_HP][SORVEL_MAX_HP];
    // Multichannel signals (Pd 0.54 on): one outlet carrying the loudspeakers
    // as channels, fixed at creation; the sources (channels of the source
    // inlet) and the channels of each position inlet, as the last dsp method
    // found them (0 reads as 1).
    int sortie_multicanal;
    int nb_sources;
    int nb_canaux_position[2];
};

// pd_new zero-fills the record and runs no constructor.
static_assert(std::is_standard_layout<t_sorvel_tilde>::value, "Pd needs a plain record");
static_assert(std::is_trivial<t_sorvel_tilde>::value, "Pd needs a plain record");

// Layout: default ring, pair tables, loudspeaker count and placement.
void sorvel_tilde_anneau_defaut(t_sorvel_tilde *x, int n);
void sorvel_tilde_init_hp_mat(t_sorvel_tilde *x);
void sorvel_tilde_initialiser_nb_hp(t_sorvel_tilde *x, t_floatarg n);
void sorvel_tilde_teta_positionner_hp(t_sorvel_tilde *x, t_symbol *s, int argc, t_atom *argv);
void sorvel_tilde_dist_teta_positionner_hp(t_sorvel_tilde *x, t_symbol *s, int argc, t_atom *argv);
void sorvel_tilde_xy_positionner_hp(t_sorvel_tilde *x, t_symbol *s, int argc, t_atom *argv);

// Source position and the panning law.
float sorvel_tilde_modulo(float a);
// Degrees, wrapped into [0, 360), to radians.
float sorvel_tilde_radians(float degres);
void sorvel_tilde_direction(float px, float py, float *d, float *teta);
// x / r for an arc cosine, r = sqrt(x^2 + y^2) in single precision: kept in
// [-1, 1].
float cosinus(float x, float r);
// A direction as a number in [0, 4) that grows with its angle, a quarter
// turn a unit, from x and y alone (no arc cosine): for a float or a vector.
template <class T> [[gnu::always_inline]] inline T sorvel_tilde_pseudo_angle(T px, T py) {
    const T ax = px < 0.0f ? -px : px, ay = py < 0.0f ? -py : py;
    const T quart = ((px < 0.0f) == (py < 0.0f) ? ay : ax) / (ax + ay);
    return (py < 0.0f ? (px < 0.0f ? T{} + 2.0f : T{} + 3.0f) : (px < 0.0f ? T{} + 1.0f : T{})) +
           quart;
}
int sorvel_tilde_chercher_paire(const t_sorvel_tilde *x, float teta);
// The pair of a sample of the position signals (x and y, or distance and
// degrees), by the search on the angle as the law defines it.
int sorvel_tilde_paire_exacte(const t_sorvel_tilde *x, bool polaire, float a, float b);
void calculer_gains_paire(const t_sorvel_tilde *x, float px, float py, float d, float teta,
                          float *gains);
void sorvel_tilde_recoit_x(t_sorvel_tilde *x, t_floatarg f);
void sorvel_tilde_recoit_y(t_sorvel_tilde *x, t_floatarg f);
void sorvel_tilde_recoit_liste(t_sorvel_tilde *x, t_symbol *s, int argc, t_atom *argv);
// Applies the stored position again, after a change of what the law uses.
void sorvel_tilde_reappliquer_position(t_sorvel_tilde *x);

// Settings and report.
void sorvel_tilde_muter_entrees_signal(t_sorvel_tilde *x, t_floatarg f);
void sorvel_tilde_changer_type_repere(t_sorvel_tilde *x, t_symbol *s, int argc, t_atom *argv);
void sorvel_tilde_changer_rayon_disq_centrale(t_sorvel_tilde *x, t_floatarg r);
void sorvel_tilde_informations(t_sorvel_tilde *x, t_symbol *s, int argc, t_atom *argv);

// Perform routines.
t_int *sorvel_tilde_perform_controle(t_int *w);
t_int *sorvel_tilde_perform_signal(t_int *w);
