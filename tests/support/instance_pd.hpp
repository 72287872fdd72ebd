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
std::vector<t_atom> nombres(const std::vector<float> &valeurs);

using Signaux = std::vector<std::vector<float>>;

// Creation arguments of a ring object from what a test names: loudspeakers,
// coordinate system (1 cartesian, 0 polar), inlets (1 control, 0 signal),
// the fourth argument, and the glide length in samples as milliseconds under
// a sample rate of 1000 (TAUX_ECHANTILLONS).
std::vector<t_atom> arguments_anneau(int nb, int repere, int entrees, float quatrieme,
                                     int echantillons);
constexpr float TAUX_ECHANTILLONS = 1000.0f;

// The class that `setup` registers, made once.
t_class *classe(void (*setup)());

// A message as Pd delivers it: `selecteur` names a method of the object's
// class, or is "float", "list" or "bang". False where Pd refuses it: a
// symbol where a float is declared, no such method, or the host's own "dsp".
bool livrer(t_object *x, const std::string &selecteur, std::vector<t_atom> arguments);

// The signal vectors of one block as the host hands them to a dsp method:
// the inputs, then the outputs, output j in the memory of input partage[j]
// where that is >= 0. One more sample after each vector shows a write past
// the block; a block of 0 samples still has addresses.
class Bloc {
  public:
    Bloc(int entrees, int sorties, int n, std::vector<int> partage = {});
    int n() const { return n_; }
    int entrees() const { return entrees_; }
    float *entree(int k) { return memoire_[k].data(); }
    // Sets every sample of the outputs that have their own memory.
    void marquer(float valeur);
    // Inputs first, then outputs, as dsp receives them.
    const std::vector<t_sample *> &vecteurs() const { return vecteurs_; }
    // What each output holds.
    Signaux sorties() const;
    bool deborde() const;

  private:
    int n_, entrees_;
    Signaux memoire_;
    std::vector<t_sample *> vecteurs_;
};

// The host's DSP rebuild: the dsp method of x called with these vectors and
// block size; what it installed.
fake_pd::Perform installer(t_object *x, const std::vector<t_sample *> &vecteurs, int n);

// The words of one call as Pd makes it: w[0] the routine, then the record,
// the block's vectors and its size; and the call, true when the routine
// returns the word past its last.
std::vector<t_int> mots(t_perfroutine routine, void *x, const Bloc &b);
bool executer(std::vector<t_int> &w);

// One block of a perform routine over the inputs (source first, then the
// position signals); returns the outputs, each sample first set to 99 so
// that an unwritten one shows. partage[j] >= 0 gives output j the memory of
// that input (it then starts as a copy of it). Throws when the routine
// returns a wrong word or writes past the block.
Signaux jouer(t_perfroutine routine, void *x, const Signaux &entrees, int sorties,
              const std::vector<int> &partage = {});

class Objet {
  public:
    // A new instance of the class that `setup` registers, from creation
    // arguments, as text or as atoms, under the sample rate `taux` when one
    // is given.
    Objet(void (*setup)(), const std::string &arguments, float taux = 0);
    Objet(void (*setup)(), std::vector<t_atom> arguments, float taux = 0);
    ~Objet();
    Objet(const Objet &) = delete;
    Objet &operator=(const Objet &) = delete;

    // A message as the first inlet gets it: "x 0.5", "a_setpos 0 90", a
    // float ("0.5"), a list ("list 1 2" or "1 2"), "bang". Throws where Pd
    // would refuse it.
    void envoyer(const std::string &message);

    // One block of the routine the dsp method installs, as test::jouer.
    Signaux jouer(const Signaux &entrees, const std::vector<int> &partage = {});

    t_object *objet() const { return x_; }

  private:
    t_object *x_;
};

// The same, seen as its record.
template <class Record> class Instance : public Objet {
  public:
    template <class Arguments>
    Instance(void (*setup)(), Arguments arguments, float taux = 0)
        : Objet(setup, arguments, taux), x(*reinterpret_cast<Record *>(objet())) {}
    Record *operator->() const { return &x; }
    Record *get() const { return &x; }
    Record &x;
};

} // namespace test
