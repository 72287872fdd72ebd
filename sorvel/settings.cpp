// sorvel~ settings after creation, and the status report.

#include <cmath>

#include "../common/numbers.hpp"
#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "sorvel_tilde.hpp"

void sorvel_tilde_muter_entrees_signal(t_sorvel_tilde *x, t_floatarg f) {
    x->entrees_muettes = f != 0.0f ? 1 : 0;
}

// The source does not move: the next coordinates are read in the new system,
// starting from the same position.
void sorvel_tilde_changer_type_repere(t_sorvel_tilde *x, t_symbol *, int argc, t_atom *argv) {
    if (argc < 1) return;
    const char lettre = lettre_choisie(argc, argv, 0, "cp", 0);
    if (lettre)
        x->type_repere = lettre == 'c' ? REPERE_CARTESIEN : REPERE_POLAIRE;
    else
        post("sorvel~: erreur, ne reconnait le type de rep" CP850_E_GRAVE "re.");
    if (x->type_repere == REPERE_POLAIRE)
        sorvel_tilde_direction(x->source_x, x->source_y, &x->source_dist, &x->source_teta);
}

void sorvel_tilde_changer_rayon_disq_centrale(t_sorvel_tilde *x, t_floatarg r) {
    // An infinite radius would put every source inside the disc for good.
    if (!(r > 1e-6) || !fini(r)) {
        post("sorvel~: pas de rayon nul ou n" CP850_E_AIGU "gatif.");
        return;
    }
    x->rayon_disq_centrale = r;
    sorvel_tilde_init_hp_mat(x);
    sorvel_tilde_reappliquer_position(x);
}

void sorvel_tilde_informations(t_sorvel_tilde *x, t_symbol *, int, t_atom *) {
    post("Info Sorvel~: ");
    const char *ligne = nullptr;
    if (x->type_entrees == ENTREES_CONTROLE)
        ligne = x->type_repere == REPERE_POLAIRE ? "   coordonn" CP850_E_AIGU
                                                   "es polaires en contr" CP850_O_CIRC "le,"
                                                 : "   coordonn" CP850_E_AIGU "es cart" CP850_E_AIGU
                                                   "siennes en contr" CP850_O_CIRC "le,";
    else
        ligne = x->type_repere == REPERE_POLAIRE
                    ? "   coordonn" CP850_E_AIGU "es polaires en signal,"
                    : "   coordonn" CP850_E_AIGU "es cart" CP850_E_AIGU "siennes en signal,";
    post("%s", ligne);
    post("   rayon du disque cental = %f,", x->rayon_disq_centrale);
    if (x->type_entrees == ENTREES_SIGNAL && x->entrees_muettes == 1)
        post("   avec entr" CP850_E_AIGU "es signal inactives,");
    if (x->type_entrees == ENTREES_CONTROLE) {
        // In double: samples times 1000 overflows an int for glides over 48 s.
        const double ms = x->temps_interp * 1000.0 / sys_getsr();
        post("   temps d'interpolation  = %d ms,",
             ms < 2147483647.0 ? static_cast<int>(ms) : 2147483647);
    }
    post("   nombre d'haut-parleurs = %d,", x->nb_hp);
    post("   position des haut-parleurs:");
    for (int j = 1; j < x->nb_hp; j++)
        post("      hp n" CP850_DEGRE "%d: %f.x + %f.y,", j, x->hp_x[j - 1], x->hp_y[j - 1]);
    post("      hp n" CP850_DEGRE "%d: %f.x + %f.y.", x->nb_hp, x->hp_x[x->nb_hp - 1],
         x->hp_y[x->nb_hp - 1]);
}
