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

// What the stages leave of one source over a stretch. d2: a polar sample's
// distance squared; k: its pair, or -1 where the exact search is to find it;
// g1, g2: its gains on the first and second loudspeaker of that pair; c: its
// weight of the centre spread.
template <int N = MORCEAU> struct Etapes {
    alignas(32) float S[N], A[N], B[N], X[N], Y[N], d2[N], cle[N], g1[N], g2[N], c[N];
    alignas(32) int k[N], indice[N];
};

// Each sample's pair is the count of sector edges at or below its
// direction: in polar the exact angle against the loudspeakers' own, in
// cartesian a pseudo-angle against the edges', where a sample within the
// margin of an edge takes the exact search instead. True when a sample lies
// inside the disc.
template <class V, int N>
[[gnu::always_inline]] inline bool etapes(const t_sorvel_tilde *x, const t_sample *e,
                                          const t_sample *a, const t_sample *b, int m,
                                          Etapes<N> &t) {
    using M = masque_de<V>;
    constexpr int L = lanes<V>;
    float *S = t.S, *A = t.A, *B = t.B, *X = t.X, *Y = t.Y, *d2 = t.d2, *cle = t.cle;
    int *k = t.k, *indice = t.indice;
    const bool polaire = x->type_repere == REPERE_POLAIRE;
    const int nb = x->nb_hp;
    const bool huit = nb <= 8;
    const float *table = x->table_cos, rc = x->rayon_disq_centrale, rc2 = rc * rc,
                inverse_rc = 1.0f / rc, inverse_rc2 = 1.0f / rc2;
    const float *bornes = polaire ? x->paire_teta : x->paire_bas;
    const int mv = (m + L - 1) / L * L;
    // A stretch that ends inside a vector is read from copies padded with
    // zeros; every other is read where it lies.
    if (m < mv) {
        std::fill(std::copy(e, e + m, S), S + mv, 0.0f);
        std::fill(std::copy(a, a + m, A), A + mv, 0.0f);
        std::fill(std::copy(b, b + m, B), B + mv, 0.0f);
        e = S, a = A, b = B;
    }
    const float *px = a, *py = b;
    if (polaire) {
        // The angle that chooses the pair wrapped as a message wraps it
        // (whole turns off, then one on or off), beyond 2^24 degrees by the
        // exact search; no angle, no sound; the position through the table.
        for (int i = 0; i < mv; i++) {
            indice[i] = indice_angle(b[i]);
            float tours = b[i] * (1.0f / 360.0f); // a turn off is put right below
            tours = tours < 65536.0f ? tours : 65536.0f;
            tours = tours > -65536.0f ? tours : -65536.0f; // a NaN too
            float r = b[i] - static_cast<float>(static_cast<int>(tours)) * 360.0f;
            r = r < 0.0f ? r + 360.0f : r;
            r = r >= 360.0f ? r - 360.0f : r;
            const float u = r * PI_F / 180.0f, oppose = u < PI_F ? u + PI_F : u - PI_F;
            cle[i] = a[i] < 0.0f ? oppose : u;
            d2[i] = fini(b[i]) ? a[i] * a[i] : NAN;
            k[i] = !(fabsf(b[i]) < 16777216.0f);
        }
        for (int i = 0; i < mv; i++) {
            X[i] = a[i] * table[indice[i]];
            Y[i] = a[i] * table[indice_sinus(indice[i])];
        }
        px = X, py = Y;
    }
    // The pair: with c edges at or below, pair c - 1; with none, the pair
    // across 0, the direction then a turn on.
    M proches = M{};
    for (int i = 0; i < mv; i += L) {
        const V q = polaire ? v_charger<V>(cle + i)
                            : sorvel_tilde_pseudo_angle(v_charger<V>(a + i), v_charger<V>(b + i));
        M compte = M{};
        for (int p = 0; p < 8; p++) compte -= q >= bornes[p];
        if (nb > 8)
            for (int p = 8; p < SORVEL_MAX_HP; p++) compte -= q >= bornes[p];
        const M zero = compte == 0, paire = zero ? nb - 1 : compte - 1;
        M exact = polaire ? v_charger<M>(k + i) : M{};
        if (!polaire) {
            const V u = zero ? q + 4.0f : q;
            const V haut = v_choisir16(x->paire_haut, paire, huit) - u;
            const V bas = u - v_choisir16(x->paire_bas, paire, huit);
            exact |= (bas < haut ? bas : haut) < v_choisir16(x->paire_marge, paire, huit);
        }
        v_ranger(k + i, exact ? -1 : paire);
        proches |= exact;
    }
    if (!v_aucun(proches))
        for (int i = 0; i < m; i++)
            if (k[i] < 0) k[i] = sorvel_tilde_paire_exacte(x, polaire, a[i], b[i]);
    // The law with one division where the messages' has six, so within a
    // few float steps of it; the source sample taken in already.
    M interieur = M{};
    for (int i = 0; i < mv; i += L) {
        const M p = v_charger<M>(k + i);
        const V u0 = v_charger<V>(px + i), v0 = v_charger<V>(py + i),
                r2 = polaire ? v_charger<V>(d2 + i) : u0 * u0 + v0 * v0;
        const V u =
            u0 * v_choisir16(x->paire_mat[0], p, huit) + v0 * v_choisir16(x->paire_mat[1], p, huit);
        const V v =
            u0 * v_choisir16(x->paire_mat[2], p, huit) + v0 * v_choisir16(x->paire_mat[3], p, huit);
        const V somme = u * u + v * v;
        // Outside the disc 1 / (sqrt(2S) d), inside d / (sqrt(2S) rc^2), both
        // with d^2 under the root; the distance itself only inside.
        const M dehors = r2 > rc2, audible = r2 < DISTANCE_LIMITE * DISTANCE_LIMITE;
        const M dedans = audible & ~dehors, avec_paire = audible & (somme > 1e-6f);
        const V f0 = v_charger<V>(e + i), haut = dehors ? f0 : f0 * r2 * inverse_rc2;
        const V f = haut / v_racine(2.0f * somme * r2);
        v_ranger(t.g1 + i, avec_paire ? u * f * v_choisir16(x->paire_dist[0], p, huit) : 0.0f);
        v_ranger(t.g2 + i, avec_paire ? v * f * v_choisir16(x->paire_dist[1], p, huit) : 0.0f);
        const V centre = v_aucun(dedans) ? V{} : f0 * ((rc - v_racine(r2)) * inverse_rc);
        v_ranger(t.c + i, dedans ? centre : 0.0f);
        interieur |= dedans;
    }
    return !v_aucun(interieur);
}

