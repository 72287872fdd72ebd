#include "glide.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Samples of input copied aside at a time, so that an output sharing the
// input's memory can be written before the other outputs have read it.
constexpr int MORCEAU = 256;

// One loudspeaker over a stretch of samples: the step rule while the gain is
// off its target (the last step snaps onto it, never beyond), then a plain
// multiply once it sits there. Returns the gain reached.
float glisser_un(float gain, float pas, float cible, const t_sample *entree, t_sample *sortie,
                 int n) {
    int i = 0;
    for (; i < n && gain != cible; i++) {
        gain = fabsf(cible - gain) > fabsf(pas) ? gain + pas : cible;
        sortie[i] = gain * entree[i];
    }
    for (; i < n; i++) sortie[i] = gain * entree[i];
    return gain;
}

} // namespace

void glisser_gains(float *gain_courant, const float *gain_pas, const float *gain_cible,
                   int nb_actifs, int nb_sorties, const t_sample *entree, t_sample *const *sorties,
                   int n) {
    t_sample copie[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        std::copy(entree + debut, entree + debut + m, copie);
        for (int j = 0; j < nb_actifs; j++)
            gain_courant[j] = glisser_un(gain_courant[j], gain_pas[j], gain_cible[j], copie,
                                         sorties[j] + debut, m);
    }
    // Last, once every input sample has been read.
    for (int j = nb_actifs; j < nb_sorties; j++)
        std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
}
