#pragma once

#include <cfloat>
#include <cmath>

// Pieces of the kelmor~ law shared by the message path (double precision,
// once per change) and the signal path (single precision, every sample).

// Weight of the omnidirectional part, and the divisor that, with the square
// root of 1/nb_hp, keeps the sum of the gains level as loudspeakers are added.
constexpr double KELMOR_POIDS_OMNI = 0.707;
constexpr float KELMOR_POIDS_OMNI_F = 0.707f;
constexpr double KELMOR_DIVISEUR_NORME = 1.66;

inline float kelmor_gain_norme(int nb_hp) {
    return static_cast<float>(std::sqrt(1.0 / nb_hp) / KELMOR_DIVISEUR_NORME);
}

// A negative sum means the source is behind the loudspeaker: silence. So is a
// gain that stored layout or offset values pushed out of the float range.
template <class Reel> inline float kelmor_gain_coupe(Reel g) {
    return g > 0 && g <= FLT_MAX ? static_cast<float>(g) : 0.0f;
}
