#pragma once

#include <cfloat>
#include <cmath>

#include "numbers.hpp"

// The first-order law of kelmor~ and trazin~: the source encoded as an
// omnidirectional part and figure-of-eight parts along x, y and z, decoded
// for each loudspeaker by projection on its direction. The offset keeps the
// law finite at the centre. One definition, for the messages (double
// precision) and for the signals (single precision, every sample).

// sqrt(1/n) / 1.66, so that the level holds as loudspeakers are added; a
// float, as it has always been stored.
inline float norme_premier_ordre(int nb_hp) {
    return static_cast<float>(std::sqrt(1.0 / nb_hp) / 1.66);
}

// The elevation of a ring's loudspeakers, as the sine gain_premier_ordre()
// takes: -0, because adding -0 leaves every sum as it is (-0 included), so a
// ring pays nothing for the third dimension.
constexpr float SIN_ELEV_ANNEAU = -0.0f;

template <class R> struct Poids { R omni, x, y, z; };

// The weights for a source at (x, y, z): 0.707 / (r + offset), rounded to
// float, and 2 (x, y, z) / (r^2 + offset). A source not finite, or so far
// that it cannot be heard, weighs nothing.
template <class R> [[gnu::always_inline]] inline Poids<R> ponderer(R x, R y, R z, R offset) {
    const R r = std::sqrt(x * x + y * y + z * z);
    const bool audible = r < static_cast<R>(DISTANCE_LIMITE);
    const R omni = static_cast<float>(static_cast<R>(0.707) / (r + offset));
    const R q = r * r + offset;
    return {audible ? omni : R(0), audible ? 2 * x / q : R(0), audible ? 2 * y / q : R(0),
            audible ? 2 * z / q : R(0)};
}

// A gain as the law leaves it: silence where the source is behind the
// loudspeaker (a negative sum).
template <class R> [[gnu::always_inline]] inline float couper(R g) {
    return g > 0 ? static_cast<float>(g) : 0.0f;
}

// The gain of a loudspeaker at azimuth and elevation of these cosines and
// sines, at distance `dist` (a ring has elevation 0): the weights projected
// on its direction, times the norm and the distance: silence where the
// source is behind it, or where the distance pushes the gain out of the
// float range.
template <class R>
[[gnu::always_inline]] inline float gain_premier_ordre(const Poids<R> &p, R cos_teta, R sin_teta,
                                                       R cos_elev, R sin_elev, R norme, R dist) {
    const R g =
        (p.omni + p.x * cos_teta * cos_elev + p.y * sin_teta * cos_elev + p.z * sin_elev) * norme *
        dist;
    // Both tests taken (no &&), so that loops over samples stay vector code.
    const bool entendu = (g > 0) & (g <= FLT_MAX);
    return entendu ? static_cast<float>(g) : 0.0f;
}
