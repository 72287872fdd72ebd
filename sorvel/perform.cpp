// sorvel~ perform routines: the shared glide at control rate, and the
// panning law evaluated for every sample from position signals.

#include <algorithm>
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

// Samples taken at a time, in stages over them that run side by side in
// vectors. Every input sample of a stretch is read by the stages before the
// last one writes any outlet of it, so an outlet may share any input's
// memory.
constexpr int MORCEAU = 256;

// Each sample's pair is the count of sector edges at or below its
// direction: in polar the exact angle against the loudspeakers' own, in
// cartesian a pseudo-angle against the edges', where a sample within the
// margin of an edge takes the exact search instead.
template <class V>
[[gnu::always_inline]] inline void panoramique(const t_sorvel_tilde *x, const t_sample *entree,
                                               const t_sample *premiere, const t_sample *seconde,
                                               t_sample *const *sorties, int n) {
    using M = masque_de<V>;
    constexpr int L = lanes<V>;
    // d2: a polar sample's distance squared; k: its pair, or -1 where the
    // exact search is to find it.
    alignas(32) float S[MORCEAU], A[MORCEAU], B[MORCEAU], X[MORCEAU], Y[MORCEAU], d2[MORCEAU],
        cle[MORCEAU], g1[MORCEAU], g2[MORCEAU], c[MORCEAU];
    alignas(32) int k[MORCEAU], indice[MORCEAU];
    const bool polaire = x->type_repere == REPERE_POLAIRE;
    const int nb = x->nb_hp;
    const bool huit = nb <= 8;
    const float *table = x->table_cos, rc = x->rayon_disq_centrale, rc2 = rc * rc,
                inverse_rc = 1.0f / rc, inverse_rc2 = 1.0f / rc2;
    const float *bornes = polaire ? x->paire_teta : x->paire_bas;
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut), mv = (m + L - 1) / L * L;
        const t_sample *e = entree + debut, *a = premiere + debut, *b = seconde + debut;
        // A stretch that ends inside a vector is read from copies padded
        // with zeros; every other is read where it lies.
        if (m < mv) {
            std::fill(std::copy(e, e + m, S), S + mv, 0.0f);
            std::fill(std::copy(a, a + m, A), A + mv, 0.0f);
            std::fill(std::copy(b, b + m, B), B + mv, 0.0f);
            e = S, a = A, b = B;
        }
        const float *px = a, *py = b;
        if (polaire) {
            // The angle that chooses the pair wrapped as a message wraps it
            // (whole turns off, then one on or off), beyond 2^24 degrees by
            // the exact search; no angle, no sound; the position through
            // the table.
            for (int i = 0; i < mv; i++) {
                indice[i] = indice_angle(b[i]);
                float tours = b[i] * (1.0f / 360.0f); // a turn off is put right below
                tours = tours < 65536.0f ? tours : 65536.0f;
                tours = tours > -65536.0f ? tours : -65536.0f; // a NaN too
                float r = b[i] - static_cast<float>(static_cast<int>(tours)) * 360.0f;
                r = r < 0.0f ? r + 360.0f : r;
                r = r >= 360.0f ? r - 360.0f : r;
                const float t = r * PI_F / 180.0f, oppose = t < PI_F ? t + PI_F : t - PI_F;
                cle[i] = a[i] < 0.0f ? oppose : t;
                d2[i] = fini(b[i]) ? a[i] * a[i] : NAN;
                k[i] = !(fabsf(b[i]) < 16777216.0f);
            }
            for (int i = 0; i < mv; i++) {
                X[i] = a[i] * table[indice[i]];
                Y[i] = a[i] * table[indice_sinus(indice[i])];
            }
            px = X, py = Y;
        }
        // The pair: with c edges at or below, pair c - 1; with none, the
        // pair across 0, the direction then a turn on.
        M proches = M{};
        for (int i = 0; i < mv; i += L) {
            const V q = polaire
                            ? v_charger<V>(cle + i)
                            : sorvel_tilde_pseudo_angle(v_charger<V>(a + i), v_charger<V>(b + i));
            M compte = M{};
            for (int p = 0; p < 8; p++) compte -= q >= bornes[p];
            if (nb > 8)
                for (int p = 8; p < SORVEL_MAX_HP; p++) compte -= q >= bornes[p];
            const M zero = compte == 0, paire = zero ? nb - 1 : compte - 1;
            M exact = polaire ? v_charger<M>(k + i) : M{};
            if (!polaire) {
                const V t = zero ? q + 4.0f : q;
                const V haut = v_choisir16(x->paire_haut, paire, huit) - t;
                const V bas = t - v_choisir16(x->paire_bas, paire, huit);
                exact |= (bas < haut ? bas : haut) < v_choisir16(x->paire_marge, paire, huit);
            }
            v_ranger(k + i, exact ? -1 : paire);
            proches |= exact;
        }
        if (!v_aucun(proches))
            for (int i = 0; i < m; i++)
                if (k[i] < 0) k[i] = sorvel_tilde_paire_exacte(x, polaire, a[i], b[i]);
        // The law with one division where the messages' has six, so within
        // a few float steps of it; the source sample taken in already.
        for (int i = 0; i < mv; i += L) {
            const M p = v_charger<M>(k + i);
            const V u0 = v_charger<V>(px + i), v0 = v_charger<V>(py + i),
                    r2 = polaire ? v_charger<V>(d2 + i) : u0 * u0 + v0 * v0;
            const V u = u0 * v_choisir16(x->paire_mat[0], p, huit) +
                        v0 * v_choisir16(x->paire_mat[1], p, huit);
            const V v = u0 * v_choisir16(x->paire_mat[2], p, huit) +
                        v0 * v_choisir16(x->paire_mat[3], p, huit);
            const V somme = u * u + v * v;
            // Outside the disc 1 / (sqrt(2S) d), inside d / (sqrt(2S) rc^2),
            // both with d^2 under the root; the distance itself only inside.
            const M dehors = r2 > rc2, audible = r2 < DISTANCE_LIMITE * DISTANCE_LIMITE;
            const M dedans = audible & ~dehors, avec_paire = audible & (somme > 1e-6f);
            const V f0 = v_charger<V>(e + i), haut = dehors ? f0 : f0 * r2 * inverse_rc2;
            const V f = haut / v_racine(2.0f * somme * r2);
            v_ranger(g1 + i, avec_paire ? u * f * v_choisir16(x->paire_dist[0], p, huit) : 0.0f);
            v_ranger(g2 + i, avec_paire ? v * f * v_choisir16(x->paire_dist[1], p, huit) : 0.0f);
            const V centre = v_aucun(dedans) ? V{} : f0 * ((rc - v_racine(r2)) * inverse_rc);
            v_ranger(c + i, dedans ? centre : 0.0f);
        }
        // Each outlet: its gain in the sample's pair, first or second, and
        // its share of the centre spread.
        for (int j = nb - 1; j >= 0; j--) {
            const int p1 = x->hp_premier[j], p2 = x->hp_second[j];
            const float centre = x->gain_centre[j];
            t_sample *o = sorties[j] + debut;
            for (int i = 0; i < m; i++)
                o[i] = (k[i] == p1 ? g1[i] : 0.0f) + (k[i] == p2 ? g2[i] : 0.0f) + c[i] * centre;
        }
    }
}

RINGCUBE_AVX2 void panoramique_huit(const t_sorvel_tilde *x, const t_sample *entree,
                                    const t_sample *premiere, const t_sample *seconde,
                                    t_sample *const *sorties, int n) {
    panoramique<v8f>(x, entree, premiere, seconde, sorties, n);
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
        return w + nb_sorties + 6;
    }
    if (ringcube_avx2())
        panoramique_huit(x, entree, premiere, seconde, sorties, n);
    else
        panoramique<v4f>(x, entree, premiere, seconde, sorties, n);
    for (int j = x->nb_hp; j < nb_sorties; j++)
        std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
    return w + nb_sorties + 6;
}
