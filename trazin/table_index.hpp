#pragma once

// Cosine-table indexes of angle signals, in arithmetic the compiler can
// vectorise: no branch, no call, no conversion of a value outside the int
// range.

#include <cmath>

#include "../common/cosine_table.hpp"

// The index that indice_masque gives for an angle product already scaled to
// table steps (truncated toward zero, low 12 bits as two's complement), NaN
// and infinities giving 0.
//
// The product less its whole turns is computed without rounding: below 2^23
// turns the int conversion truncates them and what is left is 4096 times the
// fraction of the turns, which a float always holds; it keeps the sign and
// the low bits of the truncated product, so masking it gives the same index.
// From 2^23 turns on, the product is a whole number of turns and the
// difference with the clamped turns a multiple of 4096, so it is 0 or at
// least 4096: index 0 either way. Not a number or infinite, the difference
// is too.
[[gnu::always_inline]] inline int indice_reduit(float produit) {
    constexpr float TOURS_MAX = 8388608.0f;
    const float tours = produit * (1.0f / TAILLE_TABLE_COS);
    // The comparisons are written so that a NaN comes out within the range.
    float bornes = tours < TOURS_MAX ? tours : TOURS_MAX;
    bornes = bornes > -TOURS_MAX ? bornes : -TOURS_MAX;
    const float reste = produit - static_cast<float>(static_cast<int>(bornes)) * TAILLE_TABLE_COS;
    const float dans_un_tour = fabsf(reste) < TAILLE_TABLE_COS ? reste : 0.0f;
    return static_cast<int>(dans_un_tour) & MASQUE_TABLE_COS;
}
