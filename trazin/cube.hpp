#pragma once

// The eight loudspeakers of trazin~ at the corners of a cube, in outlet
// order: the lower square, then the upper square, each in the same azimuth
// order. Radians, as the floats the record holds.

#include "trazin_tilde.hpp"

// atan(1/sqrt 2): the corners of a cube seen from its centre.
constexpr float ELEVATION_COIN = 0.6154797f;

constexpr float HP_TETA[TRAZIN_NB_HP] = {2.3561945f, 0.78539819f, -0.78539819f, -2.3561945f,
                                         2.3561945f, 0.78539819f, -0.78539819f, -2.3561945f};
constexpr float HP_ELEV[TRAZIN_NB_HP] = {-ELEVATION_COIN, -ELEVATION_COIN, -ELEVATION_COIN,
                                         -ELEVATION_COIN, ELEVATION_COIN,  ELEVATION_COIN,
                                         ELEVATION_COIN,  ELEVATION_COIN};

// The sign of each loudspeaker's direction on x, y and z: the same size on
// every axis, 1/sqrt 3.
constexpr float HP_SIGNE_X[TRAZIN_NB_HP] = {-1, 1, 1, -1, -1, 1, 1, -1};
constexpr float HP_SIGNE_Y[TRAZIN_NB_HP] = {1, 1, -1, -1, 1, 1, -1, -1};
constexpr float HP_SIGNE_Z[TRAZIN_NB_HP] = {-1, -1, -1, -1, 1, 1, 1, 1};
