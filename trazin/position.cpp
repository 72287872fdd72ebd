// trazin~: the source position in its three coordinate systems, and the
// target gains the first-order law gives for it.

#include <cmath>

#include "../common/first_order_law.hpp"
#include "../common/glide.hpp"
#include "../common/numbers.hpp"
#include "trazin_tilde.hpp"

namespace {

// Brings the cartesian fields up to date from the coordinates the polar or
// the spherical system stores: x and y from the distance and azimuth, and in
// the spherical system z too.
void vers_cartesien(t_trazin_tilde *x) {
    const double d = x->source_dist;
    const double teta = x->source_teta;
    if (x->type_repere == REPERE_POLAIRE) {
        x->source_x = static_cast<float>(d * cos(teta));
        x->source_y = static_cast<float>(d * sin(teta));
    } else if (x->type_repere == REPERE_SPHERIQUE) {
        const double phi = x->source_phi;
        x->source_x = static_cast<float>(d * cos(teta) * sin(phi));
        x->source_y = static_cast<float>(d * sin(teta) * sin(phi));
        x->source_z = static_cast<float>(d * cos(phi));
    }
}

// The targets for the stored cartesian position, then a glide toward them.
void calculer_gains(t_trazin_tilde *x) {
    const Poids<double> p = ponderer<double>(x->source_x, x->source_y, x->source_z, x->offset);
    const double norme = norme_premier_ordre(TRAZIN_NB_HP);
    for (int j = 0; j < TRAZIN_NB_HP; j++)
        x->gain_cible[j] = gain_premier_ordre<double>(
            p, x->hp_cos_teta_double[j], x->hp_sin_teta_double[j], x->hp_cos_elev_double[j],
            x->hp_sin_elev_double[j], norme, 1.0);
    lancer_interp(x);
}

// Where coordinates 2 and 3 are stored, and what they store: lengths as
// they come, angles in radians (an angle too large to be a float in radians
// comes out infinite and is refused).
float &champ_y(t_trazin_tilde *x) {
    return x->type_repere == REPERE_CARTESIEN ? x->source_y : x->source_teta;
}
float valeur_y(const t_trazin_tilde *x, float f) {
    return x->type_repere == REPERE_CARTESIEN ? f : en_radians(f);
}
float &champ_z(t_trazin_tilde *x) {
    return x->type_repere == REPERE_SPHERIQUE ? x->source_phi : x->source_z;
}
float valeur_z(const t_trazin_tilde *x, float f) {
    return x->type_repere == REPERE_SPHERIQUE ? en_radians(f) : f;
}

} // namespace

// A coordinate that is not finite would spread into every gain: it is
// ignored, and the source stays where it was.

void trazin_tilde_recoit_x(t_trazin_tilde *x, t_floatarg f) {
    if (!fini(f)) return;
    (x->type_repere == REPERE_CARTESIEN ? x->source_x : x->source_dist) = f;
    vers_cartesien(x);
    calculer_gains(x);
}

void trazin_tilde_recoit_y(t_trazin_tilde *x, t_floatarg f) {
    const float v = valeur_y(x, f);
    if (!fini(v)) return;
    champ_y(x) = v;
    vers_cartesien(x);
    calculer_gains(x);
}

// Only in the spherical system does the angle it carries move x and y; in
// the others it is the height alone.
void trazin_tilde_recoit_z(t_trazin_tilde *x, t_floatarg f) {
    const float v = valeur_z(x, f);
    if (!fini(v)) return;
    champ_z(x) = v;
    if (x->type_repere == REPERE_SPHERIQUE) vers_cartesien(x);
    calculer_gains(x);
}

// One position, one computation: coordinates 2 and 3 are stored first and
// coordinate 1 brings them all into effect. A list without elements (a bang)
// changes nothing; one with a coordinate that is not finite is ignored whole.
void trazin_tilde_recoit_liste(t_trazin_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const float a = atom_getfloat(&argv[0]);
    const float y = argc >= 2 ? valeur_y(x, atom_getfloat(&argv[1])) : champ_y(x);
    const float z = argc >= 3 ? valeur_z(x, atom_getfloat(&argv[2])) : champ_z(x);
    if (!fini(a) || !fini(y) || !fini(z)) return;
    champ_y(x) = y;
    champ_z(x) = z;
    trazin_tilde_recoit_x(x, a);
}
