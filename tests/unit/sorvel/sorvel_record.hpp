#pragma once

// A sorvel~ instance as the host creates it, and helpers the tests share.

#include <memory>
#include <vector>

#include "fake_pd.hpp"
#include "instance_pd.hpp"
#include "sorvel/sorvel_tilde.hpp"

extern "C" void sorvel_tilde_setup(void);

using Sorvel = test::Instance<t_sorvel_tilde>;

// nb loudspeakers, coordinates (1 cartesian, 0 polar), inlets (1 control, 0
// signal), disc radius, glide length in samples; the console cleared after.
inline std::unique_ptr<Sorvel> sorvel(int nb = 4, int repere = 1, int entrees = 1, float rc = 0.5f,
                                      int temps_interp = 441) {
    auto s = std::make_unique<Sorvel>(sorvel_tilde_setup,
                                      test::arguments_anneau(nb, repere, entrees, rc, temps_interp),
                                      test::TAUX_ECHANTILLONS);
    fake_pd::clear_console();
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
    return test::nombres({f})[0];
}

inline std::vector<t_atom> nombres(std::initializer_list<float> values) {
    return test::nombres(values);
}
