#pragma once

// The end of the get_info report, the same in sorvel~ and kelmor~ for a new
// instance: the glide, the count and the default square of loudspeakers.

#include "pd_host.hpp"

inline const pd_host::Lines DEFAULT_SQUARE_REPORT = {"   temps d'interpolation  = 10 ms,",
                                                     "   nombre d'haut-parleurs = 4,",
                                                     "   position des haut-parleurs:",
                                                     "      hp n\xF8"
                                                     "1: -0.707107.x + 0.707107.y,",
                                                     "      hp n\xF8"
                                                     "2: 0.707107.x + 0.707107.y,",
                                                     "      hp n\xF8"
                                                     "3: 0.707107.x + -0.707107.y,",
                                                     "      hp n\xF8"
                                                     "4: -0.707107.x + -0.707107.y."};