// One source.
template <class V>
[[gnu::always_inline]] inline void panoramique(const t_sorvel_tilde *x, const t_sample *entree,
                                               const t_sample *premiere, const t_sample *seconde,
                                               t_sample *const *sorties, int n) {
    Etapes<> t;
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        etapes<V>(x, entree + debut, premiere + debut, seconde + debut, m, t);
        // Each outlet: its gain in the sample's pair, first or second, and
        // its share of the centre spread.
        for (int j = x->nb_hp - 1; j >= 0; j--) {
            const int p1 = x->hp_premier[j], p2 = x->hp_second[j];
            const float centre = x->gain_centre[j];
            t_sample *o = sorties[j] + debut;
            for (int i = 0; i < m; i++)
                o[i] = (t.k[i] == p1 ? t.g1[i] : 0.0f) + (t.k[i] == p2 ? t.g2[i] : 0.0f) +
                       t.c[i] * centre;
        }
    }
}

RINGCUBE_AVX2 void panoramique_huit(const t_sorvel_tilde *x, const t_sample *entree,
                                    const t_sample *premiere, const t_sample *seconde,
                                    t_sample *const *sorties, int n) {
    panoramique<v8f>(x, entree, premiere, seconde, sorties, n);
}

// Many sources on vectors of four: each one's pair gains go to the
// loudspeakers of the pairs it meets in the stretch, and only there (the
// first to reach a loudspeaker writes, the others add); their centre weights
// are summed and spread once. The sums stay aside until every source of the
// stretch has been read.
template <class V>
[[gnu::always_inline]] inline void
panoramique_sources(const t_sorvel_tilde *x, const t_sample *entree, const t_sample *premiere,
                    const t_sample *seconde, t_sample *const *sorties, int n) {
    Etapes<> t;
    alignas(32) float somme[SORVEL_MAX_HP][MORCEAU], centre[MORCEAU];
    const int nb = x->nb_hp, nb_sources = std::max(x->nb_sources, 1);
    const int *canaux = x->nb_canaux_position;
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        bool ecrit[SORVEL_MAX_HP] = {}, au_centre = false;
        for (int s = 0; s < nb_sources; s++) {
            const bool dedans = etapes<V>(x, canal(entree, nb_sources, s, n) + debut,
                                          canal(premiere, canaux[0], s, n) + debut,
                                          canal(seconde, canaux[1], s, n) + debut, m, t);
            unsigned paires = 0;
            for (int i = 0; i < m; i++) paires |= 1u << t.k[i];
            for (int j = 0; j < nb; j++) {
                const int p1 = x->hp_premier[j], p2 = x->hp_second[j];
                if (!(((paires >> p1) | (paires >> p2)) & 1u)) continue;
                float *o = somme[j];
                if (ecrit[j])
                    for (int i = 0; i < m; i++)
                        o[i] += (t.k[i] == p1 ? t.g1[i] : 0.0f) + (t.k[i] == p2 ? t.g2[i] : 0.0f);
                else
                    for (int i = 0; i < m; i++)
                        o[i] = (t.k[i] == p1 ? t.g1[i] : 0.0f) + (t.k[i] == p2 ? t.g2[i] : 0.0f);
                ecrit[j] = true;
            }
            if (!dedans) continue;
            if (au_centre)
                for (int i = 0; i < m; i++) centre[i] += t.c[i];
            else
                std::copy(t.c, t.c + m, centre);
            au_centre = true;
        }
        for (int j = 0; j < nb; j++) {
            t_sample *o = sorties[j] + debut;
            const float g = x->gain_centre[j];
            if (ecrit[j] && au_centre)
                for (int i = 0; i < m; i++) o[i] = somme[j][i] + centre[i] * g;
            else if (ecrit[j])
                std::copy(somme[j], somme[j] + m, o);
            else if (au_centre)
                for (int i = 0; i < m; i++) o[i] = centre[i] * g;
            else
                std::fill(o, o + m, 0.0f);
        }
    }
}

