#pragma once

#include <m_pd.h>

#include <cmath>
#include <type_traits>

#include "../common/glide.hpp"
#include "../common/modes.hpp"

// trazin~: one mono source placed in three dimensions among eight
// loudspeakers at the corners of a cube, by a first-order law with an offset
// (an omnidirectional part and three figure-of-eight parts, decoded onto each
// loudspeaker's direction). The position comes from control inlets or from
// three signals, in cartesian, polar (cylindrical) or spherical coordinates.

constexpr int TRAZIN_NB_HP = 8;

constexpr float TRAZIN_OFFSET_DEFAUT = 0.3f;

// The block of a signal-mode instance: the loudspeakers' cosines and sines,
// then the cosine table.
constexpr int TRAZIN_TAILLE_BLOC = 4 * TRAZIN_NB_HP + 4096;

struct t_trazin_tilde {
    t_object x_obj;
    int type_repere;     // REPERE_POLAIRE, REPERE_CARTESIEN or REPERE_SPHERIQUE
    int type_entrees;    // ENTREES_CONTROLE or ENTREES_SIGNAL, fixed at creation
    int entrees_muettes; // 1 while the position signals are ignored
    float source_x;      // the cartesian position of the latest gains
    float source_y;
    float source_z;
    float source_teta; // azimuth, radians
    float source_dist; // from the vertical axis (polar) or the centre (spherical)
    float source_phi;  // from the vertical axis, radians (spherical)
    float offset;      // always above 1e-6
    int temps_interp;  // glide length in samples, at least 1
    float gain_courant[TRAZIN_NB_HP];
    float hp_teta[TRAZIN_NB_HP]; // azimuths, radians
    float hp_elev[TRAZIN_NB_HP]; // elevations above the horizontal plane, radians
    float gain_pas[TRAZIN_NB_HP];
    float gain_cible[TRAZIN_NB_HP];
    // Signal inlets only, inside the one block that hp_cos_teta starts; null
    // otherwise, and also when that block could not be had.
    float *table_cos;
    float *hp_cos_teta;
    float *hp_sin_teta;
    float *hp_cos_elev;
    float *hp_sin_elev;
    // Beyond the fields every trazin~ record has always had, in their order:
    // the double-precision cosines and sines of the cube's angles, so that a
    // position message costs no trigonometry per loudspeaker.
    double hp_cos_teta_double[TRAZIN_NB_HP];
    double hp_sin_teta_double[TRAZIN_NB_HP];
    double hp_cos_elev_double[TRAZIN_NB_HP];
    double hp_sin_elev_double[TRAZIN_NB_HP];
    // Multichannel signals (Pd 0.54 on): one outlet carrying the loudspeakers
    // as channels, fixed at creation; the sources (channels of the source
    // inlet) and the channels of each position inlet, as the last dsp method
    // found them (0 reads as 1).
    int sortie_multicanal;
    int nb_sources;
    int nb_canaux_position[3];
};

// pd_new zero-fills the record and runs no constructor.
static_assert(std::is_standard_layout<t_trazin_tilde>::value, "Pd needs a plain record");
static_assert(std::is_trivial<t_trazin_tilde>::value, "Pd needs a plain record");

// The shared glide reads the loudspeaker counts through these: all eight
// loudspeakers are always in use.
inline int glide_nb_sorties(const t_trazin_tilde *) {
    return TRAZIN_NB_HP;
}
inline int glide_nb_actifs(const t_trazin_tilde *) {
    return TRAZIN_NB_HP;
}

// The cube (layout.cpp): the eight loudspeakers at its corners, in outlet
// order, the lower square then the upper, each in the same azimuth order;
// their azimuths and elevations as the record holds them.
extern const float TRAZIN_HP_TETA[TRAZIN_NB_HP];
extern const float TRAZIN_HP_ELEV[TRAZIN_NB_HP];
void trazin_tilde_disposer_cube(t_trazin_tilde *x);
// Hands a signal-mode instance its block (32 + 4096 floats) and fills it.
void trazin_tilde_installer_bloc(t_trazin_tilde *x, float *bloc);

// Position, in the coordinate system of type_repere; each call recomputes
// every target and starts a glide toward them.
void trazin_tilde_recoit_x(t_trazin_tilde *x, t_floatarg f);
void trazin_tilde_recoit_y(t_trazin_tilde *x, t_floatarg f);
void trazin_tilde_recoit_z(t_trazin_tilde *x, t_floatarg f);
void trazin_tilde_recoit_liste(t_trazin_tilde *x, t_symbol *s, int argc, t_atom *argv);

// Settings.
void trazin_tilde_changer_type_repere(t_trazin_tilde *x, t_symbol *s, int argc, t_atom *argv);
void trazin_tilde_muter_entrees_signal(t_trazin_tilde *x, t_floatarg f);
void trazin_tilde_changer_offset(t_trazin_tilde *x, t_floatarg f);

// Perform routines.
t_int *trazin_tilde_perform_controle(t_int *w);
t_int *trazin_tilde_perform_signal(t_int *w);
