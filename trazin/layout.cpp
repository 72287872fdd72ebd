// trazin~: the cube, and the tables of its directions a signal-mode instance
// keeps in its block.

#include <cmath>

#include "../common/cosine_table.hpp"
#include "trazin_tilde.hpp"

// atan(1/sqrt 2): the corners of a cube seen from its centre.
constexpr float ELEVATION_COIN = 0.6154797f;

const float TRAZIN_HP_TETA[TRAZIN_NB_HP] = {2.3561945f, 0.78539819f, -0.78539819f, -2.3561945f,
                                            2.3561945f, 0.78539819f, -0.78539819f, -2.3561945f};
const float TRAZIN_HP_ELEV[TRAZIN_NB_HP] = {-ELEVATION_COIN, -ELEVATION_COIN, -ELEVATION_COIN,
                                            -ELEVATION_COIN, ELEVATION_COIN,  ELEVATION_COIN,
                                            ELEVATION_COIN,  ELEVATION_COIN};

void trazin_tilde_disposer_cube(t_trazin_tilde *x) {
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        x->hp_teta[j] = TRAZIN_HP_TETA[j];
        x->hp_elev[j] = TRAZIN_HP_ELEV[j];
        x->hp_cos_teta_double[j] = cos(static_cast<double>(x->hp_teta[j]));
        x->hp_sin_teta_double[j] = sin(static_cast<double>(x->hp_teta[j]));
        x->hp_cos_elev_double[j] = cos(static_cast<double>(x->hp_elev[j]));
        x->hp_sin_elev_double[j] = sin(static_cast<double>(x->hp_elev[j]));
    }
}

void trazin_tilde_installer_bloc(t_trazin_tilde *x, float *bloc) {
    x->hp_cos_teta = bloc;
    x->hp_sin_teta = bloc + TRAZIN_NB_HP;
    x->hp_cos_elev = bloc + 2 * TRAZIN_NB_HP;
    x->hp_sin_elev = bloc + 3 * TRAZIN_NB_HP;
    x->table_cos = bloc + 4 * TRAZIN_NB_HP;
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        x->hp_cos_teta[j] = cosf(x->hp_teta[j]);
        x->hp_sin_teta[j] = sinf(x->hp_teta[j]);
        x->hp_cos_elev[j] = cosf(x->hp_elev[j]);
        x->hp_sin_elev[j] = sinf(x->hp_elev[j]);
    }
    remplir_table_cos(x->table_cos);
}
