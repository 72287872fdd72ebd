#pragma once

#include <cfloat>
#include <cmath>

// Single-precision constants and the few number rules the three objects
// share.

constexpr float PI_F = 3.1415927f;
constexpr float DEUX_PI_F = 6.2831855f;
// Default source direction: the float nearest the decimal 1.5708, not pi/2.
constexpr float TETA_DEFAUT = 1.5708f;

// Every law falls as 1/distance, so a source this far away is silent; below
// it, squares of coordinates stay inside the float range.
constexpr float DISTANCE_LIMITE = 1e18f;

// Degrees to radians, in single precision. An angle beyond about 1e37 degrees
// has no float in radians: the result is then infinite.
[[gnu::always_inline]] inline float en_radians(float degres) {
    return degres * PI_F / 180.0f;
}

// Neither infinite nor a number that is not one; written without a call so
// that loops over samples stay vector code.
[[gnu::always_inline]] inline bool fini(float v) {
    return fabsf(v) <= FLT_MAX;
}
