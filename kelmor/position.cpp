// kelmor~: the source position from messages and the target gains it gives.

#include <cmath>

#include "../common/first_order_law.hpp"
#include "../common/glide.hpp"
#include "../common/numbers.hpp"
#include "kelmor_tilde.hpp"

namespace {

// Every target from scratch, then a glide toward them from where the gains
// stand.
void calculer_gains(t_kelmor_tilde *x) {
    const Poids<double> p = ponderer<double>(x->source_x, x->source_y, 0.0, x->offset);
    const double norme = norme_premier_ordre(x->nb_hp);
    for (int i = x->nb_hp - 1; i >= 0; i--)
        x->gain_cible[i] = gain_premier_ordre<double>(p, x->hp_cos_double[i], x->hp_sin_double[i],
                                                      1.0, SIN_ELEV_ANNEAU, norme, x->hp_dist[i]);
    lancer_interp(x);
}

// The last step of every update: x or the distance as f, the angle, and y.
// A position that does not come out finite is ignored whole; a non-finite f
// or angle always gives a non-finite x or y.
void placer(t_kelmor_tilde *x, float f, float teta, float y) {
    const bool cartesien = x->type_repere == REPERE_CARTESIEN;
    const float sx = cartesien ? f : static_cast<float>(std::cos(static_cast<double>(teta)) * f);
    const float sy = cartesien ? y : static_cast<float>(std::sin(static_cast<double>(teta)) * f);
    if (!fini(sx) || !fini(sy)) return;
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
    if (x->type_repere == REPERE_CARTESIEN)
        placer(x, x->source_x, x->source_teta, f);
    else
        placer(x, x->source_dist, en_radians(f), x->source_y);
}

// A bang arrives here without elements: nothing to read, nothing moves.
void kelmor_tilde_recoit_liste(t_kelmor_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const float a = atom_getfloat(&argv[0]);
    if (argc < 2)
        placer(x, a, x->source_teta, x->source_y);
    else if (x->type_repere == REPERE_CARTESIEN)
        placer(x, a, x->source_teta, atom_getfloat(&argv[1]));
    else
        placer(x, a, en_radians(atom_getfloat(&argv[1])), x->source_y);
}

void kelmor_tilde_recalculer(t_kelmor_tilde *x) {
    if (x->type_entrees == ENTREES_CONTROLE)
        kelmor_tilde_recoit_x(x, x->type_repere == REPERE_CARTESIEN ? x->source_x : x->source_dist);
}
