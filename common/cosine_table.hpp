#pragma once

// One period of the cosine over 4096 entries, read by the signal-rate
// routines for angles that arrive as signals (no trigonometry per sample).

constexpr int TAILLE_TABLE_COS = 4096;
constexpr int MASQUE_TABLE_COS = TAILLE_TABLE_COS - 1;
constexpr int QUART_TABLE_COS = TAILLE_TABLE_COS / 4;

// Entry k = cosf(2k * pi * (1/4096)), all in single precision.
void remplir_table_cos(float *table);

// Index of an angle product already scaled to table steps: truncated toward
// zero and reduced to its low 12 bits, as two's complement would (so -1 gives
// 4095). Beyond the int range the product is reduced exactly first; a NaN or
// an infinity gives 0. Always in 0..4095.
int indice_hors_plage(float produit);
inline int indice_masque(float produit) {
    if (produit > -2147483648.0f && produit < 2147483648.0f)
        return static_cast<int>(produit) & MASQUE_TABLE_COS;
    return indice_hors_plage(produit);
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
