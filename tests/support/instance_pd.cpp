#include "instance_pd.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

namespace test {

std::vector<t_atom> atomes(const std::string &texte) {
    std::vector<t_atom> out;
    std::istringstream mots(texte);
    for (std::string mot; mots >> mot;) {
        t_atom a;
        char *fin = nullptr;
        const float f = strtof(mot.c_str(), &fin);
        if (*fin == '\0')
            SETFLOAT(&a, f);
        else
            SETSYMBOL(&a, gensym(mot.c_str()));
        out.push_back(a);
    }
    return out;
}

std::vector<t_atom> nombres(const std::vector<float> &valeurs) {
    std::vector<t_atom> out(valeurs.size());
    for (size_t i = 0; i < valeurs.size(); i++) SETFLOAT(&out[i], valeurs[i]);
    return out;
}

std::vector<t_atom> arguments_anneau(int nb, int repere, int entrees, float quatrieme,
                                     int echantillons) {
    std::vector<t_atom> a(5);
    SETFLOAT(&a[0], static_cast<float>(nb));
    SETSYMBOL(&a[1], gensym(repere == 1 ? "c" : "p"));
    SETSYMBOL(&a[2], gensym(entrees == 1 ? "c" : "s"));
    SETFLOAT(&a[3], quatrieme);
    SETFLOAT(&a[4], static_cast<float>(echantillons));
    return a;
}

t_class *classe(void (*setup)()) {
    static std::map<void (*)(), t_class *> classes;
    t_class *&c = classes[setup];
    if (!c) {
        setup();
        c = fake_pd::last_class();
    }
    return c;
}

bool livrer(t_object *x, const std::string &selecteur, std::vector<t_atom> a) {
    using Liste = void (*)(t_object *, t_symbol *, int, t_atom *);
    using Nombre = void (*)(t_object *, t_floatarg);
    const t_class *c = x->te_g.g_pd;
    const int argc = static_cast<int>(a.size());
    const bool symbole = argc > 0 && a[0].a_type != A_FLOAT;
    const t_float f = argc > 0 && !symbole ? a[0].a_w.w_float : 0;
    if (selecteur == "bang") {
        // Pd hands the list method no selector and no atoms.
        reinterpret_cast<Liste>(c->list_method)(x, nullptr, 0, nullptr);
        return true;
    }
    if (selecteur == "list") {
        reinterpret_cast<Liste>(c->list_method)(x, gensym("list"), argc, a.data());
        return true;
    }
    if (selecteur == "float") {
        if (symbole) return false;
        reinterpret_cast<Nombre>(c->float_method)(x, f);
        return true;
    }
    const fake_pd::Method *m = fake_pd::find_method(c, selecteur.c_str());
    if (!m) return false;
    if (m->arguments.empty()) {
        reinterpret_cast<void (*)(t_object *)>(m->routine)(x);
    } else if (m->arguments[0] == A_DEFFLOAT) {
        if (symbole) return false;
        reinterpret_cast<Nombre>(m->routine)(x, f);
    } else if (m->arguments[0] == A_GIMME) {
        reinterpret_cast<Liste>(m->routine)(x, m->selector, argc, a.data());
    } else {
        return false;
    }
    return true;
}

namespace {

// Past the last sample of every vector; no routine writes it.
constexpr float GARDE = -12345.0f;

} // namespace

Bloc::Bloc(int entrees, int sorties, int n, std::vector<int> partage)
    : n_(n), entrees_(entrees),
      memoire_(entrees + sorties, std::vector<float>(std::max(n, 0) + 1, 0.0f)) {
    partage.resize(sorties, -1);
    for (int i = 0; i < entrees + sorties; i++) {
        memoire_[i].back() = GARDE;
        const bool commune = i >= entrees && partage[i - entrees] >= 0;
        vecteurs_.push_back(memoire_[commune ? partage[i - entrees] : i].data());
    }
}

void Bloc::marquer(float valeur) {
    for (size_t i = entrees_; i < memoire_.size(); i++)
        std::fill(memoire_[i].begin(), memoire_[i].end() - 1, valeur);
}

Signaux Bloc::sorties() const {
    Signaux out;
    for (size_t i = entrees_; i < vecteurs_.size(); i++)
        out.emplace_back(vecteurs_[i], vecteurs_[i] + std::max(n_, 0));
    return out;
}

bool Bloc::deborde() const {
    for (const std::vector<float> &v : memoire_)
        if (std::memcmp(&v.back(), &GARDE, sizeof GARDE) != 0) return true;
    return false;
}

fake_pd::Perform installer(t_object *x, const std::vector<t_sample *> &vecteurs, int n) {
    std::vector<t_signal> signaux(vecteurs.size());
    std::vector<t_signal *> sp;
    for (size_t i = 0; i < signaux.size(); i++) {
        signaux[i].s_n = n;
        signaux[i].s_vec = vecteurs[i];
        signaux[i].s_sr = sys_getsr();
        sp.push_back(&signaux[i]);
    }
    const fake_pd::Method *dsp = fake_pd::find_method(x->te_g.g_pd, "dsp");
    if (!dsp) return {};
    fake_pd::take_perform();
    reinterpret_cast<void (*)(t_object *, t_signal **)>(dsp->routine)(x, sp.data());
    return fake_pd::take_perform();
}

std::vector<t_int> mots(t_perfroutine routine, void *x, const Bloc &b) {
    std::vector<t_int> w = {reinterpret_cast<t_int>(routine), reinterpret_cast<t_int>(x)};
    for (t_sample *v : b.vecteurs()) w.push_back(reinterpret_cast<t_int>(v));
    w.push_back(b.n());
    return w;
}

bool executer(std::vector<t_int> &w) {
    return reinterpret_cast<t_perfroutine>(w[0])(w.data()) == w.data() + w.size();
}

namespace {

Signaux jouer_bloc(t_perfroutine routine, void *x, Bloc &b, const Signaux &entrees) {
    for (size_t k = 0; k < entrees.size() && k < static_cast<size_t>(b.entrees()); k++)
        std::copy(entrees[k].begin(), entrees[k].begin() + b.n(), b.entree(static_cast<int>(k)));
    b.marquer(99.0f);
    std::vector<t_int> w = mots(routine, x, b);
    if (!executer(w)) throw std::runtime_error("the perform routine returned amiss");
    if (b.deborde()) throw std::runtime_error("the perform routine wrote past the block");
    return b.sorties();
}

int taille(const Signaux &entrees) {
    return entrees.empty() ? 0 : static_cast<int>(entrees[0].size());
}

} // namespace

Signaux jouer(t_perfroutine routine, void *x, const Signaux &entrees, int sorties,
              const std::vector<int> &partage) {
    Bloc b(static_cast<int>(entrees.size()), sorties, taille(entrees), partage);
    return jouer_bloc(routine, x, b, entrees);
}

Objet::Objet(void (*setup)(), const std::string &arguments, float taux)
    : Objet(setup, atomes(arguments), taux) {}

Objet::Objet(void (*setup)(), std::vector<t_atom> a, float taux) {
    t_class *c = classe(setup);
    const float avant = sys_getsr();
    if (taux > 0) fake_pd::set_sample_rate(taux);
    x_ = fake_pd::create(c, static_cast<int>(a.size()), a.data());
    fake_pd::set_sample_rate(avant);
}

Objet::~Objet() {
    fake_pd::destroy(x_);
}

void Objet::envoyer(const std::string &message) {
    std::vector<t_atom> a = atomes(message);
    std::string selecteur = a.empty() ? "bang" : a.size() == 1 ? "float" : "list";
    if (!a.empty() && a[0].a_type == A_SYMBOL) {
        selecteur = a[0].a_w.w_symbol->s_name;
        a.erase(a.begin());
    }
    if (!livrer(x_, selecteur, a)) throw std::runtime_error("refused: " + message);
}

Signaux Objet::jouer(const Signaux &entrees, const std::vector<int> &partage) {
    const fake_pd::Boxes &boites = fake_pd::boxes(x_);
    Bloc b(1 + boites.signal_inlets, boites.outlets, taille(entrees), partage);
    const fake_pd::Perform p = installer(x_, b.vecteurs(), b.n());
    const std::vector<t_int> w = mots(p.routine, x_, b);
    if (!p.routine || p.arguments != std::vector<t_int>(w.begin() + 1, w.end()))
        throw std::runtime_error("dsp installed no routine, or other words than the vectors");
    return jouer_bloc(p.routine, x_, b, entrees);
}

} // namespace test
