// trazin~: the settings messages.

#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "trazin_tilde.hpp"

// The stored position is not converted: the next message in the new system
// starts from whatever that system's fields last held.
void trazin_tilde_changer_type_repere(t_trazin_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const char lettre = lettre_choisie(argc, argv, 0, "cps", 0);
    if (lettre)
        x->type_repere = lettre == 'p'   ? REPERE_POLAIRE
                         : lettre == 's' ? REPERE_SPHERIQUE
                                         : REPERE_CARTESIEN;
    else
        post("trazin~: erreur, ne reconnait le type de rep" CP850_E_GRAVE "re.");
}

void trazin_tilde_muter_entrees_signal(t_trazin_tilde *x, t_floatarg f) {
    x->entrees_muettes = f != 0.0f;
}

// An infinite offset would silence every loudspeaker for good: it is refused
// like a null one. In signal mode the signal routine reads the offset at
// every block; the glide targets keep the old one until the next position
// message.
void trazin_tilde_changer_offset(t_trazin_tilde *x, t_floatarg f) {
    if (!offset_valide(f)) {
        post("trazin~: Pas d'offset n" CP850_E_AIGU "gatif ou nul s'il vous plait.");
        return;
    }
    x->offset = f;
    if (x->type_entrees == ENTREES_CONTROLE)
        trazin_tilde_recoit_x(x, x->type_repere == REPERE_CARTESIEN ? x->source_x : x->source_dist);
}
