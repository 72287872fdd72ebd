// trazin~: creation arguments, the cube layout and the signal-mode block.

#include <cmath>
#include <cstdlib>

#include "../common/numbers.hpp"
#include "../common/cosine_table.hpp"
#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "cube.hpp"
#include "trazin_tilde.hpp"

namespace {

void lire_repere(t_trazin_tilde *x, int argc, t_atom *argv) {
    const char repere = lettre_choisie(argc, argv, 0, "cps", 'c');
    if (!repere) {
        post("trazin~: erreur dans le type des coordonn" CP850_E_AIGU "es, ");
        post("  elles sont cart" CP850_E_AIGU "siennes par d" CP850_E_AIGU "faut.");
    }
    x->type_repere = repere == 'p'   ? REPERE_POLAIRE
                     : repere == 's' ? REPERE_SPHERIQUE
                                     : REPERE_CARTESIEN;
}

void lire_entrees(t_trazin_tilde *x, int argc, t_atom *argv) {
    const char entrees = lettre_choisie(argc, argv, 1, "cs", 'c');
    if (!entrees) {
        post("trazin~: erreur dans le type des entr" CP850_E_AIGU "es, ");
        post("  elles sont en contr" CP850_O_BARRE "le par d" CP850_E_AIGU "faut.");
    }
    x->type_entrees = entrees == 's' ? 0 : 1;
}

} // namespace

void trazin_tilde_installer_bloc(t_trazin_tilde *x, float *bloc) {
    if (!bloc) {
        // The inlets stay signal inlets so the patch keeps its wiring;
        // without the tables the signal routine plays the glide only.
        post("trazin~: pas assez de m" CP850_E_AIGU "moire pour les tables, ");
        post("  les entr" CP850_E_AIGU "es signal restent muettes.");
        return;
    }
    x->hp_cos_teta = bloc;
    x->hp_sin_teta = bloc + TRAZIN_NB_HP;
    x->hp_cos_elev = bloc + 2 * TRAZIN_NB_HP;
    x->hp_sin_elev = bloc + 3 * TRAZIN_NB_HP;
    x->table_cos = bloc + 4 * TRAZIN_NB_HP;
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        x->hp_cos_teta[j] = cosf(x->hp_teta[j]);
        x->hp_sin_teta[j] = sinf(x->hp_teta[j]);
        x->hp_cos_elev[j] = cosf(x->hp_elev[j]);
        x->hp_sin_elev[j] = sinf(x->hp_elev[j]);
    }
    remplir_table_cos(x->table_cos);
}

void trazin_tilde_preparer(t_trazin_tilde *x, int argc, t_atom *argv) {
    lire_repere(x, argc, argv);
    lire_entrees(x, argc, argv);
    x->offset = argc >= 3 ? fabsf(atom_getfloat(&argv[2])) : TRAZIN_OFFSET_DEFAUT;
    if (!offset_valide(x->offset)) {
        post("trazin~: Pas d'offset n" CP850_E_AIGU "gatif ou nul s'il vous plait.");
        x->offset = TRAZIN_OFFSET_DEFAUT;
    }
    x->temps_interp =
        temps_interp_echantillons(argc >= 4 ? atom_getfloat(&argv[3]) : 10.0f, sys_getsr());

    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        x->gain_courant[j] = 0.0f;
        x->hp_teta[j] = HP_TETA[j];
        x->hp_elev[j] = HP_ELEV[j];
    }
    x->entrees_muettes = 0;
    x->source_y = 1.0f;
    x->source_z = 0.0f;
    x->source_teta = TETA_DEFAUT;
    x->source_phi = TETA_DEFAUT;

    if (x->type_entrees == 0)
        trazin_tilde_installer_bloc(
            x, static_cast<float *>(malloc(TRAZIN_TAILLE_BLOC * sizeof(float))));

    // Polar: one unit from the vertical axis, straight ahead. Cartesian: x
    // = 0 with y = 1, the same point. Spherical: a distance of 0, the centre.
    trazin_tilde_recoit_x(x, x->type_repere == REPERE_POLAIRE ? 1.0f : 0.0f);
}
