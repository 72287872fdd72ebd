// sorvel~ perform routines, block by block.

#include "../unit/sorvel/sorvel_record.hpp"
#include "bench.hpp"

namespace {

using bench::Repere;

const bool enregistre = [] {
    for (int n : {4, 8, 16})
        bench::ajouter_cas("sorvel~ " + std::to_string(n), n, [n](const bench::Cas &cas) {
            std::shared_ptr<Sorvel> s =
                sorvel(n, cas.repere == Repere::polaire ? 0 : 1, cas.signal ? 0 : 1);
            t_sorvel_tilde *x = &s->x;
            x->entrees_muettes = cas.muet;
            auto *b = new bench::Bloc(s, x, cas.signal ? 2 : 0, n,
                                      cas.signal ? sorvel_tilde_perform_signal
                                                 : sorvel_tilde_perform_controle);
            bench::equiper(*b, cas, x->gain_courant, x->gain_cible, n,
                           {[x](float f) { sorvel_tilde_recoit_x(x, f); },
                            [x](float f) { sorvel_tilde_recoit_y(x, f); },
                            [x](float a, float c) {
                                std::vector<t_atom> l = nombres({a, c});
                                sorvel_tilde_recoit_liste(x, nullptr, 2, l.data());
                            }});
            return b;
        });
    return true;
}();

} // namespace
