// kelmor~: the Pd glue (creation, destruction, dsp, class and method table).

#include "kelmor_tilde.hpp"

#include <cmath>
#include <cstdlib>

#include "../common/cosine_table.hpp"
#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "../common/numbers.hpp"
#include "../common/multicanal.hpp"
#include "../common/pd_glue.hpp"

static t_class *kelmor_tilde_class;

static void *kelmor_tilde_new(t_symbol *, int argc, t_atom *argv) {
    t_kelmor_tilde *x = reinterpret_cast<t_kelmor_tilde *>(pd_new(kelmor_tilde_class));
    x->sortie_multicanal = lire_drapeau_mc("kelmor~", &argc, &argv);

    int nb = argc >= 1 ? entier_tronque(atom_getfloat(&argv[0])) : 4;
    if (nb < KELMOR_MIN_HP || nb > KELMOR_MAX_HP) {
        nb = 4;
        post("kelmor~: Il y a un probl" CP850_E_GRAVE "me dans la d" CP850_E_AIGU
             "claration du nombre de haut-parleur, \n  il est de %d par d" CP850_E_AIGU "faut.",
             nb);
    }
    x->nb_sorties = nb;
    x->nb_hp = nb;

    const char repere = lettre_choisie(argc, argv, 1, "cp", 'c');
    if (!repere)
        post("kelmor~: erreur dans le type des coordonn" CP850_E_AIGU "es, \n  elles sont "
             "cart" CP850_E_AIGU "siennes par d" CP850_E_AIGU "faut.");
    x->type_repere = repere == 'p' ? REPERE_POLAIRE : REPERE_CARTESIEN;

    const char entrees = lettre_choisie(argc, argv, 2, "cs", 'c');
    if (!entrees)
        post("kelmor~: erreur dans le type des entr" CP850_E_AIGU "es, \n  elles sont en "
             "controle par d" CP850_E_AIGU "faut.");
    x->type_entrees = entrees == 's' ? ENTREES_SIGNAL : ENTREES_CONTROLE;

    x->offset = argc >= 4 ? fabsf(atom_getfloat(&argv[3])) : 0.3f;
    if (!offset_valide(x->offset)) {
        post("kelmor~: Pas d'offset n" CP850_E_AIGU "gatif ou nul s'il vous plait.");
        x->offset = 0.3f;
    }

    x->temps_interp =
        temps_interp_echantillons(argc >= 5 ? atom_getfloat(&argv[4]) : 10.0f, sys_getsr());

    for (int i = 0; i < x->nb_sorties; i++) x->gain_courant[i] = 0.0f;
    x->entrees_muettes = 0;
    x->source_y = 1.0f;
    x->source_teta = TETA_DEFAUT;
    kelmor_tilde_anneau_defaut(x, x->nb_sorties);
    if (x->type_entrees == ENTREES_SIGNAL)
        if (float *bloc =
                allouer_bloc("kelmor~", 2 * static_cast<size_t>(x->nb_sorties) + TAILLE_TABLE_COS))
            kelmor_tilde_installer_bloc(x, bloc);
    // Straight ahead at distance 1; the gains start at 0, so it fades in.
    kelmor_tilde_recoit_x(x, x->type_repere == REPERE_POLAIRE ? 1.0f : 0.0f);

    creer_entrees_position(&x->x_obj, x->type_entrees == ENTREES_CONTROLE, {"x", "y"});
    creer_sorties(&x->x_obj, x->nb_sorties, x->sortie_multicanal);
    return x;
}

static void kelmor_tilde_dest(t_kelmor_tilde *x) {
    if (x->type_entrees == ENTREES_SIGNAL) free(x->hp_cos);
}

static void kelmor_tilde_dsp(t_kelmor_tilde *x, t_signal **sp) {
    ajouter_perform_objet(x, sp, 2, x->nb_sorties, kelmor_tilde_perform_controle,
                          kelmor_tilde_perform_signal);
}

RINGCUBE_EXPORT void kelmor_tilde_setup(void) {
    kelmor_tilde_class =
        class_new(gensym("kelmor~"), pd_createur(kelmor_tilde_new), pd_methode(kelmor_tilde_dest),
                  sizeof(t_kelmor_tilde), drapeaux_multicanal(), A_GIMME, 0);
    t_class *c = kelmor_tilde_class;
    class_addmethod(c, pd_methode(kelmor_tilde_dsp), gensym("dsp"), A_CANT, 0);
    class_addmethod(c, nullfn, gensym("signal"), A_NULL);
    class_addmethod(c, pd_methode(kelmor_tilde_recoit_x), gensym("x"), A_DEFFLOAT, 0);
    class_addmethod(c, pd_methode(kelmor_tilde_recoit_y), gensym("y"), A_DEFFLOAT, 0);
    class_addlist(c, pd_methode(kelmor_tilde_recoit_liste));
    class_addfloat(c, pd_methode(kelmor_tilde_recoit_x));
    class_addmethod(c, pd_methode(kelmor_tilde_teta_positionner_hp), gensym("a_setpos"), A_GIMME,
                    0);
    class_addmethod(c, pd_methode(kelmor_tilde_dist_teta_positionner_hp), gensym("ra_setpos"),
                    A_GIMME, 0);
    class_addmethod(c, pd_methode(kelmor_tilde_xy_positionner_hp), gensym("xy_setpos"), A_GIMME, 0);
    class_addmethod(c, pd_methode(kelmor_tilde_initialiser_nb_hp), gensym("set_nb_hp"), A_DEFFLOAT,
                    0);
    class_addmethod(c, pd_methode(kelmor_tilde_muter_entrees_signal), gensym("mute_sig"),
                    A_DEFFLOAT, 0);
    class_addmethod(c, pd_methode(kelmor_tilde_changer_offset), gensym("set_offset"), A_DEFFLOAT,
                    0);
    class_addmethod(c, pd_methode(kelmor_tilde_changer_type_repere), gensym("change_type"), A_GIMME,
                    0);
    class_addmethod(c, pd_methode(kelmor_tilde_informations), gensym("get_info"), A_GIMME, 0);
    class_sethelpsymbol(c, gensym("kelmor~"));

    post("\"KELMOR~\"  panoramique du premier ordre sur 2 " CP850_A_GRAVE " 16 haut-parleurs,");
    post("  avec offset, en contr" CP850_O_CIRC "le ou en signal,");
    post("  biblioth" CP850_E_GRAVE "que ringcube, version " RINGCUBE_VERSION ".");
}
