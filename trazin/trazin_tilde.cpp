// trazin~: the Pd glue (class, method table, creation, dsp, destruction).

#include "trazin_tilde.hpp"

#include <cstdlib>

#include "../common/pd_glue.hpp"

static t_class *trazin_tilde_class;

static void *trazin_tilde_new(t_symbol *, int argc, t_atom *argv) {
    t_trazin_tilde *x = reinterpret_cast<t_trazin_tilde *>(pd_new(trazin_tilde_class));
    trazin_tilde_preparer(x, argc, argv);

    // Control inlets forward their floats as the position messages.
    if (x->type_entrees != 0) {
        inlet_new(&x->x_obj, &x->x_obj.ob_pd, gensym("float"), gensym("x"));
        inlet_new(&x->x_obj, &x->x_obj.ob_pd, gensym("float"), gensym("y"));
        inlet_new(&x->x_obj, &x->x_obj.ob_pd, gensym("float"), gensym("z"));
    } else {
        for (int i = 0; i < 3; i++)
            inlet_new(&x->x_obj, &x->x_obj.ob_pd, gensym("signal"), gensym("signal"));
    }
    for (int j = 0; j < TRAZIN_NB_HP; j++) outlet_new(&x->x_obj, gensym("signal"));
    return x;
}

static void trazin_tilde_dest(t_trazin_tilde *x) {
    if (x->type_entrees == 0) free(x->hp_cos_teta);
}

static void trazin_tilde_dsp(t_trazin_tilde *x, t_signal **sp) {
    const int nb_entrees = x->type_entrees != 0 ? 1 : 4;
    t_int arguments[1 + 4 + TRAZIN_NB_HP + 1];
    int a = 0;
    arguments[a++] = reinterpret_cast<t_int>(x);
    for (int i = 0; i < nb_entrees + TRAZIN_NB_HP; i++)
        arguments[a++] = reinterpret_cast<t_int>(sp[i]->s_vec);
    arguments[a++] = sp[0]->s_n;
    dsp_addv(x->type_entrees != 0 ? trazin_tilde_perform_controle : trazin_tilde_perform_signal, a,
             arguments);
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
    class_sethelpsymbol(trazin_tilde_class, gensym("trazin~-help"));
}
