#pragma once

// A kelmor~ instance as the host creates it, and its messages called as
// plain functions over the record.

#include <m_pd.h>

#include <vector>

#include "instance_pd.hpp"
#include "kelmor_tilde.hpp"

extern "C" void kelmor_tilde_setup(void);

namespace kelmor_test {

// nb loudspeakers, coordinates (1 cartesian, 0 polar), inlets (1 control, 0
// signal), offset, glide length in samples.
struct Instance : test::Instance<t_kelmor_tilde> {
    explicit Instance(int nb = 4, int repere = 1, int entrees = 1, float offset = 0.3f,
                      int temps = 441)
        : test::Instance<t_kelmor_tilde>(kelmor_tilde_setup,
                                         test::arguments_anneau(nb, repere, entrees, offset, temps),
                                         test::TAUX_ECHANTILLONS) {}
    std::vector<float> cibles() const { return {x.gain_cible, x.gain_cible + x.nb_hp}; }
};

using Methode = void (*)(t_kelmor_tilde *, t_symbol *, int, t_atom *);
inline void envoyer(Instance &i, Methode m, const std::vector<float> &nombres) {
    std::vector<t_atom> a = test::nombres(nombres);
    m(&i.x, nullptr, static_cast<int>(a.size()), a.data());
}
// One word.
inline void envoyer(Instance &i, Methode m, const char *mot) {
    std::vector<t_atom> a = test::atomes(mot);
    m(&i.x, nullptr, 1, a.data());
}

} // namespace kelmor_test
