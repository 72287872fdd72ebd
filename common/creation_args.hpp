#pragma once

#include <m_pd.h>

// Readers for creation arguments, shared by the three objects.

// First character of the atom's text, as the letter arguments ('c', 'p',
// 's') are recognised; a number gives a digit or a sign.
char lettre_argument(const t_atom *a);

// The letter argument argv[position] among `lettres`: its first character
// when it is one of them, `absent` when there is no such argument, 0 when it
// is anything else (the caller says so on the console).
char lettre_choisie(int argc, const t_atom *argv, int position, const char *lettres, char absent);

// A float truncated toward zero as atom_getint does, but saturated to the int
// range instead of wrapping; a NaN gives 0.
int entier_tronque(float f);

// An offset the first-order laws accept: finite and above 1e-6, compared in
// double precision (so the float nearest 1e-6 is refused).
bool offset_valide(float offset);

// Glide length in samples for a time in milliseconds: |ms| truncated toward
// zero, times the sample rate, over 1000, truncated, computed in single
// precision. At least 1 sample; a length beyond the int range is clamped.
int temps_interp_echantillons(float ms, float sr);
