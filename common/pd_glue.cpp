#include "pd_glue.hpp"

#include <cstdlib>

#include "cp850.hpp"

void creer_entrees_position(t_object *objet, bool controle,
                            std::initializer_list<const char *> messages) {
    for (const char *message : messages) {
        if (controle)
            inlet_new(objet, &objet->ob_pd, gensym("float"), gensym(message));
        else
            inlet_new(objet, &objet->ob_pd, gensym("signal"), gensym("signal"));
    }
}

float *allouer_bloc(const char *classe, size_t floats) {
    float *bloc = static_cast<float *>(malloc(floats * sizeof(float)));
    if (!bloc) {
        post("%s: pas assez de m" CP850_E_AIGU "moire pour les tables, ", classe);
        post("  les entr" CP850_E_AIGU "es signal restent muettes.");
    }
    return bloc;
}

void creer_sorties(t_object *objet, int n) {
    for (int j = 0; j < n; j++) outlet_new(objet, gensym("signal"));
}

void ajouter_perform(t_perfroutine routine, void *x, t_signal **sp, int nb_vecteurs) {
    // The record, at most 4 inputs and 16 outputs, the block size.
    t_int arguments[1 + 4 + 16 + 1];
    int a = 0;
    arguments[a++] = reinterpret_cast<t_int>(x);
    for (int i = 0; i < nb_vecteurs && a < 1 + 4 + 16; i++)
        arguments[a++] = reinterpret_cast<t_int>(sp[i]->s_vec);
    arguments[a++] = sp[0]->s_n;
    dsp_addv(routine, a, arguments);
}
