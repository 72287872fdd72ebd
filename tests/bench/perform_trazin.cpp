// trazin~ perform routines, block by block.

#include <memory>

#include "../unit/trazin/instance.hpp"
#include "bench.hpp"

namespace {

using bench::Repere;

const bool enregistre = [] {
    bench::ajouter_cas(
        "trazin~ 8", TRAZIN_NB_HP,
        [](const bench::Cas &cas) {
            const char *lettre = cas.repere == Repere::polaire     ? "p"
                                 : cas.repere == Repere::spherique ? "s"
                                                                   : "c";
            auto t = std::make_shared<trazin_test::Instance>(
                trazin_test::creer({lettre, cas.signal ? "s" : "c"}));
            t_trazin_tilde *x = t->get();
            x->entrees_muettes = cas.muet;
            auto *b = new bench::Bloc(t, x, cas.signal ? 3 : 0, TRAZIN_NB_HP,
                                      cas.signal ? trazin_tilde_perform_signal
                                                 : trazin_tilde_perform_controle);
            bench::equiper(*b, cas, x->gain_courant, x->gain_cible, TRAZIN_NB_HP,
                           {[x](float f) { trazin_tilde_recoit_x(x, f); },
                            [x](float f) { trazin_tilde_recoit_y(x, f); },
                            [x](float a, float c) {
                                t_atom l[2];
                                SETFLOAT(&l[0], a);
                                SETFLOAT(&l[1], c);
                                trazin_tilde_recoit_liste(x, nullptr, 2, l);
                            }});
            return b;
        },
        true);
    return true;
}();

} // namespace
