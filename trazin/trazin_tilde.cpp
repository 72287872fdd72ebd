// trazin~: the Pd glue (creation, destruction, dsp, class and method table).

#include "trazin_tilde.hpp"

#include <cmath>
#include <cstdlib>

#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "../common/numbers.hpp"
#include "../common/multicanal.hpp"
#include "../common/pd_glue.hpp"

static t_class *trazin_tilde_class;

static void *trazin_tilde_new(t_symbol *, int argc, t_atom *argv) {
    t_trazin_tilde *x = reinterpret_cast<t_trazin_tilde *>(pd_new(trazin_tilde_class));
    x->sortie_multicanal = lire_drapeau_mc("trazin~", &argc, &argv);

    const char repere = lettre_choisie(argc, argv, 0, "cps", 'c');
    if (!repere) {
        post("trazin~: erreur dans le type des coordonn" CP850_E_AIGU "es, ");
        post("  elles sont cart" CP850_E_AIGU "siennes par d" CP850_E_AIGU "faut.");
    }
    x->type_repere = repere == 'p'   ? REPERE_POLAIRE
                     : repere == 's' ? REPERE_SPHERIQUE
                                     : REPERE_CARTESIEN;

    const char entrees = lettre_choisie(argc, argv, 1, "cs", 'c');
    if (!entrees) {
        post("trazin~: erreur dans le type des entr" CP850_E_AIGU "es, ");
        post("  elles sont en contr" CP850_O_BARRE "le par d" CP850_E_AIGU "faut.");
    }
    x->type_entrees = entrees == 's' ? ENTREES_SIGNAL : ENTREES_CONTROLE;

    x->offset = argc >= 3 ? fabsf(atom_getfloat(&argv[2])) : TRAZIN_OFFSET_DEFAUT;
    if (!offset_valide(x->offset)) {
        post("trazin~: Pas d'offset n" CP850_E_AIGU "gatif ou nul s'il vous plait.");
        x->offset = TRAZIN_OFFSET_DEFAUT;
    }
    x->temps_interp =
        temps_interp_echantillons(argc >= 4 ? atom_getfloat(&argv[3]) : 10.0f, sys_getsr());

    for (int j = 0; j < TRAZIN_NB_HP; j++) x->gain_courant[j] = 0.0f;
    x->entrees_muettes = 0;
    x->source_y = 1.0f;
    x->source_z = 0.0f;
    x->source_teta = TETA_DEFAUT;
    x->source_phi = TETA_DEFAUT;
    trazin_tilde_disposer_cube(x);
    if (x->type_entrees == ENTREES_SIGNAL)
        if (float *bloc = allouer_bloc("trazin~", TRAZIN_TAILLE_BLOC))
            trazin_tilde_installer_bloc(x, bloc);
    // Polar: one unit from the vertical axis, straight ahead. Cartesian: x
    // = 0 with y = 1, the same point. Spherical: a distance of 0, the centre.
    trazin_tilde_recoit_x(x, x->type_repere == REPERE_POLAIRE ? 1.0f : 0.0f);

    creer_entrees_position(&x->x_obj, x->type_entrees == ENTREES_CONTROLE, {"x", "y", "z"});
    creer_sorties(&x->x_obj, TRAZIN_NB_HP, x->sortie_multicanal);
    return x;
}

static void trazin_tilde_dest(t_trazin_tilde *x) {
    if (x->type_entrees == ENTREES_SIGNAL) free(x->hp_cos_teta);
}

static void trazin_tilde_dsp(t_trazin_tilde *x, t_signal **sp) {
    ajouter_perform_objet(x, sp, 3, TRAZIN_NB_HP, trazin_tilde_perform_controle,
                          trazin_tilde_perform_signal);
}

RINGCUBE_EXPORT void trazin_tilde_setup(void) {
    trazin_tilde_class =
        class_new(gensym("trazin~"), pd_createur(trazin_tilde_new), pd_methode(trazin_tilde_dest),
                  sizeof(t_trazin_tilde), drapeaux_multicanal(), A_GIMME, 0);
    t_class *c = trazin_tilde_class;
    class_addmethod(c, pd_methode(trazin_tilde_dsp), gensym("dsp"), A_CANT, 0);
    class_addmethod(c, nullfn, gensym("signal"), A_NULL);
    class_addmethod(c, pd_methode(trazin_tilde_changer_offset), gensym("set_offset"), A_DEFFLOAT,
                    0);
    class_addmethod(c, pd_methode(trazin_tilde_changer_type_repere), gensym("change_type"), A_GIMME,
                    0);
    class_addmethod(c, pd_methode(trazin_tilde_muter_entrees_signal), gensym("mute_sig"),
                    A_DEFFLOAT, 0);
    class_addfloat(c, pd_methode(trazin_tilde_recoit_x));
    class_addmethod(c, pd_methode(trazin_tilde_recoit_x), gensym("x"), A_DEFFLOAT, 0);
    class_addmethod(c, pd_methode(trazin_tilde_recoit_y), gensym("y"), A_DEFFLOAT, 0);
    class_addmethod(c, pd_methode(trazin_tilde_recoit_z), gensym("z"), A_DEFFLOAT, 0);
    class_addlist(c, pd_methode(trazin_tilde_recoit_liste));
    class_sethelpsymbol(c, gensym("trazin~"));
}
