#pragma once

// A kelmor~ record as creation leaves it, driven without the host, and the
// small pieces the tests share to call its messages and perform routines.

#include <m_pd.h>

#include <cstdlib>
#include <string>
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

// Message arguments: numbers, or words when given as text.
struct Atomes {
    std::vector<t_atom> a;
    Atomes(std::initializer_list<float> nombres) : Atomes(std::vector<float>(nombres)) {}
    explicit Atomes(const std::vector<float> &nombres) {
        for (float f : nombres) {
            t_atom atome;
            SETFLOAT(&atome, f);
            a.push_back(atome);
        }
    }
    explicit Atomes(const char *mot) {
        t_atom atome;
        SETSYMBOL(&atome, gensym(mot));
        a.push_back(atome);
    }
    int argc() const { return static_cast<int>(a.size()); }
    t_atom *argv() { return a.data(); }
};

using Methode = void (*)(t_kelmor_tilde *, t_symbol *, int, t_atom *);
inline void envoyer(Instance &i, Methode m, Atomes args) {
    m(&i.x, nullptr, args.argc(), args.argv());
}

// One block of the signal routine: the input, the two position signals, and
// one output per outlet (filled with a marker so unwritten samples show).
inline std::vector<std::vector<float>> jouer_signal(Instance &i, const std::vector<float> &in,
                                                    const std::vector<float> &p,
                                                    const std::vector<float> &q) {
    const int n = static_cast<int>(in.size());
    std::vector<std::vector<float>> out(i.x.nb_sorties, std::vector<float>(n, 99.0f));
    std::vector<t_int> w(6 + i.x.nb_sorties);
    w[1] = reinterpret_cast<t_int>(&i.x);
    w[2] = reinterpret_cast<t_int>(in.data());
    w[3] = reinterpret_cast<t_int>(p.data());
    w[4] = reinterpret_cast<t_int>(q.data());
    for (int k = 0; k < i.x.nb_sorties; k++) w[5 + k] = reinterpret_cast<t_int>(out[k].data());
    w[5 + i.x.nb_sorties] = n;
    kelmor_tilde_perform_signal(w.data());
    return out;
}

} // namespace kelmor_test
