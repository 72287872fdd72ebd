#pragma once

// A trazin~ record built as creation builds it, without the host.

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_pd.hpp"
#include "instance_pd.hpp"
#include "trazin_tilde.hpp"

extern "C" void trazin_tilde_setup(void);

namespace trazin_test {

// Creation arguments as Pd would pass them: words that parse as numbers are
// floats, the others symbols.
inline std::vector<t_atom> atoms(const std::vector<std::string> &words) {
    std::vector<t_atom> out(words.size());
    for (size_t i = 0; i < words.size(); i++) {
        char *end = nullptr;
        const float f = strtof(words[i].c_str(), &end);
        if (!words[i].empty() && *end == '\0')
            SETFLOAT(&out[i], f);
        else
            SETSYMBOL(&out[i], gensym(words[i].c_str()));
    }
    return out;
}

// An instance as the host creates it from these arguments.
struct Instance {
    std::unique_ptr<test::Instance<t_trazin_tilde>> i;
    t_trazin_tilde *get() const { return &i->x; }
    t_trazin_tilde *operator->() const { return get(); }
};

inline Instance creer(const std::vector<std::string> &words = {}) {
    fake_pd::clear_console();
    return {std::make_unique<test::Instance<t_trazin_tilde>>(trazin_tilde_setup, atoms(words))};
}

inline void liste(t_trazin_tilde *x, const std::vector<std::string> &words) {
    std::vector<t_atom> a = atoms(words);
    trazin_tilde_recoit_liste(x, gensym("list"), static_cast<int>(a.size()), a.data());
}

// The list of three floats.
inline void position(t_trazin_tilde *x, float a, float b, float c) {
    t_atom l[3];
    SETFLOAT(&l[0], a);
    SETFLOAT(&l[1], b);
    SETFLOAT(&l[2], c);
    trazin_tilde_recoit_liste(x, gensym("list"), 3, l);
}

inline void message(void (*f)(t_trazin_tilde *, t_symbol *, int, t_atom *), t_trazin_tilde *x,
                    const std::vector<std::string> &words) {
    std::vector<t_atom> a = atoms(words);
    f(x, gensym("list"), static_cast<int>(a.size()), a.data());
}

inline std::vector<float> cibles(const t_trazin_tilde *x) {
    return std::vector<float>(x->gain_cible, x->gain_cible + TRAZIN_NB_HP);
}

} // namespace trazin_test
