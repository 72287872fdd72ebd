#pragma once

// A sorvel~ record filled as creation fills it, without the host.

#include <memory>
#include <vector>

#include "cosine_table.hpp"
#include "pd_stub.hpp"
#include "sorvel/sorvel_tilde.hpp"

struct Sorvel {
    t_sorvel_tilde x{};
    std::vector<float> table = std::vector<float>(TAILLE_TABLE_COS);
    t_sorvel_tilde *operator->() { return &x; }
};

inline std::unique_ptr<Sorvel> sorvel(int nb = 4, int repere = 1, int entrees = 1, float rc = 0.5f,
                                      int temps_interp = 441) {
    auto s = std::make_unique<Sorvel>();
    t_sorvel_tilde *x = &s->x;
    x->nb_sorties = x->nb_hp = nb;
    x->type_repere = repere;
    x->type_entrees = entrees;
    x->rayon_disq_centrale = rc;
    x->temps_interp = temps_interp;
    x->source_y = 1.0f;
    x->source_teta = 1.5708f;
    sorvel_tilde_anneau_defaut(x, nb);
    sorvel_tilde_init_hp_mat(x);
    sorvel_tilde_recoit_x(x, repere == 1 ? 0.0f : 1.0f);
    if (entrees == 0) {
        remplir_table_cos(s->table.data());
        x->table_cos = s->table.data();
    }
    pd_stub::clear_console();
    return s;
}

// Targets for a cartesian position, as the control path computes them.
inline std::vector<float> cibles(t_sorvel_tilde *x, float px, float py) {
    const int repere = x->type_repere;
    x->type_repere = 1;
    sorvel_tilde_recoit_y(x, py);
    sorvel_tilde_recoit_x(x, px);
    x->type_repere = repere;
    return std::vector<float>(x->gain_cible, x->gain_cible + x->nb_sorties);
}

inline t_atom nombre(float f) {
    t_atom a;
    SETFLOAT(&a, f);
    return a;
}

inline std::vector<t_atom> nombres(std::initializer_list<float> values) {
    std::vector<t_atom> atoms;
    for (float f : values) atoms.push_back(nombre(f));
    return atoms;
}
