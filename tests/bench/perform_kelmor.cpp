// kelmor~ perform routines, block by block.

#include <memory>

#include "../unit/kelmor/instance.hpp"
#include "bench.hpp"

namespace {

using bench::Repere;

const bool enregistre = [] {
    for (int n : {4, 8, 16})
        bench::ajouter_cas("kelmor~ " + std::to_string(n), n,
                           [n](bool signal, Repere repere, bool regle, bool muet) {
                               auto k = std::make_shared<kelmor_test::Instance>(
                                   n, repere == Repere::polaire ? 0 : 1, signal ? 0 : 1, 0.3f, 441);
                               t_kelmor_tilde *x = &k->x;
                               auto *b = new bench::Bloc(k, x, signal ? 2 : 0, n,
                                                         signal ? kelmor_tilde_perform_signal
                                                                : kelmor_tilde_perform_controle);
                               bench::equiper(b, x, n, signal, repere, regle, muet,
                                              kelmor_tilde_recoit_x);
                               return b;
                           });
    return true;
}();

} // namespace
