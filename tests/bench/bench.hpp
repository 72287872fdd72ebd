#pragma once

// Perform-routine benchmarks: a block of input, position signals and outputs
// laid out as Pd hands them to a perform routine, run block after block.

#include <m_pd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bench {

constexpr int BLOC = 64;

// Blocks between two position messages: 10 ms at 44100 Hz.
constexpr long BLOCS_MESSAGE = 7;

struct Bloc {
    std::shared_ptr<void> objet; // keeps the record alive
    // The input, position and output vectors side by side, as a host lays
    // them out, a few floats apart so that none lies a multiple of 4 KiB
    // from another (the processor would take their loads and stores for
    // one another's).
    std::vector<float> signaux;
    int nb_positions;
    std::vector<std::vector<float>> chemin; // whole paths the positions step through
    float *vecteur(int k) { return signaux.data() + k * (BLOC + 8); }
    std::vector<t_int> w;                  // [unused, record, input, positions..., outputs..., n]
    std::function<void(long)> entre_blocs; // what messages do between blocks
    t_perfroutine perform = nullptr;

    // The vectors of the instance x, and the routine its dsp method installs.
    Bloc(std::shared_ptr<void> proprietaire, t_object *x);
    // Block number `bloc` of the case: its positions, its messages, perform.
    void jouer(long bloc);
};

// Registers a benchmark; `sorties_actives` counts the outputs that carry
// sound, for the time per output sample. Each program that runs the cases
// registers them its own way.
void ajouter(const std::string &name, int sorties_actives, std::function<Bloc *()> preparer);

enum class Repere { cartesien, polaire, spherique };

// How the source moves, as users move it. Control: gains settled; x alone
// stepping along y = 1 (0.6, then -0.4) every 10 ms; a list x y anywhere in
// [-2, 2] every 10 ms (through the disc and far out); a polar orbit, 3.6
// degrees every 10 ms. Signal: circling at distance 1, one turn a second;
// circling at 0.25, inside the disc; a new random position every sample, as
// noise~ gives; the centre.
enum class Mouvement { regle, ligne, partout, orbite, cercle, disque, saut, centre };

struct Cas {
    bool signal;
    Repere repere;
    Mouvement mouvement;
    bool muet;
};

// What an object does with a case: its record, set up and driven by the
// messages the case sends.
struct Commandes {
    std::function<void(float)> x, y;
    std::function<void(float, float)> liste;
};

// The cases every object runs (spherical ones when asked), each named after
// `nom`; `fabrique(cas)` makes the block of a case.
using Fabrique = std::function<Bloc *(const Cas &)>;
void ajouter_cas(const std::string &nom, int sorties_actives, const Fabrique &fabrique,
                 bool spherique = false);

// Sets a block up for its case: settled gains, or the messages between
// blocks, or the position signals' path.
void equiper(Bloc &b, const Cas &cas, float *gain_courant, const float *gain_cible, int nb_actifs,
             Commandes commandes);

} // namespace bench
