#pragma once

#include <cmath>

// One period of the cosine over 4096 entries, read by the signal-rate
// routines for angles that arrive as signals (no trigonometry per sample).

constexpr int TAILLE_TABLE_COS = 4096;
constexpr int MASQUE_TABLE_COS = TAILLE_TABLE_COS - 1;
constexpr int QUART_TABLE_COS = TAILLE_TABLE_COS / 4;

// Entry k = cosf(2k * pi * (1/4096)), all in single precision.
void remplir_table_cos(float *table);

// Index of an angle product already scaled to table steps: truncated toward
// zero and reduced to its low 12 bits, as two's complement would (so -1 gives
// 4095); beyond the int range, the low bits an exact wide integer would
// have; a NaN or an infinity gives 0. Always in 0..4095, and written without
// a branch or a call so that loops over samples vectorise.
//
// The product less its whole turns is computed without rounding: below 2^23
// turns the int conversion truncates them and what is left is 4096 times the
// fraction of the turns, which a float always holds; it keeps the sign and
// the low bits of the truncated product, so masking it gives the same index.
// From 2^23 turns on, the product is a whole number of turns and the
// difference with the clamped turns a multiple of 4096, so it is 0 or at
// least 4096: index 0 either way. Not a number or infinite, the difference
// is too.
[[gnu::always_inline]] inline int indice_masque(float produit) {
    constexpr float TOURS_MAX = 8388608.0f;
    const float tours = produit * (1.0f / TAILLE_TABLE_COS);
    // The comparisons are written so that a NaN comes out within the range.
    float bornes = tours < TOURS_MAX ? tours : TOURS_MAX;
    bornes = bornes > -TOURS_MAX ? bornes : -TOURS_MAX;
    const float reste = produit - static_cast<float>(static_cast<int>(bornes)) * TAILLE_TABLE_COS;
    const float dans_un_tour = fabsf(reste) < TAILLE_TABLE_COS ? reste : 0.0f;
    return static_cast<int>(dans_un_tour) & MASQUE_TABLE_COS;
}

// Table steps per degree: 4096 * (1/360), both single precision.
inline float degres_en_pas(float degres) {
    return degres * 4096.0f * 0.0027777778f;
}

// Table index of an angle in degrees.
inline int indice_angle(float degres) {
    return indice_masque(degres_en_pas(degres));
}

// The sine of the angle at index k is the cosine a quarter turn before it.
inline int indice_sinus(int k) {
    return (QUART_TABLE_COS - k) & MASQUE_TABLE_COS;
}
