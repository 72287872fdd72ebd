#include "cosine_table.hpp"

#include <cmath>

#include "numbers.hpp"

void remplir_table_cos(float *table) {
    for (int k = 0; k < TAILLE_TABLE_COS; k++)
        table[k] = cosf(static_cast<float>(2 * k) * PI_F * 0.000244140625f);
}
