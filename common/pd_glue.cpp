#include "pd_glue.hpp"

#include <cstdlib>
#include <cstring>

#include "cp850.hpp"
#include "multicanal.hpp"

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

bool lire_drapeau_mc(const char *classe, int *argc, t_atom **argv) {
    if (*argc < 1 || (*argv)->a_type != A_SYMBOL || strcmp((*argv)->a_w.w_symbol->s_name, "-mc"))
        return false;
    (*argc)--, (*argv)++;
    if (multicanal_disponible()) return true;
    post("%s: -mc demande Pd 0.54 ou plus r" CP850_E_AIGU "cent, une sortie par haut-parleur.",
         classe);
    return false;
}

void creer_sorties(t_object *objet, int n, bool multicanal) {
    for (int j = 0; j < (multicanal ? 1 : n); j++) outlet_new(objet, gensym("signal"));
}

int preparer_canaux(t_signal **sp, int nb_entrees, int *canaux, int nb_sorties, bool multicanal) {
    for (int k = 0; k < nb_entrees; k++) canaux[k] = nb_canaux(sp[k]);
    // Before 0.54 Pd gives the outlets their vectors itself.
    if (!multicanal_disponible()) return nb_sorties;
    if (multicanal) {
        donner_canaux(&sp[nb_entrees], nb_sorties);
        return 1;
    }
    for (int j = 0; j < nb_sorties; j++) donner_canaux(&sp[nb_entrees + j], 1);
    return nb_sorties;
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
