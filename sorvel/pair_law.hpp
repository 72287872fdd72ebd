#pragma once

#include <cmath>

// The pair law for a source at (px, py), distance d >= 0, in the pair whose
// inverse matrix is mat and whose loudspeakers stand at distances d1 and d2:
// the two pair gains and the weight of the centre spread (0 outside the
// disc of radius rc). One definition, inlined both where a message computes
// targets and where the signal routine runs it for every sample, so the two
// give the same floats.
[[gnu::always_inline]] inline void loi_paire(const float *mat, float d1, float d2, float rc,
                                             float px, float py, float d, float *g1_sortie,
                                             float *g2_sortie, float *centre) {
    const float g1 = px * mat[0] + py * mat[1];
    const float g2 = px * mat[2] + py * mat[3];
    const float somme = g1 * g1 + g2 * g2;
    const float norme = somme > 1e-6f ? 1.0f / sqrtf(2.0f * somme) : 0.0f;
    const float e1 = g1 * norme * d1, e2 = g2 * norme * d2;
    // Outside the disc the pair falls as 1/distance. Inside it the pair fades
    // out toward the centre while the spread fades in; both meet the outside
    // law at the rim. Written without branches so that loops over samples
    // vectorise.
    const bool dehors = d > rc;
    *g1_sortie = dehors ? e1 / d : e1 * d / (rc * rc);
    *g2_sortie = dehors ? e2 / d : e2 * d / (rc * rc);
    *centre = dehors ? 0.0f : 1.0f - d / rc;
}
