#include "cosine_table.hpp"

#include <cmath>

#include "angles.hpp"

void remplir_table_cos(float *table) {
    for (int k = 0; k < TAILLE_TABLE_COS; k++)
        table[k] = cosf(static_cast<float>(2 * k) * PI_F * 0.000244140625f);
}

int indice_hors_plage(float produit) {
    if (!std::isfinite(produit)) return 0;
    // fmodf is exact, so the remainder keeps the low bits the mask would keep.
    return static_cast<int>(fmodf(produit, static_cast<float>(TAILLE_TABLE_COS))) &
           MASQUE_TABLE_COS;
}
