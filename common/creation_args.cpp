#include "creation_args.hpp"

#include "numbers.hpp"

#include <climits>
#include <cmath>
#include <cstring>

char lettre_argument(const t_atom *a) {
    char texte[4];
    atom_string(a, texte, sizeof texte);
    return texte[0];
}

char lettre_choisie(int argc, const t_atom *argv, int position, const char *lettres, char absent) {
    if (position >= argc) return absent;
    const char lettre = lettre_argument(&argv[position]);
    return lettre != '\0' && strchr(lettres, lettre) ? lettre : '\0';
}

int entier_tronque(float f) {
    if (std::isnan(f)) return 0;
    if (f >= 2147483648.0f) return INT_MAX;
    if (f <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(f);
}

bool offset_valide(float offset) {
    return static_cast<double>(offset) > 1e-6 && fini(offset);
}

int temps_interp_echantillons(float ms, float sr) {
    const float echantillons = fabsf(truncf(ms)) * sr / 1000.0f;
    if (!(echantillons >= 1.0f)) return 1;
    if (echantillons >= 2147483648.0f) return INT_MAX;
    return static_cast<int>(echantillons);
}
