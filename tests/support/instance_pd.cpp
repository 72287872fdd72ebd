#include "instance_pd.hpp"

#include <cstdlib>
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

namespace {

t_class *classe_de(void (*setup)()) {
    static std::map<void (*)(), t_class *> classes;
    t_class *&c = classes[setup];
    if (!c) {
        setup();
        c = fake_pd::last_class();
    }
    return c;
}

} // namespace

Objet::Objet(void (*setup)(), const std::string &arguments, float taux)
    : Objet(setup, atomes(arguments), taux) {}

Objet::Objet(void (*setup)(), std::vector<t_atom> a, float taux) : classe_(classe_de(setup)) {
    const float avant = sys_getsr();
    if (taux > 0) fake_pd::set_sample_rate(taux);
    x_ = fake_pd::create(classe_, static_cast<int>(a.size()), a.data());
    fake_pd::set_sample_rate(avant);
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

Objet::~Objet() {
    fake_pd::destroy(x_);
}

void Objet::envoyer(const std::string &message) {
    std::vector<t_atom> a = atomes(message);
    using Liste = void (*)(t_object *, t_symbol *, int, t_atom *);
    if (a.empty() ||
        (a[0].a_type == A_SYMBOL && std::string(a[0].a_w.w_symbol->s_name) == "bang")) {
        reinterpret_cast<Liste>(classe_->list_method)(x_, nullptr, 0, nullptr);
        return;
    }
    if (a[0].a_type == A_FLOAT) {
        if (a.size() == 1)
            reinterpret_cast<void (*)(t_object *, t_float)>(classe_->float_method)(
                x_, a[0].a_w.w_float);
        else
            reinterpret_cast<Liste>(classe_->list_method)(x_, gensym("list"),
                                                          static_cast<int>(a.size()), a.data());
        return;
    }
    const std::string selecteur = a[0].a_w.w_symbol->s_name;
    a.erase(a.begin());
    if (selecteur == "list") {
        reinterpret_cast<Liste>(classe_->list_method)(x_, gensym("list"),
                                                      static_cast<int>(a.size()), a.data());
        return;
    }
    const fake_pd::Method *m = fake_pd::find_method(classe_, selecteur.c_str());
    if (!m) throw std::runtime_error("no method " + selecteur);
    if (!m->arguments.empty() && m->arguments[0] == A_DEFFLOAT)
        reinterpret_cast<void (*)(t_object *, t_floatarg)>(m->routine)(
            x_, a.empty() ? 0.0f : atom_getfloat(&a[0]));
    else
        reinterpret_cast<Liste>(m->routine)(x_, m->selector, static_cast<int>(a.size()), a.data());
}

Signaux Objet::jouer(const Signaux &entrees, const std::vector<int> &partage) {
    const fake_pd::Boxes &b = fake_pd::boxes(x_);
    const int n = entrees.empty() ? 0 : static_cast<int>(entrees[0].size());
    Signaux vecteurs = entrees;
    vecteurs.resize(1 + b.signal_inlets, std::vector<float>(n));
    Signaux sorties(b.outlets, std::vector<float>(n, 99.0f)); // unwritten samples show
    std::vector<t_signal> signaux(vecteurs.size() + sorties.size());
    std::vector<t_signal *> sp;
    for (size_t i = 0; i < signaux.size(); i++) {
        const size_t j = i - vecteurs.size();
        const bool sortie = i >= vecteurs.size();
        const bool commune = sortie && j < partage.size() && partage[j] >= 0;
        if (commune) sorties[j] = vecteurs[partage[j]];
        signaux[i].s_n = n;
        signaux[i].s_vec = !sortie ? vecteurs[i].data()
                                   : (commune ? vecteurs[partage[j]].data() : sorties[j].data());
        sp.push_back(&signaux[i]);
    }
    fake_pd::take_perform();
    reinterpret_cast<void (*)(t_object *, t_signal **)>(
        fake_pd::find_method(classe_, "dsp")->routine)(x_, sp.data());
    const fake_pd::Perform p = fake_pd::take_perform();
    std::vector<t_int> w(1, 0);
    w.insert(w.end(), p.arguments.begin(), p.arguments.end());
    if (p.routine(w.data()) != w.data() + w.size())
        throw std::runtime_error("perform returned past");
    for (size_t j = 0; j < sorties.size(); j++)
        if (j < partage.size() && partage[j] >= 0) sorties[j] = vecteurs[partage[j]];
    return sorties;
}

} // namespace test
