// trazin~ perform routines, block by block.

#include <memory>

#include "../unit/trazin/instance.hpp"
#include "bench.hpp"

namespace {

using bench::Repere;

const bool enregistre = [] {
    bench::ajouter_cas(
        "trazin~ 8", TRAZIN_NB_HP,
        [](bool signal, Repere repere, bool regle, bool muet) {
            const char *lettre = repere == Repere::polaire     ? "p"
                                 : repere == Repere::spherique ? "s"
                                                               : "c";
            trazin_test::Instance i = trazin_test::creer({lettre, signal ? "s" : "c"});
            std::shared_ptr<t_trazin_tilde> t(i.release(), trazin_test::Liberer());
            t_trazin_tilde *x = t.get();
            auto *b = new bench::Bloc(t, x, signal ? 3 : 0, TRAZIN_NB_HP,
                                      signal ? trazin_tilde_perform_signal
                                             : trazin_tilde_perform_controle);
            bench::equiper(b, x, TRAZIN_NB_HP, signal, repere, regle, muet, trazin_tilde_recoit_x);
            return b;
        },
        true);
    return true;
}();

} // namespace