// The same on vectors of eight. A source that stays in one pair over a
// stretch adds its two gains to their loudspeakers' sums as they lie; for
// the others, one permute puts a sample's two pair gains into the lanes of
// their loudspeakers, summed sample by sample over a group of sources on
// every loudspeaker at once and turned into rows at the end.
RINGCUBE_AVX2 void panoramique_sources_huit(const t_sorvel_tilde *x, const t_sample *entree,
                                            const t_sample *premiere, const t_sample *seconde,
                                            t_sample *const *sorties, int n) {
    constexpr int PAS = 64, GROUPE = 8;
    Etapes<PAS> t[GROUPE];
    alignas(32) float centre[PAS], somme[SORVEL_MAX_HP][PAS], lignes[SORVEL_MAX_HP][PAS];
    alignas(32) v8f bas[PAS], haut[PAS];
    const int nb = x->nb_hp, nb_sources = std::max(x->nb_sources, 1);
    const int *canaux = x->nb_canaux_position;
    const bool huit = nb <= 8;
    float *rangs[SORVEL_MAX_HP];
    for (int j = 0; j < SORVEL_MAX_HP; j++) rangs[j] = lignes[j];
    for (int debut = 0; debut < n; debut += PAS) {
        const int m = std::min(PAS, n - debut), mv = (m + 7) / 8 * 8;
        bool ecrit[SORVEL_MAX_HP] = {}, au_centre = false, melees = false;
        for (int s0 = 0; s0 < nb_sources; s0 += GROUPE) {
            int g = 0;
            for (int s = s0; s < std::min(s0 + GROUPE, nb_sources); s++) {
                Etapes<PAS> &e = t[g];
                const bool dedans = etapes<v8f>(x, canal(entree, nb_sources, s, n) + debut,
                                                canal(premiere, canaux[0], s, n) + debut,
                                                canal(seconde, canaux[1], s, n) + debut, m, e);
                unsigned paires = 0;
                for (int i = 0; i < m; i++) paires |= 1u << e.k[i];
                std::fill(e.k + m, e.k + mv, 0);
                if (paires & (paires - 1))
                    g++;
                else {
                    const int p = e.k[0];
                    for (int cote = 0; cote < 2; cote++) {
                        const int j = x->hp_ordre[p + cote < nb ? p + cote : 0];
                        const float *gain = cote ? e.g2 : e.g1;
                        if (ecrit[j])
                            for (int i = 0; i < m; i++) somme[j][i] += gain[i];
                        else
                            std::copy(gain, gain + m, somme[j]);
                        ecrit[j] = true;
                    }
                }
                if (dedans) {
                    if (au_centre)
                        for (int i = 0; i < m; i++) centre[i] += e.c[i];
                    else
                        std::copy(e.c, e.c + m, centre);
                    au_centre = true;
                }
            }
            if (g == 0) continue;
            for (int i = 0; i < mv; i++) {
                v8f b = melees ? bas[i] : v8f{}, h = melees && !huit ? haut[i] : v8f{};
                for (int s = 0; s < g; s++) {
                    const v8f deux = {t[s].g1[i], t[s].g2[i]};
                    const int *voie = x->paire_voie[t[s].k[i]];
                    b += __builtin_shuffle(deux, v_charger<v8i>(voie));
                    if (!huit) h += __builtin_shuffle(deux, v_charger<v8i>(voie + 8));
                }
                bas[i] = b;
                if (!huit) haut[i] = h;
            }
            melees = true;
        }
        if (melees)
            for (int i = 0; i < mv; i += 8) {
                v_transposer(bas + i, rangs, i);
                if (!huit) v_transposer(haut + i, rangs + 8, i);
            }
        for (int j = 0; j < nb; j++) {
            t_sample *o = sorties[j] + debut;
            const float c = x->gain_centre[j], *a = ecrit[j] ? somme[j] : lignes[j];
            if (ecrit[j] && melees) {
                for (int i = 0; i < m; i++) o[i] = a[i] + lignes[j][i];
                a = o;
            }
            if (!ecrit[j] && !melees && au_centre)
                for (int i = 0; i < m; i++) o[i] = centre[i] * c;
            else if (!ecrit[j] && !melees)
                std::fill(o, o + m, 0.0f);
            else if (au_centre)
                for (int i = 0; i < m; i++) o[i] = a[i] + centre[i] * c;
            else if (a != o)
                std::copy(a, a + m, o);
        }
    }
}

} // namespace

