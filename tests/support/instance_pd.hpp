#pragma once

// An instance of any of the three objects, made and driven through the
// host stand-in as Pd does it: created from its arguments by the class's
// creator, sent messages through its method table, and played block by block
// through the perform routine its dsp method installs, with any output given
// the memory of any input.

#include <m_pd.h>

#include <string>
#include <vector>

#include "fake_pd.hpp"

namespace test {

// The atoms of a message box's text: words that read as numbers are floats,
// the others symbols.
std::vector<t_atom> atomes(const std::string &texte);

using Signaux = std::vector<std::vector<float>>;

// Creation arguments of a ring object from what a test names: loudspeakers,
// coordinate system (1 cartesian, 0 polar), inlets (1 control, 0 signal),
// the fourth argument, and the glide length in samples as milliseconds under
// a sample rate of 1000 (TAUX_ECHANTILLONS).
std::vector<t_atom> arguments_anneau(int nb, int repere, int entrees, float quatrieme,
                                     int echantillons);
constexpr float TAUX_ECHANTILLONS = 1000.0f;

class Objet {
  public:
    // The class that `setup` registers (made once), and a new instance of it
    // from creation arguments, as text or as atoms, under the sample rate
    // `taux` when one is given.
    Objet(void (*setup)(), const std::string &arguments, float taux = 0);
    Objet(void (*setup)(), std::vector<t_atom> arguments, float taux = 0);
    ~Objet();
    Objet(const Objet &) = delete;
    Objet &operator=(const Objet &) = delete;

    // A message as the first inlet gets it: "x 0.5", "a_setpos 0 90", a
    // float ("0.5"), a list ("list 1 2" or "1 2"), "bang".
    void envoyer(const std::string &message);

    // One block of the perform routine the dsp method installs, over the
    // input signals (source first, then the position signals); returns the
    // outputs. partage[j] >= 0 gives output j the memory of that input (it
    // then starts as a copy of it).
    Signaux jouer(const Signaux &entrees, const std::vector<int> &partage = {});

    t_object *objet() const { return x_; }

  private:
    t_class *classe_;
    t_object *x_;
};

// The same, seen as its record.
template <class Record> class Instance : public Objet {
  public:
    template <class Arguments>
    Instance(void (*setup)(), Arguments arguments, float taux = 0)
        : Objet(setup, arguments, taux), x(*reinterpret_cast<Record *>(objet())) {}
    Record *operator->() const { return &x; }
    Record &x;
};

} // namespace test
