// trazin~: the source position in its three coordinate systems, and the
// first-order law that turns it into the eight target gains.

#include <cmath>

#include "../common/numbers.hpp"
#include "../common/glide.hpp"
#include "cube.hpp"
#include "trazin_tilde.hpp"

namespace {

// Through double precision, so that no finite angle overflows on its way.
float en_radians(float degres) {
    return static_cast<float>(static_cast<double>(degres) * PI_F / 180.0);
}

// Brings the cartesian fields up to date from the coordinates the system
// stores. In the cartesian system they are the coordinates themselves, and
// in the polar one the height is source_z itself.
void mettre_a_jour_cartesien(t_trazin_tilde *x) {
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

// The double-precision cosines and sines of the loudspeakers' angles. The
// cube never moves, so they are worked out once, by the same cos and sin of
// the same floats: every position message would otherwise spend most of its
// time on these 32 calls.
struct DirectionsCube {
    double cos_teta[TRAZIN_NB_HP], sin_teta[TRAZIN_NB_HP];
    double cos_elev[TRAZIN_NB_HP], sin_elev[TRAZIN_NB_HP];
};

const DirectionsCube &directions_cube() {
    static const DirectionsCube d = [] {
        DirectionsCube t;
        for (int j = 0; j < TRAZIN_NB_HP; j++) {
            const double teta = HP_TETA[j], elev = HP_ELEV[j];
            t.cos_teta[j] = cos(teta);
            t.sin_teta[j] = sin(teta);
            t.cos_elev[j] = cos(elev);
            t.sin_elev[j] = sin(elev);
        }
        return t;
    }();
    return d;
}

// The targets for the stored cartesian position, then a glide toward them.
// In double precision a finite position and offset cannot overflow; a gain
// that is not positive (or not a number) is silence.
void calculer_gains(t_trazin_tilde *x) {
    const DirectionsCube &d = directions_cube();
    const double px = x->source_x, py = x->source_y, pz = x->source_z;
    const double o = x->offset;
    const double r = sqrt(px * px + py * py + pz * pz);
    const double w = static_cast<float>(TRAZIN_OMNI / (r + o));
    const double q = r * r + o;
    const double gx = 2.0 * px / q, gy = 2.0 * py / q, gz = 2.0 * pz / q;
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        const double s = w + gx * d.cos_teta[j] * d.cos_elev[j] +
                         gy * d.sin_teta[j] * d.cos_elev[j] + gz * d.sin_elev[j];
        const float g = static_cast<float>(static_cast<double>(TRAZIN_NORMALISATION) * s);
        x->gain_cible[j] = g > 0.0f ? g : 0.0f;
    }
    lancer_interp(x);
}

void placer(t_trazin_tilde *x) {
    mettre_a_jour_cartesien(x);
    calculer_gains(x);
}

// Coordinates 2 and 3, stored without computing anything.
void ranger_y(t_trazin_tilde *x, float f) {
    if (x->type_repere == REPERE_CARTESIEN)
        x->source_y = f;
    else
        x->source_teta = en_radians(f);
}

void ranger_z(t_trazin_tilde *x, float f) {
    if (x->type_repere == REPERE_SPHERIQUE)
        x->source_phi = en_radians(f);
    else
        x->source_z = f;
}

} // namespace

// A coordinate that is not finite would spread into every gain: it is
// ignored, and the source stays where it was.

void trazin_tilde_recoit_x(t_trazin_tilde *x, t_floatarg f) {
    if (!std::isfinite(f)) return;
    if (x->type_repere == REPERE_CARTESIEN)
        x->source_x = f;
    else
        x->source_dist = f;
    placer(x);
}

void trazin_tilde_recoit_y(t_trazin_tilde *x, t_floatarg f) {
    if (!std::isfinite(f)) return;
    ranger_y(x, f);
    placer(x);
}

// Only in the spherical system does the angle it carries move x and y; in
// the others it is the height alone.
void trazin_tilde_recoit_z(t_trazin_tilde *x, t_floatarg f) {
    if (!std::isfinite(f)) return;
    ranger_z(x, f);
    if (x->type_repere == REPERE_SPHERIQUE)
        placer(x);
    else
        calculer_gains(x);
}

// One position, one computation: coordinates 2 and 3 are stored first and
// coordinate 1 brings them all into effect. A list without elements (a bang)
// changes nothing; one with a coordinate that is not finite is ignored whole.
void trazin_tilde_recoit_liste(t_trazin_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const int nb = argc < 3 ? argc : 3;
    float c[3];
    for (int i = 0; i < nb; i++) {
        c[i] = atom_getfloat(&argv[i]);
        if (!std::isfinite(c[i])) return;
    }
    if (nb >= 2) ranger_y(x, c[1]);
    if (nb >= 3) ranger_z(x, c[2]);
    trazin_tilde_recoit_x(x, c[0]);
}
