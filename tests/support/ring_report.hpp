#pragma once

// Console lines the objects share: the end of the get_info report of a new
// sorvel~ or kelmor~ (the glide, the count and the default square of
// loudspeakers), and the creation complaints worded alike in each object.

#include <string>

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

inline pd_host::Lines coordinate_complaint(const std::string &object) {
    return {object + ": erreur dans le type des coordonn\x82"
                     "es, ",
            "  elles sont cart\x82"
            "siennes par d\x82"
            "faut."};
}

// sorvel~ and kelmor~ spell it "controle"; trazin~ writes its o with a
// circumflex.
inline pd_host::Lines ring_inlet_complaint(const std::string &object) {
    return {object + ": erreur dans le type des entr\x82"
                     "es, ",
            "  elles sont en controle par d\x82"
            "faut."};
}
