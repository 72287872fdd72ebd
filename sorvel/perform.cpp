// sorvel~ perform routines: the shared glide at control rate, and the
// panning law evaluated for every sample from position signals.

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "../common/angles.hpp"
#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "../common/simd.hpp"
#include "sorvel_tilde.hpp"

t_int *sorvel_tilde_perform_controle(t_int *w) {
    return perform_controle<t_sorvel_tilde>(w);
}

namespace {

// Samples taken at a time. Each stage runs over a whole stretch; the source
// is copied aside and the position signals are used up before any outlet of
// the stretch is written, so an outlet may share any input's memory.
constexpr int MORCEAU = 256;

// A cartesian source closer than this (radians) to a sector edge takes the
// exact search: the arc cosine that defines its angle is only about 7e-4
// accurate near 0 and 180 degrees, the arc tangent below stays within 1e-5.
constexpr float MARGE = 2e-3f;

// Below this many degrees the whole turns of an angle are exact floats.
constexpr float DEGRES_EXACTS = 16777216.0f;

// What the law reads of the layout, gathered once per block: per place p in
// angle order, the edge its sector starts at and the pair that starts there.
struct Loi {
    int m;
    float rc, inverse_rc, inverse_rc2;
    float bornes[SORVEL_MAX_HP];
    float m0[SORVEL_MAX_HP], m1[SORVEL_MAX_HP], m2[SORVEL_MAX_HP], m3[SORVEL_MAX_HP];
    float d1[SORVEL_MAX_HP], d2[SORVEL_MAX_HP];
    // Each loudspeaker's pairs: where it comes first, and second.
    int premier[SORVEL_MAX_HP], second[SORVEL_MAX_HP];
    const float *centre;
};

Loi deballer(const t_sorvel_tilde *x) {
    Loi loi;
    loi.m = x->nb_hp;
    loi.rc = x->rayon_disq_centrale;
    loi.inverse_rc = 1.0f / loi.rc;
    loi.inverse_rc2 = 1.0f / (loi.rc * loi.rc);
    loi.centre = x->gain_centre;
    for (int p = 0, avant = loi.m - 1; p < loi.m; avant = p++) {
        const int s1 = x->hp_ordre[p], s2 = x->hp_ordre[p + 1 < loi.m ? p + 1 : 0];
        loi.bornes[p] = x->hp_teta[s1];
        loi.m0[p] = x->hp_mat[p][0];
        loi.m1[p] = x->hp_mat[p][1];
        loi.m2[p] = x->hp_mat[p][2];
        loi.m3[p] = x->hp_mat[p][3];
        loi.d1[p] = x->hp_dist[s1];
        loi.d2[p] = x->hp_dist[s2];
        loi.premier[s1] = p;
        loi.second[s1] = avant;
    }
    for (int p = loi.m; p < SORVEL_MAX_HP; p++) loi.bornes[p] = INFINITY;
    return loi;
}

// Cartesian signals: the distance, and the angle as the arc cosine gives it
// (to its rounding), from an arc tangent on [0, 1] (Hastings' polynomial).
[[gnu::always_inline]] inline void cartesien(const t_sample *__restrict a,
                                             const t_sample *__restrict b, int n,
                                             float *__restrict d, float *__restrict teta,
                                             int *__restrict exact) {
    for (int i = 0; i < n; i++) {
        const float ax = fabsf(a[i]), ay = fabsf(b[i]);
        const float z = std::min(ax, ay) / std::max(ax, ay), z2 = z * z;
        float t =
            z * (0.9998660f +
                 z2 * (-0.3302995f + z2 * (0.1801410f + z2 * (-0.0851330f + z2 * 0.0208351f))));
        t = ay > ax ? PI_F / 2 - t : t;
        t = a[i] < 0.0f ? PI_F - t : t;
        teta[i] = b[i] < 0.0f ? DEUX_PI_F - t : t;
        d[i] = sqrtf(a[i] * a[i] + b[i] * b[i]);
        exact[i] = 0;
    }
}

// Polar signals (distance, degrees): the position through the table, and the
// angle that chooses the pair wrapped as a message wraps it, whole turns off
// and then one turn on or off; larger angles take the exact search. A
// non-finite angle is no direction: its distance is not a number.
[[gnu::always_inline]] inline void
polaire(const float *__restrict table, const t_sample *__restrict a, const t_sample *__restrict b,
        int n, float *__restrict px, float *__restrict py, float *__restrict d,
        float *__restrict teta, int *__restrict exact) {
    int k[MORCEAU];
    for (int i = 0; i < n; i++) k[i] = indice_angle(b[i]);
    for (int i = 0; i < n; i++) {
        px[i] = a[i] * table[k[i]];
        py[i] = a[i] * table[indice_sinus(k[i])];
    }
    for (int i = 0; i < n; i++) {
        // Whole turns kept within the int range, a NaN too.
        float tours = b[i] / 360.0f;
        tours = tours < 65536.0f ? tours : 65536.0f;
        tours = tours > -65536.0f ? tours : -65536.0f;
        float r = b[i] - static_cast<float>(static_cast<int>(tours)) * 360.0f;
        r = r < 0.0f ? r + 360.0f : r;
        r = r >= 360.0f ? r - 360.0f : r;
        const float t = r * PI_F / 180.0f, oppose = t < PI_F ? t + PI_F : t - PI_F;
        teta[i] = a[i] < 0.0f ? oppose : t;
        d[i] = fabsf(b[i]) <= FLT_MAX ? fabsf(a[i]) : NAN;
        exact[i] = !(fabsf(b[i]) < DEGRES_EXACTS);
    }
}

// The pair of each sample: with c sector edges at or below its angle, pair
// c - 1, and with none or all of them the pair across 0. A count that changes
// within the margin either side marks a sample near an edge.
[[gnu::always_inline]] inline int paires(const Loi &loi, const float *__restrict teta, float marge,
                                         int n, int *__restrict k, int *__restrict exact) {
    const float *bornes = loi.bornes;
    const int m = loi.m;
    int proches = 0;
    for (int i = 0; i < n; i++) {
        const float bas = teta[i] - marge, haut = teta[i] + marge;
        int cb = 0, ch = 0;
        for (int p = 0; p < SORVEL_MAX_HP; p++) {
            cb += bornes[p] <= bas;
            ch += bornes[p] <= haut;
        }
        k[i] = ch >= 1 && ch < m ? ch - 1 : m - 1;
        exact[i] |= cb != ch;
        proches |= exact[i];
    }
    return proches;
}

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

// Each sample's two pair gains and the weight of the centre spread: the law
// of the messages with one division where it has six, so within a few float
// steps of it. Zeros where the position is not finite or too far to be heard.
[[gnu::always_inline]] inline void gains(const Loi &loi, const float *__restrict px,
                                         const float *__restrict py, const float *__restrict d,
                                         const int *__restrict k, int n, float *__restrict g1,
                                         float *__restrict g2, float *__restrict c) {
    const float *m0 = loi.m0, *m1 = loi.m1, *m2 = loi.m2, *m3 = loi.m3, *d1 = loi.d1, *d2 = loi.d2;
    const float rc = loi.rc, inverse_rc = loi.inverse_rc, inverse_rc2 = loi.inverse_rc2;
    for (int i = 0; i < n; i++) {
        const int p = k[i];
        const float u = px[i] * m0[p] + py[i] * m1[p], v = px[i] * m2[p] + py[i] * m3[p];
        const float somme = u * u + v * v;
        // Outside the disc 1 / (sqrt(2S) d), inside d / (sqrt(2S) rc^2).
        const bool dehors = d[i] > rc;
        const float haut = dehors ? 1.0f : d[i] * inverse_rc2, bas = dehors ? d[i] : 1.0f;
        const float f = haut / (sqrtf(2.0f * somme) * bas);
        // Selected before the products, so that the compiler keeps the loads
        // of the pair's distances out of a branch and the loop vectorises.
        const bool audible = d[i] < DISTANCE_LIMITE, paire = audible & (somme > 1e-6f);
        const float fp = paire ? f : 0.0f, up = paire ? u : 0.0f, vp = paire ? v : 0.0f;
        g1[i] = up * fp * d1[p];
        g2[i] = vp * fp * d2[p];
        c[i] = audible & !dehors ? (rc - d[i]) * inverse_rc : 0.0f;
    }
}

// One outlet: its gain in the sample's pair, first or second, plus its share
// of the spread.
[[gnu::always_inline]] inline void
haut_parleur(int premier, int second, float centre, const int *__restrict k,
             const float *__restrict g1, const float *__restrict g2, const float *__restrict c,
             const t_sample *__restrict s, int n, t_sample *__restrict sortie) {
    for (int i = 0; i < n; i++) {
        const float a = g1[i], b = g2[i];
        float paire = k[i] == second ? b : 0.0f;
        paire = k[i] == premier ? a : paire;
        sortie[i] = s[i] * (paire + c[i] * centre);
    }
}

RINGCUBE_CLONES void panoramique(const t_sorvel_tilde *x, const Loi &loi, const t_sample *entree,
                                 const t_sample *premiere, const t_sample *seconde,
                                 t_sample *const *sorties, int n) {
    float s[MORCEAU], X[MORCEAU], Y[MORCEAU], d[MORCEAU], teta[MORCEAU];
    float g1[MORCEAU], g2[MORCEAU], c[MORCEAU];
    int k[MORCEAU], exact[MORCEAU];
    const bool en_polaire = x->type_repere == 0;
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *a = premiere + debut, *b = seconde + debut, *px = a, *py = b;
        std::copy(entree + debut, entree + debut + m, s);
        if (en_polaire) {
            polaire(x->table_cos, a, b, m, X, Y, d, teta, exact);
            px = X;
            py = Y;
        } else {
            cartesien(a, b, m, d, teta, exact);
        }
        if (paires(loi, teta, en_polaire ? 0.0f : MARGE, m, k, exact))
            for (int i = 0; i < m; i++)
                if (exact[i]) k[i] = paire_exacte(x, en_polaire, a[i], b[i]);
        gains(loi, px, py, d, k, m, g1, g2, c);
        for (int j = loi.m - 1; j >= 0; j--)
            haut_parleur(loi.premier[j], loi.second[j], loi.centre[j], k, g1, g2, c, s, m,
                         sorties[j] + debut);
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
        panoramique(x, deballer(x), entree, premiere, seconde, sorties, n);
        for (int j = x->nb_hp; j < nb_sorties; j++)
            std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
    }
    return w + nb_sorties + 6;
}
