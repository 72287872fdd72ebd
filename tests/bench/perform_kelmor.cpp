// kelmor~ perform routines, block by block.

#include <memory>

#include "../unit/kelmor/instance.hpp"
#include "bench.hpp"

namespace {

using bench::Repere;

const bool enregistre = [] {
    for (int n : {4, 8, 16})
        bench::ajouter_cas("kelmor~ " + std::to_string(n), n, [n](const bench::Cas &cas) {
            auto k = std::make_shared<kelmor_test::Instance>(
                n, cas.repere == Repere::polaire ? 0 : 1, cas.signal ? 0 : 1, 0.3f, 441);
            t_kelmor_tilde *x = &k->x;
            x->entrees_muettes = cas.muet;
            auto *b = new bench::Bloc(k, x, cas.signal ? 2 : 0, n,
                                      cas.signal ? kelmor_tilde_perform_signal
                                                 : kelmor_tilde_perform_controle);
            bench::equiper(*b, cas, x->gain_courant, x->gain_cible, n,
                           {[x](float f) { kelmor_tilde_recoit_x(x, f); },
                            [x](float f) { kelmor_tilde_recoit_y(x, f); },
                            [x](float a, float c) {
                                kelmor_test::Atomes l{a, c};
                                kelmor_tilde_recoit_liste(x, nullptr, l.argc(), l.argv());
                            }});
            return b;
        });
    return true;
}();

} // namespace
