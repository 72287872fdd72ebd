// The three objects' perform routines, block by block: each instance made by
// its own glue, each routine the one its dsp method installs.

#include <memory>
#include <string>

#include "bench.hpp"
#include "instance_pd.hpp"
#include "kelmor/kelmor_tilde.hpp"
#include "sorvel/sorvel_tilde.hpp"
#include "trazin/trazin_tilde.hpp"

extern "C" {
void sorvel_tilde_setup(void);
void kelmor_tilde_setup(void);
void trazin_tilde_setup(void);
}

namespace {

using bench::Repere;

// The position messages, looked up once in the method table as Pd would
// find them.
bench::Commandes commandes(t_object *x) {
    const t_class *c = x->te_g.g_pd;
    using Nombre = void (*)(t_object *, t_floatarg);
    using Liste = void (*)(t_object *, t_symbol *, int, t_atom *);
    const Nombre fx = reinterpret_cast<Nombre>(fake_pd::find_method(c, "x")->routine);
    const Nombre fy = reinterpret_cast<Nombre>(fake_pd::find_method(c, "y")->routine);
    const Liste liste = reinterpret_cast<Liste>(c->list_method);
    t_symbol *s_liste = gensym("list");
    return {[x, fx](float f) { fx(x, f); }, [x, fy](float f) { fy(x, f); },
            [x, liste, s_liste](float a, float b) {
                t_atom l[2];
                SETFLOAT(&l[0], a);
                SETFLOAT(&l[1], b);
                liste(x, s_liste, 2, l);
            }};
}

// An object's cases, from the creation arguments that follow the letters of
// the coordinate system and of the inlets; glides of 441 samples.
template <class Record>
void enregistrer(const std::string &nom, void (*setup)(), const std::string &avant,
                 const std::string &apres, int nb_actifs, bool spherique = false) {
    bench::ajouter_cas(
        nom, nb_actifs,
        [=](const bench::Cas &cas) {
            const char *repere = cas.repere == Repere::polaire     ? " p"
                                 : cas.repere == Repere::spherique ? " s"
                                                                   : " c";
            auto o = std::make_shared<test::Instance<Record>>(
                setup, avant + repere + (cas.signal ? " s " : " c ") + apres,
                test::TAUX_ECHANTILLONS);
            if (cas.muet) o->envoyer("mute_sig 1");
            auto *b = new bench::Bloc(o, o->objet());
            bench::equiper(*b, cas, o->x.gain_courant, o->x.gain_cible, nb_actifs,
                           commandes(o->objet()));
            return b;
        },
        spherique);
}

const bool enregistre = [] {
    for (int n : {4, 8, 16})
        enregistrer<t_kelmor_tilde>("kelmor~ " + std::to_string(n), kelmor_tilde_setup,
                                    std::to_string(n), "0.3 441", n);
    for (int n : {4, 8, 16})
        enregistrer<t_sorvel_tilde>("sorvel~ " + std::to_string(n), sorvel_tilde_setup,
                                    std::to_string(n), "0.5 441", n);
    enregistrer<t_trazin_tilde>("trazin~ 8", trazin_tilde_setup, "", "0.3 441", TRAZIN_NB_HP, true);
    return true;
}();

} // namespace
