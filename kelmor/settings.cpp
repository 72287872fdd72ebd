// kelmor~: the settings messages and the status report.

#include <cfloat>
#include <climits>
#include <cmath>

#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "kelmor_tilde.hpp"

void kelmor_tilde_muter_entrees_signal(t_kelmor_tilde *x, t_floatarg f) {
    x->entrees_muettes = f != 0.0f;
}

void kelmor_tilde_changer_offset(t_kelmor_tilde *x, t_floatarg f) {
    if (!offset_valide(f)) {
        post("kelmor~: Pas d'offset n" CP850_E_AIGU "gatif ou nul s'il vous plait.");
        return;
    }
    x->offset = f;
    kelmor_tilde_recalculer(x);
}

// The source does not move: only its polar form is derived again.
void kelmor_tilde_changer_type_repere(t_kelmor_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const char lettre = lettre_choisie(argc, argv, 0, "cp", 0);
    if (lettre)
        x->type_repere = lettre == 'c' ? REPERE_CARTESIEN : REPERE_POLAIRE;
    else
        post("kelmor~: erreur, ne reconnait le type de rep" CP850_E_GRAVE "re.");
    if (x->type_repere != REPERE_POLAIRE) return;
    const double sx = x->source_x, sy = x->source_y;
    const double d = std::sqrt(sx * sx + sy * sy);
    // A source near the float limit keeps a finite distance and its direction.
    const bool representable = d <= FLT_MAX;
    x->source_dist = representable ? static_cast<float>(d) : FLT_MAX;
    if (x->source_dist == 0.0f) {
        x->source_teta = 0.0f;
    } else {
        // Rounded, the distance is never below |source_x|: the cosine stays in
        // [-1, 1].
        const float teta =
            acosf(representable ? x->source_x / x->source_dist : static_cast<float>(sx / d));
        x->source_teta = x->source_y < 0.0f ? -teta : teta;
    }
}

namespace {

// The glide length as it sounds at the present sample rate.
int millisecondes(int echantillons) {
    const double ms = echantillons * 1000.0 / sys_getsr();
    if (!(ms < 2147483648.0)) return INT_MAX;
    return static_cast<int>(ms);
}

const char *ligne_type(const t_kelmor_tilde *x) {
    if (x->type_entrees == ENTREES_CONTROLE)
        return x->type_repere == REPERE_CARTESIEN ? "   coordonn" CP850_E_AIGU "es cart" CP850_E_AIGU
                                     "siennes en contr" CP850_O_CIRC "le,"
                                   : "   coordonn" CP850_E_AIGU "es polaires en contr" CP850_O_CIRC
                                     "le,";
    return x->type_repere == REPERE_CARTESIEN ? "   coordonn" CP850_E_AIGU "es cart" CP850_E_AIGU
                                 "siennes en signal,"
                               : "   coordonn" CP850_E_AIGU "es polaires en signal,";
}

} // namespace

void kelmor_tilde_informations(t_kelmor_tilde *x, t_symbol *, int, t_atom *) {
    post("Info Kelmor~: ");
    post("%s", ligne_type(x));
    // Without its tables a signal instance can only play the glide.
    if (x->type_entrees == ENTREES_SIGNAL && (x->entrees_muettes || !x->hp_cos))
        post("   avec entr" CP850_E_AIGU "es signal inactives,");
    post("   offset                 = %f,", x->offset);
    if (x->type_entrees == ENTREES_CONTROLE)
        post("   temps d'interpolation  = %d ms,", millisecondes(x->temps_interp));
    post("   nombre d'haut-parleurs = %d,", x->nb_hp);
    post("   position des haut-parleurs:");
    for (int k = 1; k <= x->nb_hp; k++) {
        const double dist = x->hp_dist[k - 1], teta = x->hp_teta[k - 1];
        post("      hp n" CP850_DEGRE "%d: %f.x + %f.y%s", k, dist * std::cos(teta),
             dist * std::sin(teta), k < x->nb_hp ? "," : ".");
    }
}
