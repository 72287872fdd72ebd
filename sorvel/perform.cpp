// sorvel~ perform routines: the shared glide at control rate, and the
// panning law evaluated for every sample from position signals.

#include <algorithm>
#include <cmath>

#include "../common/numbers.hpp"
#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "../common/simd.hpp"
#include "pair_law.hpp"
#include "sorvel_tilde.hpp"

t_int *sorvel_tilde_perform_controle(t_int *w) {
    return perform_controle<t_sorvel_tilde>(w);
}

namespace {

// Samples of the three inputs taken at a time.
constexpr int MORCEAU = 64;

// A source closer than this (as a sine, about 0.1 degree) to the edge of its
// pair's sector takes the exact search: the arc cosine that defines the
// sectors is itself only that accurate near 0 and 180 degrees.
constexpr float MARGE_SECTEUR = 2e-3f;

// What the law needs of the pair a stretch is guessed in.
struct Paire {
    int s1, s2;
    float mat[4];
    float d1, d2; // distances of s1 and s2
    float t1, t2; // the sector [t1, t2); the pair across 0 has t1 > t2
    // Unit vectors along t1 and t2, when the sector is narrower than half a
    // turn and both are known: then two cross products tell, away from its
    // edges, that a direction lies inside without an arc cosine.
    float u1x, u1y, u2x, u2y;
    bool convexe;
};

// Unit vector along a loudspeaker's angle, from its position, which lies
// along that angle or, placed at a negative distance, opposite it.
bool direction(const t_sorvel_tilde *x, int j, float *ux, float *uy) {
    const float d = x->hp_dist[j], t = x->hp_teta[j];
    if (!(d > 0.0f)) return false;
    const float inverse = 1.0f / d; // a guess's precision is all this needs
    float vx = x->hp_x[j] * inverse, vy = x->hp_y[j] * inverse;
    // The larger component's sign is the one the angle fixes reliably.
    const bool meme = fabsf(vy) >= fabsf(vx) ? (vy > 0.0f) == (t < PI_F)
                                             : (vx > 0.0f) == (t < PI_F / 2 || t > 3 * PI_F / 2);
    *ux = meme ? vx : -vx;
    *uy = meme ? vy : -vy;
    return true;
}

int second_de(const t_sorvel_tilde *x, int k) {
    return x->hp_ordre[k + 1 < x->nb_hp ? k + 1 : 0];
}

Paire paire_de(const t_sorvel_tilde *x, int k) {
    Paire p;
    p.s1 = x->hp_ordre[k];
    p.s2 = second_de(x, k);
    std::copy(x->hp_mat[k], x->hp_mat[k] + 4, p.mat);
    p.d1 = x->hp_dist[p.s1];
    p.d2 = x->hp_dist[p.s2];
    p.t1 = x->hp_teta[p.s1];
    p.t2 = x->hp_teta[p.s2];
    const float largeur = p.t2 - p.t1 + (k == x->nb_hp - 1 ? DEUX_PI_F : 0.0f);
    p.convexe = largeur > 0.0f && largeur < PI_F - 0.01f && direction(x, p.s1, &p.u1x, &p.u1y) &&
                direction(x, p.s2, &p.u2x, &p.u2y);
    return p;
}

// The law, per sample, of one stretch: which pair each sample falls in, its
// two pair gains and the weight of the centre spread; and whether all lie in
// one pair, and whether any lies inside the disc. Silent samples get zeros
// in the guessed pair.
struct Gains {
    int paire[MORCEAU];
    float g1[MORCEAU], g2[MORCEAU], centre[MORCEAU];
    int exact[MORCEAU]; // computed on the way, for samples the guess fits
    bool une_paire, disque;
};

void loi_exacte(const t_sorvel_tilde *x, float px, float py, float d, float teta, Gains *g, int i) {
    g->g1[i] = g->g2[i] = g->centre[i] = 0.0f;
    if (!(d < DISTANCE_LIMITE)) return;
    const int k = sorvel_tilde_chercher_paire(x, teta);
    g->paire[i] = k;
    loi_paire(x->hp_mat[k], x->hp_dist[x->hp_ordre[k]], x->hp_dist[second_de(x, k)],
              x->rayon_disq_centrale, px, py, d, &g->g1[i], &g->g2[i], &g->centre[i]);
}

// Positions of one stretch, in cartesian form with their distance and, in
// polar form, the exact angle the pair is chosen by.
struct Positions {
    float px[MORCEAU], py[MORCEAU], d[MORCEAU], teta[MORCEAU];
    int sur[MORCEAU]; // 0 where only the exact path may decide
};

RINGCUBE_CLONES void convertir_polaire(const float *table, const float *a, const float *b, int n,
                                       Positions *__restrict pos) {
    for (int i = 0; i < n; i++) {
        // Angles within a turn either side wrap by one addition, as the
        // turn-by-turn wrap would; others take the exact path.
        const float degres = b[i];
        float w = degres < 0.0f ? degres + 360.0f : degres;
        w = w >= 360.0f ? w - 360.0f : w;
        const float teta = w * PI_F / 180.0f;
        const bool oppose = a[i] < 0.0f;
        pos->d[i] = oppose ? -a[i] : a[i];
        pos->teta[i] = oppose ? (teta < PI_F ? teta + PI_F : teta - PI_F) : teta;
        pos->sur[i] = (degres >= -360.0f) & (degres < 720.0f);
    }
    // Loops of their own, which the compiler vectorises.
    int k[MORCEAU];
    for (int i = 0; i < n; i++) k[i] = indice_angle(b[i]);
    for (int i = 0; i < n; i++) {
        pos->px[i] = a[i] * table[k[i]];
        pos->py[i] = a[i] * table[indice_sinus(k[i])];
    }
}

// Every sample is first taken in the pair the previous stretch ended in,
// which is where a moving source almost always still is; in cartesian form
// two cross products tell that, away from the sector's edges, without an arc
// cosine; in polar form the exact angle does. The law runs for all, and the
// samples that lie elsewhere, near an edge, or are not positions get the
// exact search after. Returns the pair of the last sample.
template <bool POLAIRE>
[[gnu::always_inline]] inline int loi(const t_sorvel_tilde *x, int k, const float *a,
                                      const float *b, int n, Positions *__restrict pos,
                                      Gains *__restrict g) {
    const Paire p = paire_de(x, k);
    const float rc = x->rayon_disq_centrale;
    const int autour = p.t1 > p.t2, convexe = p.convexe;
    int disque = 0, tous = 1;
    for (int i = 0; i < n; i++) {
        const float px = POLAIRE ? pos->px[i] : a[i], py = POLAIRE ? pos->py[i] : b[i];
        const float d = POLAIRE ? pos->d[i] : sqrtf(px * px + py * py);
        int dans;
        if (POLAIRE) {
            const int apres = pos->teta[i] >= p.t1, avant = pos->teta[i] < p.t2;
            dans = pos->sur[i] & ((apres & avant) | (autour & (apres | avant)));
        } else {
            const float c1 = p.u1x * py - p.u1y * px, c2 = px * p.u2y - py * p.u2x;
            dans = convexe & (c1 > MARGE_SECTEUR * d) & (c2 > MARGE_SECTEUR * d);
        }
        g->exact[i] = dans & (d < DISTANCE_LIMITE);
        loi_paire(p.mat, p.d1, p.d2, rc, px, py, d, &g->g1[i], &g->g2[i], &g->centre[i]);
        g->paire[i] = k;
        disque |= g->centre[i] != 0.0f;
        tous &= g->exact[i];
    }
    g->une_paire = true;
    for (int i = 0; i < n && !tous; i++)
        if (!g->exact[i]) {
            float px = a[i], py = b[i], d, teta;
            if (!POLAIRE) {
                sorvel_tilde_direction(px, py, &d, &teta);
            } else if (std::isfinite(b[i])) {
                const int indice = indice_angle(b[i]);
                px = a[i] * x->table_cos[indice];
                py = a[i] * x->table_cos[indice_sinus(indice)];
                d = fabsf(a[i]);
                teta = sorvel_tilde_radians(b[i]);
                if (a[i] < 0.0f) teta = teta < PI_F ? teta + PI_F : teta - PI_F;
            } else {
                d = NAN; // not a position: silent
                teta = 0.0f;
            }
            loi_exacte(x, px, py, d, teta, g, i);
            g->une_paire &= g->paire[i] == k;
            disque |= g->centre[i] != 0.0f;
        }
    g->disque = disque;
    return g->paire[n - 1];
}

RINGCUBE_CLONES int loi_cartesienne(const t_sorvel_tilde *x, int k, const float *a, const float *b,
                                    int n, Gains *__restrict g) {
    return loi<false>(x, k, a, b, n, nullptr, g);
}

RINGCUBE_CLONES int loi_polaire(const t_sorvel_tilde *x, int k, const float *a, const float *b,
                                int n, Gains *__restrict g) {
    Positions pos;
    convertir_polaire(x->table_cos, a, b, n, &pos);
    return loi<true>(x, k, a, b, n, &pos, g);
}

// Output j at each sample: the input times its share of the pair gains and
// of the centre spread. When the whole stretch lies in one pair outside the
// disc, only that pair sounds.
RINGCUBE_CLONES void ecrire(const t_sorvel_tilde *x, const Gains &g, const float *s,
                            t_sample *const *sorties, int debut, int n) {
    if (g.une_paire && !g.disque) {
        const int s1 = x->hp_ordre[g.paire[0]], s2 = second_de(x, g.paire[0]);
        for (int j = 0; j < x->nb_hp; j++) {
            t_sample *o = sorties[j] + debut;
            if (j == s1)
                for (int i = 0; i < n; i++) o[i] = s[i] * g.g1[i];
            else if (j == s2)
                for (int i = 0; i < n; i++) o[i] = s[i] * g.g2[i];
            else
                std::fill(o, o + n, 0.0f);
        }
        return;
    }
    int s1[MORCEAU], s2[MORCEAU];
    for (int i = 0; i < n; i++) {
        s1[i] = x->hp_ordre[g.paire[i]];
        s2[i] = second_de(x, g.paire[i]);
    }
    for (int j = 0; j < x->nb_hp; j++) {
        t_sample *o = sorties[j] + debut;
        const float gc = x->gain_centre[j];
        for (int i = 0; i < n; i++) {
            // Zero plus the spread, as the law adds it to a cleared gain.
            float gain = s1[i] == j ? g.g1[i] : (s2[i] == j ? g.g2[i] : 0.0f);
            gain += g.centre[i] * gc;
            o[i] = s[i] * gain;
        }
    }
}

// The pair of a block's first sample: the guess its stretches start from.
int premiere_paire(const t_sorvel_tilde *x, float a, float b) {
    float d, teta;
    if (x->type_repere == 1)
        sorvel_tilde_direction(a, b, &d, &teta);
    else
        teta = std::isfinite(b) ? sorvel_tilde_radians(b) + (a < 0.0f ? PI_F : 0.0f) : 0.0f;
    if (teta >= DEUX_PI_F) teta -= DEUX_PI_F;
    return sorvel_tilde_chercher_paire(x, teta);
}

void panner_signal(const t_sorvel_tilde *x, const t_sample *entree, const t_sample *c1,
                   const t_sample *c2, t_sample *const *sorties, int n) {
    bool partage = false;
    for (int j = 0; j < x->nb_sorties; j++)
        partage |= sorties[j] == entree || sorties[j] == c1 || sorties[j] == c2;
    t_sample s[MORCEAU], a[MORCEAU], b[MORCEAU];
    Gains g;
    int k = n > 0 ? premiere_paire(x, c1[0], c2[0]) : 0;
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        const t_sample *ps = entree + debut, *pa = c1 + debut, *pb = c2 + debut;
        if (partage) {
            std::copy(ps, ps + m, s);
            std::copy(pa, pa + m, a);
            std::copy(pb, pb + m, b);
            ps = s;
            pa = a;
            pb = b;
        }
        k = x->type_repere == 1 ? loi_cartesienne(x, k, pa, pb, m, &g)
                                : loi_polaire(x, k, pa, pb, m, &g);
        ecrire(x, g, ps, sorties, debut, m);
    }
}

} // namespace

// Arguments: the record, the input, the two position signals, one vector per
// outlet, the block size. Muted, or without its cosine table, it plays the
// message-driven glide instead of following the position signals.
t_int *sorvel_tilde_perform_signal(t_int *w) {
    t_sorvel_tilde *x = reinterpret_cast<t_sorvel_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *c1 = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *c2 = reinterpret_cast<t_sample *>(w[4]);
    const int nb_sorties = x->nb_sorties;
    t_sample *sorties[SORVEL_MAX_HP];
    for (int j = 0; j < nb_sorties; j++) sorties[j] = reinterpret_cast<t_sample *>(w[5 + j]);
    const int n = static_cast<int>(w[5 + nb_sorties]);
    if (x->entrees_muettes || !x->table_cos) {
        glisser_gains(x, entree, sorties, n);
    } else {
        panner_signal(x, entree, c1, c2, sorties, n);
        for (int j = x->nb_hp; j < nb_sorties; j++)
            std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
    }
    return w + nb_sorties + 6;
}
