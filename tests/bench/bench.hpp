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

} // namespace bench
