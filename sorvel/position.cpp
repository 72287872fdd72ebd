// sorvel~ source position and panning law: the position handlers turn the
// received coordinates into target gains and start the glide toward them.

#include <algorithm>
#include <cmath>

#include "../common/numbers.hpp"
#include "../common/glide.hpp"
#include "sorvel_tilde.hpp"

float sorvel_tilde_modulo(float a) {
    if (a >= 0.0f && a < 360.0f) return a;
    if (std::isnan(a)) return a;
    if (std::isinf(a)) return 0.0f;
    // fmodf is exact, so this equals adding or subtracting whole turns one by
    // one, without looping on angles too large for a turn to change them.
    float r = fmodf(a, 360.0f);
    if (r < 0.0f) r += 360.0f;
    if (r >= 360.0f) r -= 360.0f;
    return r + 0.0f; // never -0
}

float sorvel_tilde_radians(float degres) {
    return en_radians(sorvel_tilde_modulo(degres));
}

float cosinus(float x, float r) {
    // Squares that fall among the subnormals lose precision, and x / r may
    // then pass 1 by a hair: the arc cosine would be NaN.
    return std::min(1.0f, std::max(-1.0f, x / r));
}

void sorvel_tilde_direction(float px, float py, float *d, float *teta) {
    *d = sqrtf(px * px + py * py);
    // At the origin the direction is undefined and unused; 0 keeps it a number.
    if (*d == 0.0f) {
        *teta = 0.0f;
        return;
    }
    *teta = acosf(cosinus(px, *d));
    if (py < 0.0f) *teta = DEUX_PI_F - *teta;
}

int sorvel_tilde_chercher_paire(const t_sorvel_tilde *x, float teta) {
    const int m = x->nb_hp;
    for (int k = 0; k < m - 1; k++)
        if (x->hp_teta[x->hp_ordre[k]] <= teta && teta < x->hp_teta[x->hp_ordre[k + 1]]) return k;
    // The pair that spans angle 0 takes everything outside the others.
    return m - 1;
}

int sorvel_tilde_paire_exacte(const t_sorvel_tilde *x, bool polaire, float a, float b) {
    float d, teta;
    if (polaire) {
        teta = sorvel_tilde_radians(b);
        if (a < 0.0f) teta = teta < PI_F ? teta + PI_F : teta - PI_F;
    } else {
        sorvel_tilde_direction(a, b, &d, &teta);
    }
    return sorvel_tilde_chercher_paire(x, teta);
}

// The pair's gains, power-normalised (twice the sum of squares under the
// root), fall as 1/distance outside the disc; inside it they fade out toward
// the centre while the spread fades in, both meeting the outside law at the
// rim.
void calculer_gains_paire(const t_sorvel_tilde *x, float px, float py, float d, float teta,
                          float *gains) {
    if (!(d < DISTANCE_LIMITE)) return;
    const int m = x->nb_hp;
    const int k = sorvel_tilde_chercher_paire(x, teta);
    const int s1 = x->hp_ordre[k], s2 = x->hp_ordre[(k + 1) % m];
    const float *mat = x->hp_mat[k], rc = x->rayon_disq_centrale;
    const float g1 = px * mat[0] + py * mat[1];
    const float g2 = px * mat[2] + py * mat[3];
    const float somme = g1 * g1 + g2 * g2;
    const float norme = somme > 1e-6f ? 1.0f / sqrtf(2.0f * somme) : 0.0f;
    const float e1 = g1 * norme * x->hp_dist[s1], e2 = g2 * norme * x->hp_dist[s2];
    if (d > rc) {
        gains[s1] = e1 / d;
        gains[s2] = e2 / d;
        return;
    }
    gains[s1] = e1 * d / (rc * rc);
    gains[s2] = e2 * d / (rc * rc);
    const float centre = 1.0f - d / rc;
    if (centre != 0.0f)
        for (int j = 0; j < m; j++) gains[j] += centre * x->gain_centre[j];
}

// Stores the position as received, then computes the targets from scratch
// and starts the glide.
static void appliquer_position(t_sorvel_tilde *x, float px, float py, float d, float teta) {
    x->source_x = px;
    x->source_y = py;
    x->source_teta = teta;
    x->source_dist = d;
    // A negative polar distance is the same point seen half a turn away.
    if (d < 0.0f) {
        d = -d;
        teta = teta < PI_F ? teta + PI_F : teta - PI_F;
    }
    for (int j = 0; j < x->nb_sorties; j++) x->gain_cible[j] = 0.0f;
    calculer_gains_paire(x, px, py, d, teta, x->gain_cible);
    lancer_interp(x);
}

static void appliquer_polaire(t_sorvel_tilde *x, float d, float teta) {
    appliquer_position(x, static_cast<float>(d * cos(teta)), static_cast<float>(d * sin(teta)), d,
                       teta);
}

static void appliquer_cartesien(t_sorvel_tilde *x, float px, float py) {
    float d, teta;
    sorvel_tilde_direction(px, py, &d, &teta);
    appliquer_position(x, px, py, d, teta);
}

// A coordinate that is not a number or infinite leaves the source where it is.
void sorvel_tilde_recoit_x(t_sorvel_tilde *x, t_floatarg f) {
    if (!fini(f)) return;
    if (x->type_repere == REPERE_CARTESIEN)
        appliquer_cartesien(x, f, x->source_y);
    else
        appliquer_polaire(x, f, x->source_teta);
}

void sorvel_tilde_recoit_y(t_sorvel_tilde *x, t_floatarg f) {
    if (!fini(f)) return;
    if (x->type_repere == REPERE_CARTESIEN)
        appliquer_cartesien(x, x->source_x, f);
    else
        appliquer_polaire(x, x->source_dist, sorvel_tilde_radians(f));
}

// One computation and one glide for both coordinates.
void sorvel_tilde_recoit_liste(t_sorvel_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const float a0 = atom_getfloat(&argv[0]);
    const float a1 = argc >= 2 ? atom_getfloat(&argv[1]) : 0.0f;
    if (!fini(a0) || !fini(a1)) return;
    if (argc >= 2) {
        if (x->type_repere == REPERE_CARTESIEN)
            x->source_y = a1;
        else
            x->source_teta = sorvel_tilde_radians(a1);
    } else if (x->type_repere == REPERE_POLAIRE) {
        x->source_teta = sorvel_tilde_radians(x->source_teta * 180.0f / PI_F);
    }
    sorvel_tilde_recoit_x(x, a0);
}

void sorvel_tilde_reappliquer_position(t_sorvel_tilde *x) {
    sorvel_tilde_recoit_x(x, x->type_repere == REPERE_CARTESIEN ? x->source_x : x->source_dist);
}
