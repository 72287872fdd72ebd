#pragma once

// A trazin~ instance as the host creates it, and its messages called as
// plain functions over the record.

#include <string>
#include <vector>

#include "fake_pd.hpp"
#include "instance_pd.hpp"
#include "trazin_tilde.hpp"

extern "C" void trazin_tilde_setup(void);

namespace trazin_test {

// Atoms as Pd would pass them: words that parse as numbers are floats, the
// others symbols.
inline std::vector<t_atom> atoms(const std::vector<std::string> &words) {
    std::string text;
    for (const std::string &w : words) text += w + " ";
    return test::atomes(text);
}

using Instance = test::Instance<t_trazin_tilde>;

// An instance as the host creates it from these arguments, the console
// cleared before so that it holds what creation posted.
inline Instance creer(const std::vector<std::string> &words = {}) {
    fake_pd::clear_console();
    return Instance(trazin_tilde_setup, atoms(words));
}

inline void message(void (*f)(t_trazin_tilde *, t_symbol *, int, t_atom *), t_trazin_tilde *x,
                    const std::vector<std::string> &words) {
    std::vector<t_atom> a = atoms(words);
    f(x, gensym("list"), static_cast<int>(a.size()), a.data());
}

inline void liste(t_trazin_tilde *x, const std::vector<std::string> &words) {
    message(trazin_tilde_recoit_liste, x, words);
}

// The list of three floats.
inline void position(t_trazin_tilde *x, float a, float b, float c) {
    std::vector<t_atom> l = test::nombres({a, b, c});
    trazin_tilde_recoit_liste(x, gensym("list"), 3, l.data());
}

inline std::vector<float> cibles(const t_trazin_tilde *x) {
    return std::vector<float>(x->gain_cible, x->gain_cible + TRAZIN_NB_HP);
}

} // namespace trazin_test
