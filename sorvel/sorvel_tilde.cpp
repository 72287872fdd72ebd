// sorvel~: the Pd glue (class, method table, creation, dsp, destruction).

#include "sorvel_tilde.hpp"

#include <cmath>
#include <cstdlib>

#include "../common/numbers.hpp"
#include "../common/cosine_table.hpp"
#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "../common/multicanal.hpp"
#include "../common/pd_glue.hpp"

static t_class *sorvel_tilde_class;

static void *sorvel_tilde_new(t_symbol *, int argc, t_atom *argv) {
    t_sorvel_tilde *x = reinterpret_cast<t_sorvel_tilde *>(pd_new(sorvel_tilde_class));
    x->sortie_multicanal = lire_drapeau_mc("sorvel~", &argc, &argv);

    int nb = argc >= 1 ? entier_tronque(atom_getfloat(&argv[0])) : 4;
    if (nb < 3 || nb > SORVEL_MAX_HP) {
        nb = 4;
        post("sorvel~: Il y a un probl" CP850_E_GRAVE "me dans la d" CP850_E_AIGU
             "claration du nombre de haut-parleur, ");
        post("  il est de %d par d" LATIN1_E_AIGU "faut.", nb);
    }
    x->nb_sorties = nb;
    x->nb_hp = nb;

    const char repere = lettre_choisie(argc, argv, 1, "cp", 'c');
    if (!repere) {
        post("sorvel~: erreur dans le type des coordonn" CP850_E_AIGU "es, ");
        post("  elles sont cart" CP850_E_AIGU "siennes par d" CP850_E_AIGU "faut.");
    }
    x->type_repere = repere == 'p' ? REPERE_POLAIRE : REPERE_CARTESIEN;

    const char entrees = lettre_choisie(argc, argv, 2, "cs", 'c');
    if (!entrees) {
        post("sorvel~: erreur dans le type des entr" CP850_E_AIGU "es, ");
        post("  elles sont en controle par d" CP850_E_AIGU "faut.");
    }
    x->type_entrees = entrees == 's' ? ENTREES_SIGNAL : ENTREES_CONTROLE;

    x->rayon_disq_centrale = argc >= 4 ? fabsf(atom_getfloat(&argv[3])) : 0.5f;
    // An infinite radius would put every source inside the disc for good.
    if (!(x->rayon_disq_centrale > 1e-6) || !fini(x->rayon_disq_centrale)) {
        post("sorvel~: Pas de rayon de disque centrale nul s'il vous plait.");
        x->rayon_disq_centrale = 0.5f;
    }

    x->temps_interp =
        temps_interp_echantillons(argc >= 5 ? atom_getfloat(&argv[4]) : 10.0f, sys_getsr());

    for (int j = 0; j < x->nb_hp; j++) x->gain_courant[j] = 0.0f;
    x->entrees_muettes = 0;
    x->source_y = 1.0f;
    x->source_teta = TETA_DEFAUT;

    sorvel_tilde_anneau_defaut(x, x->nb_hp);
    sorvel_tilde_init_hp_mat(x);
    // Straight ahead at distance 1, faded in from the zero gains.
    sorvel_tilde_recoit_x(x, x->type_repere == REPERE_CARTESIEN ? 0.0f : 1.0f);

    if (x->type_entrees == ENTREES_SIGNAL) {
        x->table_cos = static_cast<float *>(malloc(TAILLE_TABLE_COS * sizeof(float)));
        if (x->table_cos)
            remplir_table_cos(x->table_cos);
        else {
            // The inlets stay signal inlets so the patch keeps its wiring;
            // without the table the signal routine plays the glide only.
            post("sorvel~: pas assez de m" CP850_E_AIGU "moire pour la table des cosinus, ");
            post("  les entr" CP850_E_AIGU "es signal restent muettes.");
        }
    }

    creer_entrees_position(&x->x_obj, x->type_entrees == ENTREES_CONTROLE, {"x", "y"});
    creer_sorties(&x->x_obj, x->nb_sorties, x->sortie_multicanal);
    return x;
}

static void sorvel_tilde_dest(t_sorvel_tilde *x) {
    if (x->type_entrees == ENTREES_SIGNAL) free(x->table_cos);
}

static void sorvel_tilde_dsp(t_sorvel_tilde *x, t_signal **sp) {
    ajouter_perform_objet(x, sp, 2, x->nb_sorties, sorvel_tilde_perform_controle,
                          sorvel_tilde_perform_signal);
}

RINGCUBE_EXPORT void sorvel_tilde_setup(void) {
    sorvel_tilde_class =
        class_new(gensym("sorvel~"), pd_createur(sorvel_tilde_new), pd_methode(sorvel_tilde_dest),
                  sizeof(t_sorvel_tilde), drapeaux_multicanal(), A_GIMME, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_dsp), gensym("dsp"), A_CANT, 0);
    class_addmethod(sorvel_tilde_class, nullfn, gensym("signal"), A_NULL);
    class_addfloat(sorvel_tilde_class, sorvel_tilde_recoit_x);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_recoit_x), gensym("x"), A_DEFFLOAT,
                    0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_recoit_y), gensym("y"), A_DEFFLOAT,
                    0);
    class_addlist(sorvel_tilde_class, sorvel_tilde_recoit_liste);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_teta_positionner_hp),
                    gensym("a_setpos"), A_GIMME, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_dist_teta_positionner_hp),
                    gensym("ra_setpos"), A_GIMME, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_xy_positionner_hp),
                    gensym("xy_setpos"), A_GIMME, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_initialiser_nb_hp),
                    gensym("set_nb_hp"), A_DEFFLOAT, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_muter_entrees_signal),
                    gensym("mute_sig"), A_DEFFLOAT, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_changer_rayon_disq_centrale),
                    gensym("set_rc"), A_DEFFLOAT, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_changer_type_repere),
                    gensym("change_type"), A_GIMME, 0);
    class_addmethod(sorvel_tilde_class, pd_methode(sorvel_tilde_informations), gensym("get_info"),
                    A_GIMME, 0);
    class_sethelpsymbol(sorvel_tilde_class, gensym("sorvel~"));
}