// Arguments: the record, the input, the two position signals, the outlets'
// vectors, the block size. Muted, or without its cosine table, it plays the
// message-driven glide instead of following the position signals.
t_int *sorvel_tilde_perform_signal(t_int *w) {
    t_sorvel_tilde *x = reinterpret_cast<t_sorvel_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *premiere = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *seconde = reinterpret_cast<t_sample *>(w[4]);
    const int nb_sorties = x->nb_sorties;
    t_sample *sorties[SORVEL_MAX_HP];
    const int n = lire_sorties(w, 5, nb_sorties, x->sortie_multicanal, sorties);
    t_int *const suite = w + nb_vecteurs_sortie(nb_sorties, x->sortie_multicanal) + 6;
    if (x->entrees_muettes || !x->table_cos) {
        glisser_sources(x, entree, sorties, n);
        return suite;
    }
    const bool une = une_source(x);
    if (une && ringcube_avx2())
        panoramique_huit(x, entree, premiere, seconde, sorties, n);
    else if (une)
        panoramique<v4f>(x, entree, premiere, seconde, sorties, n);
    else if (ringcube_avx2())
        panoramique_sources_huit(x, entree, premiere, seconde, sorties, n);
    else
        panoramique_sources<v4f>(x, entree, premiere, seconde, sorties, n);
    for (int j = x->nb_hp; j < nb_sorties; j++)
        std::fill(sorties[j], sorties[j] + std::max(n, 0), 0.0f);
    return suite;
}
