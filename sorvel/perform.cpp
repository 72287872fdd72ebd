// sorvel~ perform routines: the shared glide at control rate, and the
// panning law evaluated for every sample from position signals.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "../common/numbers.hpp"
#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "../common/simd.hpp"
#include "sorvel_tilde.hpp"

t_int *sorvel_tilde_perform_controle(t_int *w) {
    return perform_controle<t_sorvel_tilde>(w);
}

namespace {

// Samples taken at a time. Every input sample of a stretch is used up in the
// local arrays before any outlet of it is written, so an outlet may share
// any input's memory.
constexpr int MORCEAU = 256;

// A cartesian source closer than this (radians) to a sector edge takes the
// exact search: the arc cosine that defines its angle is only about 7e-4
// accurate near 0 and 180 degrees, the arc tangent below within 1e-5.
constexpr float MARGE = 2e-3f;

// Below this many degrees the whole turns of an angle are exact floats.
constexpr float DEGRES_EXACTS = 16777216.0f;

// The plain search on the angle as the law defines it.
int paire_exacte(const t_sorvel_tilde *x, bool polaire, float a, float b) {
    float d, teta;
    if (polaire) {
        teta = sorvel_tilde_radians(b);
        if (a < 0.0f) teta = teta < PI_F ? teta + PI_F : teta - PI_F;
    } else {
        sorvel_tilde_direction(a, b, &d, &teta);
    }
    return sorvel_tilde_chercher_paire(x, teta);
}

RINGCUBE_CLONES void panoramique(const t_sorvel_tilde *x, const t_sample *entree,
                                 const t_sample *premiere, const t_sample *seconde,
                                 t_sample *const *sorties, int n) {
    float X[MORCEAU], Y[MORCEAU], d[MORCEAU], teta[MORCEAU], g1[MORCEAU], g2[MORCEAU], c[MORCEAU];
    int k[MORCEAU], exact[MORCEAU];
    const bool polaire = x->type_repere == REPERE_POLAIRE;
    const int nb = x->nb_hp;
    const float *table = x->table_cos, rc = x->rayon_disq_centrale, inverse_rc = 1.0f / rc,
                inverse_rc2 = 1.0f / (rc * rc);
    // The sector edges in angle order, none past the last; each pair's
    // matrix; the places of the pairs each loudspeaker comes first and second in.
    float bornes[SORVEL_MAX_HP], m0[SORVEL_MAX_HP], m1[SORVEL_MAX_HP], m2[SORVEL_MAX_HP],
        m3[SORVEL_MAX_HP];
    int premier[SORVEL_MAX_HP], second[SORVEL_MAX_HP];
    std::fill(bornes, bornes + SORVEL_MAX_HP, INFINITY);
    for (int p = 0; p < nb; p++) {
        bornes[p] = x->hp_teta[x->hp_ordre[p]];
        m0[p] = x->hp_mat[p][0], m1[p] = x->hp_mat[p][1], m2[p] = x->hp_mat[p][2];
        m3[p] = x->hp_mat[p][3];
        premier[x->hp_ordre[p]] = p;
        second[x->hp_ordre[p]] = p > 0 ? p - 1 : nb - 1;
    }
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *s = entree + debut, *a = premiere + debut, *b = seconde + debut;
        const float *px = a, *py = b;
        if (polaire) {
            // Distance and degrees: the position through the table; the angle
            // that chooses the pair wrapped as a message wraps it (whole
            // turns off, then one on or off), larger ones by the exact search.
            for (int i = 0; i < m; i++) k[i] = indice_angle(b[i]);
            for (int i = 0; i < m; i++) {
                X[i] = a[i] * table[k[i]];
                Y[i] = a[i] * table[indice_sinus(k[i])];
            }
            for (int i = 0; i < m; i++) {
                float tours = b[i] / 360.0f; // within the int range, a NaN too
                tours = tours < 65536.0f ? tours : 65536.0f;
                tours = tours > -65536.0f ? tours : -65536.0f;
                float r = b[i] - static_cast<float>(static_cast<int>(tours)) * 360.0f;
                r = r < 0.0f ? r + 360.0f : r;
                r = r >= 360.0f ? r - 360.0f : r;
                const float t = r * PI_F / 180.0f, oppose = t < PI_F ? t + PI_F : t - PI_F;
                teta[i] = a[i] < 0.0f ? oppose : t;
                d[i] = fabsf(b[i]) <= FLT_MAX ? fabsf(a[i]) : NAN; // no angle, no sound
                exact[i] = !(fabsf(b[i]) < DEGRES_EXACTS);
            }
            px = X;
            py = Y;
        } else {
            // x and y: the angle the arc cosine gives, to its rounding, from
            // an arc tangent on [0, 1] (Hastings' polynomial).
            for (int i = 0; i < m; i++) {
                const float ax = fabsf(a[i]), ay = fabsf(b[i]);
                const float z = std::min(ax, ay) / std::max(ax, ay), z2 = z * z;
                float t = 0.1801410f + z2 * (-0.0851330f + z2 * 0.0208351f);
                t = z * (0.9998660f + z2 * (-0.3302995f + z2 * t));
                t = ay > ax ? PI_F / 2 - t : t;
                t = a[i] < 0.0f ? PI_F - t : t;
                teta[i] = b[i] < 0.0f ? DEUX_PI_F - t : t;
                d[i] = sqrtf(a[i] * a[i] + b[i] * b[i]);
                exact[i] = 0;
            }
        }
        // The pair: with c edges at or below the angle, pair c - 1, and with
        // none or all the pair across 0. A count that changes within the
        // margin either side marks a sample near an edge.
        const float marge = polaire ? 0.0f : MARGE;
        int proches = 0;
        for (int i = 0; i < m; i++) {
            int bas = 0, haut = 0;
            for (int p = 0; p < SORVEL_MAX_HP; p++) {
                bas += bornes[p] <= teta[i] - marge;
                haut += bornes[p] <= teta[i] + marge;
            }
            k[i] = haut >= 1 && haut < nb ? haut - 1 : nb - 1;
            exact[i] |= bas != haut;
            proches |= exact[i];
        }
        for (int i = 0; i < m && proches; i++)
            if (exact[i]) k[i] = paire_exacte(x, polaire, a[i], b[i]);
        // The law with one division where the messages' has six, so within
        // a few float steps of it; the source sample taken in already.
        for (int i = 0; i < m; i++) {
            const int p = k[i];
            const float u = px[i] * m0[p] + py[i] * m1[p], v = px[i] * m2[p] + py[i] * m3[p];
            const float somme = u * u + v * v;
            // Outside the disc 1 / (sqrt(2S) d), inside d / (sqrt(2S) rc^2).
            const bool dehors = d[i] > rc;
            const float haut = dehors ? 1.0f : d[i] * inverse_rc2, bas = dehors ? d[i] : 1.0f;
            const float f = s[i] * haut / (sqrtf(2.0f * somme) * bas);
            // Selections before the products keep the loads out of a branch.
            const bool audible = d[i] < DISTANCE_LIMITE, paire = audible & (somme > 1e-6f);
            const float fp = paire ? f : 0.0f, up = paire ? u : 0.0f, vp = paire ? v : 0.0f;
            g1[i] = up * fp;
            g2[i] = vp * fp;
            c[i] = audible & !dehors ? s[i] * ((rc - d[i]) * inverse_rc) : 0.0f;
        }
        // Each outlet: its distance times its gain in the sample's pair,
        // first or second, plus its share of the centre spread.
        for (int j = nb - 1; j >= 0; j--) {
            const int p1 = premier[j], p2 = second[j];
            const float dist = x->hp_dist[j], centre = x->gain_centre[j];
            t_sample *o = sorties[j] + debut;
            for (int i = 0; i < m; i++) {
                const float g = k[i] == p1 ? g1[i] : 0.0f, h = k[i] == p2 ? g2[i] : 0.0f;
                o[i] = (g + h) * dist + c[i] * centre;
            }
        }
    }
}

} // namespace

// Arguments: the record, the input, the two position signals, one vector per
// outlet, the block size. Muted, or without its cosine table, it plays the
// message-driven glide instead of following the position signals.
t_int *sorvel_tilde_perform_signal(t_int *w) {
    t_sorvel_tilde *x = reinterpret_cast<t_sorvel_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *premiere = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *seconde = reinterpret_cast<t_sample *>(w[4]);
    const int nb_sorties = x->nb_sorties;
    t_sample *sorties[SORVEL_MAX_HP];
    for (int j = 0; j < nb_sorties; j++) sorties[j] = reinterpret_cast<t_sample *>(w[5 + j]);
    const int n = static_cast<int>(w[5 + nb_sorties]);
    if (x->entrees_muettes || !x->table_cos) {
        glisser_gains(x, entree, sorties, n);
    } else {
        panoramique(x, entree, premiere, seconde, sorties, n);
        for (int j = x->nb_hp; j < nb_sorties; j++)
            std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
    }
    return w + nb_sorties + 6;
}
