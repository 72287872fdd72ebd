#include "glide.hpp"

#include "simd.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Samples of input copied aside at a time when an output shares the input's
// memory, so that it can be written before the other outputs have read it.
constexpr int MORCEAU = 256;

// Steps the rule takes one by one where no stretch starts.
constexpr int PAS_A_PAS = 8;

// The longest stretch worked out at once, many blocks' worth.
constexpr int ETIREMENT_MAX = 1 << 20;

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
        if (static_cast<int64_t>(m) * n > place) n = std::max(place, 0) / m;
    }
    // Steps 0..n-1 keep |target - gain| clearly above |step|, so its rounded
    // difference does too and the rule adds the step: the gap at the ends
    // bounds it, the gain moving straight and never past the target.
    const double marge = std::fabs(static_cast<double>(pas)) * (1 + 0x1p-22);
    const double ecart = static_cast<double>(cible) - gain;
    if (!(std::fabs(ecart) > marge)) return 0;
    auto loin = [&](int32_t k) {
        const double e = ecart - static_cast<double>(k) * pas_arrondi;
        return std::fabs(e) > marge && (e > 0) == (ecart > 0);
    };
    if (n > 0 && !loin(n - 1)) {
        // Landing within reach: find how far the stretch may go.
        n = static_cast<int32_t>(std::min<double>(
            n, std::floor((std::fabs(ecart) - marge) / std::fabs(pas_arrondi)) + 1));
        while (n > 0 && !loin(n - 1)) n--;
    }
    *r = pas_arrondi;
    return n;
}

// The routine never hands these loops an output that shares the input's
// memory (it copies the input aside first), so they may say so.
[[gnu::always_inline]] inline void multiplier(float gain, const t_sample *__restrict entree,
                                              t_sample *__restrict sortie, int n) {
    for (int i = 0; i < n; i++) sortie[i] = gain * entree[i];
}

[[gnu::always_inline]] inline void etirer(float gain, float r, const t_sample *__restrict entree,
                                          t_sample *__restrict sortie, int n) {
    for (int k = 0; k < n; k++) sortie[k] = (gain + static_cast<float>(k + 1) * r) * entree[k];
}

// One loudspeaker over a stretch of samples: the step rule while the gain is
// off its target (the last step snaps onto it, never beyond), then a plain
// multiply once it sits there. A closed-form stretch found in one block goes
// on in the next without being worked out again. Returns the gain reached.
[[gnu::always_inline]] inline float glisser_un(float gain, float pas, float cible, float &pas_etire,
                                               float &depart, float &cible_etiree, int &reste,
                                               const t_sample *entree, t_sample *sortie, int n) {
    int i = 0;
    while (i < n && gain != cible) {
        if (reste <= 0 || depart != gain || cible_etiree != cible) {
            reste = etirement_exact(gain, pas, cible, ETIREMENT_MAX, &pas_etire);
            cible_etiree = cible;
        }
        const int etirement = std::min(reste, n - i);
        if (etirement > 0) {
            etirer(gain, pas_etire, entree + i, sortie + i, etirement);
            gain += static_cast<float>(etirement) * pas_etire;
            i += etirement;
            reste -= etirement;
            depart = gain;
            if (reste > 0) break; // the block ends inside the stretch
        }
        // A stretch ends at a binade edge (one step crosses it), near the
        // landing, or at a tie: the rule takes a few steps there.
        const int pas_a_pas = etirement > 0 ? 1 : PAS_A_PAS;
        for (const int fin = std::min(n, i + pas_a_pas); i < fin && gain != cible; i++) {
            gain = fabsf(cible - gain) > fabsf(pas) ? gain + pas : cible;
            sortie[i] = gain * entree[i];
        }
    }
    multiplier(gain, entree + i, sortie + i, n - i);
    return gain;
}

} // namespace

RINGCUBE_CLONES void glisser_gains(float *gain_courant, const float *gain_pas,
                                   const float *gain_cible, t_etirements *etirements, int nb_actifs,
                                   int nb_sorties, const t_sample *entree, t_sample *const *sorties,
                                   int n) {
    bool partage = false;
    for (int j = 0; j < nb_sorties; j++) partage |= sorties[j] == entree;
    t_sample copie[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *source = entree + debut;
        if (partage) {
            std::copy(source, source + m, copie);
            source = copie;
        }
        for (int j = 0; j < nb_actifs; j++)
            gain_courant[j] =
                glisser_un(gain_courant[j], gain_pas[j], gain_cible[j], etirements->pas[j],
                           etirements->depart[j], etirements->cible[j], etirements->reste[j],
                           source, sorties[j] + debut, m);
    }
    // Last, once every input sample has been read.
    for (int j = nb_actifs; j < nb_sorties; j++)
        std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
}
