// sorvel~ perform routines, block by block.

#include "../unit/sorvel/sorvel_record.hpp"
#include "bench.hpp"

namespace {

using bench::Repere;

const bool enregistre = [] {
    for (int n : {4, 8, 16})
        bench::ajouter_cas("sorvel~ " + std::to_string(n), n,
                           [n](bool signal, Repere repere, bool regle, bool muet) {
                               std::shared_ptr<Sorvel> s =
                                   sorvel(n, repere == Repere::polaire ? 0 : 1, signal ? 0 : 1);
                               t_sorvel_tilde *x = &s->x;
                               auto *b = new bench::Bloc(s, x, signal ? 2 : 0, n,
                                                         signal ? sorvel_tilde_perform_signal
                                                                : sorvel_tilde_perform_controle);
                               bench::equiper(b, x, n, signal, repere, regle, muet,
                                              sorvel_tilde_recoit_x);
                               return b;
                           });
    return true;
}();

} // namespace
