// kelmor~: where the loudspeakers stand, and the messages that move them.

#include <cfloat>
#include <cmath>

#include "../common/cosine_table.hpp"
#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "../common/numbers.hpp"
#include "kelmor_tilde.hpp"

namespace {

// The laws read each loudspeaker's direction from these, never through a
// trigonometric call per message or per sample.
void placer_hp(t_kelmor_tilde *x, int i, float teta, float dist) {
    x->hp_teta[i] = teta;
    x->hp_dist[i] = dist;
    x->hp_cos_double[i] = std::cos(static_cast<double>(teta));
    x->hp_sin_double[i] = std::sin(static_cast<double>(teta));
    if (x->hp_cos) {
        x->hp_cos[i] = cosf(teta);
        x->hp_sin[i] = sinf(teta);
    }
}

} // namespace

// Symmetric about the front (+y): loudspeaker 1 at pi/2 + pi/n, the next
// ones 2pi/n further clockwise each.
void kelmor_tilde_anneau_defaut(t_kelmor_tilde *x, int n) {
    for (int i = 0; i < n; i++)
        placer_hp(x, i, (0.5f + static_cast<float>(1 - 2 * i) / static_cast<float>(n)) * PI_F,
                  1.0f);
}

void kelmor_tilde_installer_bloc(t_kelmor_tilde *x, float *bloc) {
    x->hp_cos = bloc;
    x->hp_sin = bloc + x->nb_sorties;
    x->table_cos = bloc + 2 * x->nb_sorties;
    remplir_table_cos(x->table_cos);
    for (int i = 0; i < x->nb_sorties; i++) placer_hp(x, i, x->hp_teta[i], x->hp_dist[i]);
}

void kelmor_tilde_initialiser_nb_hp(t_kelmor_tilde *x, t_floatarg n) {
    const int nb = entier_tronque(n);
    if (nb >= KELMOR_MIN_HP && nb <= x->nb_sorties) {
        x->nb_hp = nb;
        kelmor_tilde_anneau_defaut(x, nb);
    } else {
        post("kelmor~: Le nombre de haut-parleurs doit " CP850_E_CIRC "treinf" CP850_E_AIGU
             "rieur " CP850_A_GRAVE " %d, \n  et sup" CP850_E_AIGU "rieur " CP850_A_GRAVE
             " 2, ou " CP850_E_AIGU "gal.",
             x->nb_sorties);
    }
    kelmor_tilde_recalculer(x);
}

// An angle too large to become radians comes out infinite and is then
// taken as absent.
void kelmor_tilde_teta_positionner_hp(t_kelmor_tilde *x, t_symbol *, int argc, t_atom *argv) {
    for (int i = 0; i < argc && i < x->nb_hp; i++) {
        const float teta = en_radians(atom_getfloat(&argv[i]));
        if (fini(teta)) placer_hp(x, i, teta, 1.0f);
    }
    kelmor_tilde_recalculer(x);
}

void kelmor_tilde_dist_teta_positionner_hp(t_kelmor_tilde *x, t_symbol *, int argc, t_atom *argv) {
    for (int i = 0; i < x->nb_hp && 2 * i < argc; i++) {
        float dist = atom_getfloat(&argv[2 * i]);
        float teta = 2 * i + 1 < argc ? en_radians(atom_getfloat(&argv[2 * i + 1])) : x->hp_teta[i];
        if (!fini(dist)) dist = x->hp_dist[i];
        if (!fini(teta)) teta = x->hp_teta[i];
        placer_hp(x, i, teta, dist);
    }
    kelmor_tilde_recalculer(x);
}

// A pair without its y takes the y of the pair before it in the same message
// (0 for the first); a y that is not finite counts as missing.
void kelmor_tilde_xy_positionner_hp(t_kelmor_tilde *x, t_symbol *, int argc, t_atom *argv) {
    float y = 0.0f;
    for (int i = 0; i < x->nb_hp && 2 * i < argc; i++) {
        const float hx = atom_getfloat(&argv[2 * i]);
        if (2 * i + 1 < argc) {
            const float hy = atom_getfloat(&argv[2 * i + 1]);
            if (fini(hy)) y = hy;
        }
        // Squared in double so that a far loudspeaker keeps its true distance;
        // one beyond the float range keeps its place, as a non-finite x does.
        const double d_exacte =
            std::sqrt(static_cast<double>(hx) * hx + static_cast<double>(y) * y);
        if (!(d_exacte <= FLT_MAX)) continue;
        const float d = static_cast<float>(d_exacte);
        float teta = 0.0f;
        if (d != 0.0f) {
            // Rounded, d is never below |hx|, so the cosine stays in [-1, 1].
            teta = acosf(hx / d);
            if (y < 0.0f) teta = -teta;
        }
        placer_hp(x, i, teta, d);
    }
    kelmor_tilde_recalculer(x);
}
