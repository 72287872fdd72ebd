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

struct Bloc {
    std::shared_ptr<void> objet; // keeps the record alive
    std::vector<float> entree = std::vector<float>(BLOC);
    std::vector<std::vector<float>> positions;
    std::vector<std::vector<float>> chemin; // whole paths the positions step through
    std::vector<std::vector<float>> sorties;
    std::vector<t_int> w;                  // [unused, record, input, positions..., outputs..., n]
    std::function<void(long)> entre_blocs; // what messages do between blocks
    t_perfroutine perform = nullptr;

    Bloc(std::shared_ptr<void> proprietaire, void *record, int nb_positions, int nb_sorties,
         t_perfroutine routine);
};

// Registers a benchmark; `sorties_actives` counts the outputs that carry
// sound, for the time per output sample.
void ajouter(const std::string &name, int sorties_actives, std::function<Bloc *()> preparer);

// A source circling at `rayon`, one turn per second at 44100 Hz, given as
// cartesian (x, y, z), polar (distance, degrees, height) or spherical
// (distance, azimuth, angle from the vertical) signals; each block reads the
// next stretch of a precomputed path.
enum class Repere { cartesien, polaire, spherique };
void trajectoire(Bloc &b, Repere repere, float rayon);

// The standard cases of an object: control settled and gliding, signal
// cartesian, polar (and spherical when asked) and muted. `fabrique(signal,
// repere, regle, muet)` makes each case's block.
using Fabrique = std::function<Bloc *(bool signal, Repere repere, bool regle, bool muet)>;
void ajouter_cas(const std::string &nom, int sorties_actives, const Fabrique &fabrique,
                 bool spherique = false);

// Sets a record up for a case: gains settled on their targets, or a new
// position every 7 blocks (10 ms) so that they always glide; muted or not;
// signal positions on a circle.
template <class Objet>
void equiper(Bloc *b, Objet *x, int nb_actifs, bool signal, Repere repere, bool regle, bool muet,
             void (*recoit_x)(Objet *, t_floatarg)) {
    if (regle)
        for (int j = 0; j < nb_actifs; j++) x->gain_courant[j] = x->gain_cible[j];
    x->entrees_muettes = muet;
    if (signal) trajectoire(*b, repere, 1.0f);
    if (!regle)
        b->entre_blocs = [x, recoit_x](long bloc) {
            if (bloc % 7 == 0) recoit_x(x, (bloc / 7) % 2 ? 0.6f : -0.4f);
        };
}

} // namespace bench
