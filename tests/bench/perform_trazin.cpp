// trazin~ perform routines, block by block.

#include <memory>

#include "../unit/trazin/instance.hpp"
#include "bench.hpp"

namespace {

using bench::Bloc;

Bloc *preparer(const char *repere, bool signal, bool regle, bool muet) {
    trazin_test::Instance i = trazin_test::creer({repere, signal ? "s" : "c"});
    std::shared_ptr<t_trazin_tilde> t(i.release(), trazin_test::Liberer());
    t_trazin_tilde *x = t.get();
    if (regle)
        for (int j = 0; j < TRAZIN_NB_HP; j++) x->gain_courant[j] = x->gain_cible[j];
    x->entrees_muettes = muet;
    Bloc *b = new Bloc(t, x, signal ? 3 : 0, TRAZIN_NB_HP,
                       signal ? trazin_tilde_perform_signal : trazin_tilde_perform_controle);
    if (signal)
        bench::trajectoire(*b,
                           repere[0] == 'c'   ? bench::Repere::cartesien
                           : repere[0] == 'p' ? bench::Repere::polaire
                                              : bench::Repere::spherique,
                           1.0f);
    if (!regle) // a new position every 7 blocks (10 ms): the gains always glide
        b->entre_blocs = [x](long bloc) {
            if (bloc % 7 == 0) trazin_tilde_recoit_x(x, (bloc / 7) % 2 ? 0.6f : -0.4f);
        };
    return b;
}

const bool enregistre = [] {
    const std::string nom = "trazin~ 8 ";
    bench::ajouter(nom + "control settled", 8, [] { return preparer("c", false, true, false); });
    bench::ajouter(nom + "control gliding", 8, [] { return preparer("c", false, false, false); });
    bench::ajouter(nom + "signal cartesian", 8, [] { return preparer("c", true, true, false); });
    bench::ajouter(nom + "signal polar", 8, [] { return preparer("p", true, true, false); });
    bench::ajouter(nom + "signal spherical", 8, [] { return preparer("s", true, true, false); });
    bench::ajouter(nom + "signal muted", 8, [] { return preparer("c", true, false, true); });
    return true;
}();

} // namespace
