#include "glide.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Samples of input copied aside at a time, so that an output sharing the
// input's memory can be written before the other outputs have read it.
constexpr int MORCEAU = 256;

// Below this many steps a closed-form stretch does not pay for its set-up.
constexpr int ETIREMENT_MIN = 8;

uint32_t bits_de(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

float float_de(uint32_t b) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

// The glide adds its step to the gain sample after sample, and the sums must
// be the very floats that repeated single-precision additions give. While the
// gain stays inside one binade, every sum rounds to the same grid, so each
// step adds the same rounded amount r and the k-th gain is exactly gain + k*r:
// a stretch that vectorises. Returns how many steps (at most `max`) may be
// taken that way, and r; 0 where the rule must run step by step: near a
// binade edge, at a rounding tie, near the landing, or off the normal range.
int etirement_exact(float gain, float pas, float cible, int max, float *r) {
    const uint32_t bits = bits_de(gain) & 0x7fffffffu;
    const uint32_t exposant = bits >> 23;
    // Normal gains, far enough from the subnormals for half a spacing to be a
    // float, and finite.
    if (exposant < 25 || exposant > 253) return 0;
    const int32_t a = static_cast<int32_t>((bits & 0x7fffffu) | 0x800000u); // |gain| in spacings
    const float u = float_de((exposant - 23) << 23);                        // spacing of the binade
    const float pas_arrondi = (gain + pas) - gain; // exact: both sums on the grid
    if (!std::isfinite(pas_arrondi) || !std::isfinite(cible)) return 0;
    if (fabsf(pas - pas_arrondi) == 0.5f * u) return 0; // a tie rounds by the gain's parity
    const float spacings = fabsf(pas_arrondi) / u;      // exact: u is a power of two
    if (spacings >= 4194304.0f) return 0;
    const int32_t m = static_cast<int32_t>(spacings);

    // Gains 1..n stay clear of the binade's edges by one spacing, so each
    // unrounded sum lies inside the binade and rounds to its grid.
    int32_t n = max;
    if (m > 0) {
        const bool croit = (pas_arrondi > 0) == (gain > 0);
        const int32_t place = croit ? 0xffffff - a : a - 0x800001;
        n = std::min(n, place / m);
    }
    // Steps 0..n-1 keep |target - gain| clearly above |step|, so its rounded
    // difference does too and the rule adds the step: the gap at the ends
    // bounds it, the gain moving straight and never past the target.
    const double marge = std::fabs(static_cast<double>(pas)) * (1 + 0x1p-22);
    const double ecart = static_cast<double>(cible) - gain;
    if (!(std::fabs(ecart) > marge)) return 0;
    if (m > 0)
        n = static_cast<int32_t>(std::min<double>(
            n, std::floor((std::fabs(ecart) - marge) / (m * static_cast<double>(u))) + 1));
    auto loin = [&](int32_t k) {
        const double e = ecart - static_cast<double>(k) * pas_arrondi;
        return std::fabs(e) > marge && (e > 0) == (ecart > 0);
    };
    while (n > 0 && !loin(n - 1)) n--;
    *r = pas_arrondi;
    return n;
}

// One loudspeaker over a stretch of samples: the step rule while the gain is
// off its target (the last step snaps onto it, never beyond), then a plain
// multiply once it sits there. Returns the gain reached.
float glisser_un(float gain, float pas, float cible, const t_sample *entree, t_sample *sortie,
                 int n) {
    int i = 0;
    while (i < n && gain != cible) {
        float r;
        const int etirement = etirement_exact(gain, pas, cible, n - i, &r);
        if (etirement >= ETIREMENT_MIN) {
            for (int k = 0; k < etirement; k++)
                sortie[i + k] = (gain + static_cast<float>(k + 1) * r) * entree[i + k];
            gain += static_cast<float>(etirement) * r;
            i += etirement;
        } else {
            for (const int fin = std::min(n, i + ETIREMENT_MIN); i < fin && gain != cible; i++) {
                gain = fabsf(cible - gain) > fabsf(pas) ? gain + pas : cible;
                sortie[i] = gain * entree[i];
            }
        }
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
