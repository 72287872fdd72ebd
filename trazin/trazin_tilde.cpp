// trazin~: the Pd glue (class, method table, creation, dsp, destruction).

#include "trazin_tilde.hpp"

#include <cstdlib>

#include "../common/pd_glue.hpp"

static t_class *trazin_tilde_class;

static void *trazin_tilde_new(t_symbol *, int argc, t_atom *argv) {
    t_trazin_tilde *x = reinterpret_cast<t_trazin_tilde *>(pd_new(trazin_tilde_class));
    trazin_tilde_preparer(x, argc, argv);

    creer_entrees_position(&x->x_obj, x->type_entrees != 0, {"x", "y", "z"});
    creer_sorties(&x->x_obj, TRAZIN_NB_HP);
    return x;
}

static void trazin_tilde_dest(t_trazin_tilde *x) {
    if (x->type_entrees == 0) free(x->hp_cos_teta);
}

static void trazin_tilde_dsp(t_trazin_tilde *x, t_signal **sp) {
    if (x->type_entrees != 0)
        ajouter_perform(trazin_tilde_perform_controle, x, sp, 1 + TRAZIN_NB_HP);
    else
        ajouter_perform(trazin_tilde_perform_signal, x, sp, 4 + TRAZIN_NB_HP);
}

RINGCUBE_EXPORT void trazin_tilde_setup(void) {
    trazin_tilde_class =
        class_new(gensym("trazin~"), pd_createur(trazin_tilde_new), pd_methode(trazin_tilde_dest),
                  sizeof(t_trazin_tilde), 0, A_GIMME, 0);
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_dsp), gensym("dsp"), A_CANT, 0);
    class_addmethod(trazin_tilde_class, nullfn, gensym("signal"), A_NULL);
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_changer_offset),
                    gensym("set_offset"), A_DEFFLOAT, 0);
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_changer_type_repere),
                    gensym("change_type"), A_GIMME, 0);
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_muter_entrees_signal),
                    gensym("mute_sig"), A_DEFFLOAT, 0);
    class_addfloat(trazin_tilde_class, pd_methode(trazin_tilde_recoit_x));
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_recoit_x), gensym("x"), A_DEFFLOAT,
                    0);
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_recoit_y), gensym("y"), A_DEFFLOAT,
                    0);
    class_addmethod(trazin_tilde_class, pd_methode(trazin_tilde_recoit_z), gensym("z"), A_DEFFLOAT,
                    0);
    class_addlist(trazin_tilde_class, pd_methode(trazin_tilde_recoit_liste));
    class_sethelpsymbol(trazin_tilde_class, gensym("trazin~"));
}
