// kelmor~: the source position from messages and the target gains it gives.

#include <cmath>

#include "../common/angles.hpp"
#include "../common/glide.hpp"
#include "kelmor_tilde.hpp"
#include "law.hpp"

namespace {

float degres_en_radians(float degres) {
    return degres * PI_F / 180.0f;
}

// Every target from scratch, then a glide toward them from where the gains
// stand.
void calculer_gains(t_kelmor_tilde *x) {
    const double X = x->source_x, Y = x->source_y;
    const double r = std::sqrt(X * X + Y * Y);
    const float norme = kelmor_gain_norme(x->nb_hp);
    const bool muet = !(r < DISTANCE_LIMITE);
    const float W = static_cast<float>(KELMOR_POIDS_OMNI / (r + x->offset));
    const double A = 2.0 * X / (r * r + x->offset);
    const double B = 2.0 * Y / (r * r + x->offset);
    for (int i = x->nb_hp - 1; i >= 0; i--) {
        const double G =
            (A * x->hp_cos_double[i] + W + B * x->hp_sin_double[i]) * norme * x->hp_dist[i];
        x->gain_cible[i] = muet ? 0.0f : kelmor_gain_coupe(G);
    }
    lancer_interp(x);
}

// The last step of every update: x or the distance as f, the angle, and y.
// A position that does not come out finite is ignored whole; a non-finite f
// or angle always gives a non-finite x or y.
void placer(t_kelmor_tilde *x, float f, float teta, float y) {
    const bool cartesien = x->type_repere == 1;
    const float sx = cartesien ? f : static_cast<float>(std::cos(static_cast<double>(teta)) * f);
    const float sy = cartesien ? y : static_cast<float>(std::sin(static_cast<double>(teta)) * f);
    if (!std::isfinite(sx) || !std::isfinite(sy)) return;
    if (!cartesien) {
        x->source_dist = f;
        x->source_teta = teta;
    }
    x->source_x = sx;
    x->source_y = sy;
    calculer_gains(x);
}

} // namespace

void kelmor_tilde_recoit_x(t_kelmor_tilde *x, t_floatarg f) {
    placer(x, f, x->source_teta, x->source_y);
}

void kelmor_tilde_recoit_y(t_kelmor_tilde *x, t_floatarg f) {
    if (x->type_repere == 1)
        placer(x, x->source_x, x->source_teta, f);
    else
        placer(x, x->source_dist, degres_en_radians(f), x->source_y);
}

// A bang arrives here without elements: nothing to read, nothing moves.
void kelmor_tilde_recoit_liste(t_kelmor_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const float a = atom_getfloat(&argv[0]);
    if (argc < 2)
        placer(x, a, x->source_teta, x->source_y);
    else if (x->type_repere == 1)
        placer(x, a, x->source_teta, atom_getfloat(&argv[1]));
    else
        placer(x, a, degres_en_radians(atom_getfloat(&argv[1])), x->source_y);
}

void kelmor_tilde_recalculer(t_kelmor_tilde *x) {
    if (x->type_entrees == 1)
        kelmor_tilde_recoit_x(x, x->type_repere == 1 ? x->source_x : x->source_dist);
}
