// kelmor~ perform routines, block by block.

#include <memory>

#include "../unit/kelmor/instance.hpp"
#include "bench.hpp"

namespace {

using bench::Bloc;
using kelmor_test::Instance;

Bloc *preparer(int n, int entrees, int repere, bool regle, bool muet) {
    auto k = std::make_shared<Instance>(n, repere, entrees, 0.3f, 441);
    t_kelmor_tilde *x = &k->x;
    if (regle)
        for (int j = 0; j < n; j++) x->gain_courant[j] = x->gain_cible[j];
    x->entrees_muettes = muet;
    Bloc *b = new Bloc(k, x, entrees == 0 ? 2 : 0, n,
                       entrees == 1 ? kelmor_tilde_perform_controle : kelmor_tilde_perform_signal);
    if (entrees == 0)
        bench::trajectoire(*b, repere == 1 ? bench::Repere::cartesien : bench::Repere::polaire,
                           1.0f);
    if (!regle) // a new position every 7 blocks (10 ms): the gains always glide
        b->entre_blocs = [x](long bloc) {
            if (bloc % 7 == 0) kelmor_tilde_recoit_x(x, (bloc / 7) % 2 ? 0.6f : -0.4f);
        };
    return b;
}

const bool enregistre = [] {
    for (int n : {4, 8, 16}) {
        const std::string nom = "kelmor~ " + std::to_string(n) + " ";
        bench::ajouter(nom + "control settled", n, [=] { return preparer(n, 1, 1, true, false); });
        bench::ajouter(nom + "control gliding", n, [=] { return preparer(n, 1, 1, false, false); });
        bench::ajouter(nom + "signal cartesian", n, [=] { return preparer(n, 0, 1, true, false); });
        bench::ajouter(nom + "signal polar", n, [=] { return preparer(n, 0, 0, true, false); });
        bench::ajouter(nom + "signal muted", n, [=] { return preparer(n, 0, 1, false, true); });
    }
    return true;
}();

} // namespace
