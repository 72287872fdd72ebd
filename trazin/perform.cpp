// trazin~: the perform routines. Control inlets: the shared gain glide.
// Signal inlets: the law evaluated for every sample from the position
// signals, or the glide while they are muted.

#include <algorithm>
#include <cmath>
#include <limits>

#include "../common/cosine_table.hpp"
#include "../common/glide.hpp"
#include "../common/simd.hpp"
#include "cube.hpp"
#include "trazin_tilde.hpp"

t_int *trazin_tilde_perform_controle(t_int *w) {
    return perform_controle<t_trazin_tilde>(w);
}

namespace {

// Samples worked on at a time: every stage runs over a whole stretch, so that
// the compiler turns it into vector code. The coordinates of a stretch are all
// read before any output of it is written, so an output may share the memory
// of a position signal.
constexpr int MORCEAU = 64;

// A source at or beyond this distance (squared here) is silent: the gains
// fall as 1/distance, and the squares stay inside the float range.
constexpr float DISTANCE_CARREE_MAX = 1e36f;

// Marks a sample whose angle is not finite, so that the law silences it with
// the far ones (a NaN is never below the limit).
constexpr float MUET = std::numeric_limits<float>::quiet_NaN();

[[gnu::always_inline]] inline bool fini(float v) {
    return fabsf(v) <= std::numeric_limits<float>::max();
}

struct Position {
    alignas(32) float x[MORCEAU];
    alignas(32) float y[MORCEAU];
    alignas(32) float z[MORCEAU];
};

// The weights of the first-order law for a stretch of samples.
struct Poids {
    alignas(32) float omni[MORCEAU];
    alignas(32) float x[MORCEAU];
    alignas(32) float y[MORCEAU];
    alignas(32) float z[MORCEAU];
};

// Polar: (distance, azimuth, height). The indexes first, in a loop of plain
// arithmetic, then the table reads.
[[gnu::always_inline]] inline void polaire(const float *cosinus, const t_sample *c1,
                                           const t_sample *c2, const t_sample *c3, int m,
                                           Position &p) {
    alignas(32) int k[MORCEAU];
    for (int i = 0; i < m; i++) k[i] = indice_masque(degres_en_pas(c2[i]));
    for (int i = 0; i < m; i++) {
        const float d = fini(c2[i]) ? c1[i] : MUET;
        p.x[i] = d * cosinus[k[i]];
        p.y[i] = d * cosinus[indice_sinus(k[i])];
        p.z[i] = c3[i];
    }
}

// Spherical: (distance, azimuth, angle from the vertical). That angle's sine
// is the cosine a quarter turn earlier.
[[gnu::always_inline]] inline void spherique(const float *cosinus, const t_sample *c1,
                                             const t_sample *c2, const t_sample *c3, int m,
                                             Position &p) {
    alignas(32) int k[MORCEAU], l[MORCEAU];
    for (int i = 0; i < m; i++) {
        k[i] = indice_masque(degres_en_pas(c2[i]));
        l[i] = indice_masque(1024.0f - degres_en_pas(c3[i]));
    }
    for (int i = 0; i < m; i++) {
        const float d = fini(c2[i]) && fini(c3[i]) ? c1[i] : MUET;
        const float sin_phi = cosinus[l[i]];
        const float cos_phi = cosinus[indice_sinus(l[i])];
        p.x[i] = d * cosinus[k[i]] * sin_phi;
        p.y[i] = d * cosinus[indice_sinus(k[i])] * sin_phi;
        p.z[i] = d * cos_phi;
    }
}

// From a cartesian position to the weights, every sample on its own. A
// position not finite or too far gives four zero weights: silence.
[[gnu::always_inline]] inline void ponderer(float offset, const float *px, const float *py,
                                            const float *pz, int m, Poids &p) {
    for (int i = 0; i < m; i++) {
        const float r2 = px[i] * px[i] + py[i] * py[i] + pz[i] * pz[i];
        const bool proche = r2 < DISTANCE_CARREE_MAX;
        const float x = proche ? px[i] : 0.0f;
        const float y = proche ? py[i] : 0.0f;
        const float z = proche ? pz[i] : 0.0f;
        const float r = sqrtf(proche ? r2 : 0.0f);
        const float omni = static_cast<float>(TRAZIN_OMNI) / (r + offset);
        const float q = r * r + offset;
        p.omni[i] = proche ? omni : 0.0f;
        p.x[i] = 2.0f * x / q;
        p.y[i] = 2.0f * y / q;
        p.z[i] = 2.0f * z / q;
    }
}

[[gnu::always_inline]] inline float gain(float somme) {
    const float g = TRAZIN_NORMALISATION * somme;
    return g > 0.0f ? g : 0.0f;
}

// One loudspeaker's outputs for a stretch, from its direction. The source
// never shares the output's memory here (the routine copies it aside when an
// output does).
[[gnu::always_inline]] inline void decoder(const Poids &p, float dx, float dy, float dz,
                                           const t_sample *__restrict source,
                                           t_sample *__restrict sortie, int m) {
    for (int i = 0; i < m; i++)
        sortie[i] = gain(p.omni[i] + p.x[i] * dx + p.y[i] * dy + p.z[i] * dz) * source[i];
}

// The cube as creation lays it out, every component of every direction +a
// or -a: each product of a weight with a direction is then one product or its
// opposite, exactly, and the sums build on one another. They are the very
// sums of the loudspeaker-by-loudspeaker decoding, in the same order; the
// outputs follow the signs of HP_SIGNE_X, HP_SIGNE_Y and HP_SIGNE_Z.
[[gnu::always_inline]] inline void
decoder_cube(const Poids &p, float a, const t_sample *__restrict source, t_sample *__restrict s0,
             t_sample *__restrict s1, t_sample *__restrict s2, t_sample *__restrict s3,
             t_sample *__restrict s4, t_sample *__restrict s5, t_sample *__restrict s6,
             t_sample *__restrict s7, int m) {
    for (int i = 0; i < m; i++) {
        const float ax = p.x[i] * a, ay = p.y[i] * a, az = p.z[i] * a, s = source[i];
        const float xp = p.omni[i] + ax, xm = p.omni[i] - ax;
        const float xp_yp = xp + ay, xp_ym = xp - ay, xm_yp = xm + ay, xm_ym = xm - ay;
        s0[i] = gain(xm_yp - az) * s;
        s1[i] = gain(xp_yp - az) * s;
        s2[i] = gain(xp_ym - az) * s;
        s3[i] = gain(xm_ym - az) * s;
        s4[i] = gain(xm_yp + az) * s;
        s5[i] = gain(xp_yp + az) * s;
        s6[i] = gain(xp_ym + az) * s;
        s7[i] = gain(xm_ym + az) * s;
    }
}

// Each loudspeaker's direction, from the tables of the block.
struct Directions {
    float dx[TRAZIN_NB_HP], dy[TRAZIN_NB_HP], dz[TRAZIN_NB_HP];
    // The size of every component when they have the cube's signs and no
    // other size, 0 otherwise.
    float cube;
};

Directions lire_directions(const t_trazin_tilde *x) {
    Directions d;
    const float *cos_teta = x->hp_cos_teta, *sin_teta = x->hp_sin_teta;
    const float *cos_elev = x->hp_cos_elev, *sin_elev = x->hp_sin_elev;
    const float a = sin_elev[TRAZIN_NB_HP - 1];
    int ecarts = !(a > 0.0f);
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        d.dx[j] = cos_teta[j] * cos_elev[j];
        d.dy[j] = sin_teta[j] * cos_elev[j];
        d.dz[j] = sin_elev[j];
        ecarts |= (d.dx[j] != HP_SIGNE_X[j] * a) | (d.dy[j] != HP_SIGNE_Y[j] * a) |
                  (d.dz[j] != HP_SIGNE_Z[j] * a);
    }
    d.cube = ecarts ? 0.0f : a;
    return d;
}

// The signal-driven branch over a whole block.
RINGCUBE_CLONES void panoramiser(int repere, float offset, const float *cosinus,
                                 const Directions &d, const t_sample *entree, const t_sample *c1,
                                 const t_sample *c2, const t_sample *c3, t_sample *const *sorties,
                                 int n) {
    bool partage = false;
    for (int j = 0; j < TRAZIN_NB_HP; j++) partage |= sorties[j] == entree;
    Position pos;
    Poids p;
    alignas(32) t_sample copie[MORCEAU];
    for (int debut = 0; debut < n; debut += MORCEAU) {
        const int m = std::min(MORCEAU, n - debut);
        if (repere == REPERE_POLAIRE) {
            polaire(cosinus, c1 + debut, c2 + debut, c3 + debut, m, pos);
            ponderer(offset, pos.x, pos.y, pos.z, m, p);
        } else if (repere == REPERE_SPHERIQUE) {
            spherique(cosinus, c1 + debut, c2 + debut, c3 + debut, m, pos);
            ponderer(offset, pos.x, pos.y, pos.z, m, p);
        } else
            ponderer(offset, c1 + debut, c2 + debut, c3 + debut, m, p);
        const t_sample *source = entree + debut;
        if (partage) {
            std::copy(source, source + m, copie);
            source = copie;
        }
        if (d.cube > 0.0f)
            decoder_cube(p, d.cube, source, sorties[0] + debut, sorties[1] + debut,
                         sorties[2] + debut, sorties[3] + debut, sorties[4] + debut,
                         sorties[5] + debut, sorties[6] + debut, sorties[7] + debut, m);
        else
            for (int j = 0; j < TRAZIN_NB_HP; j++)
                decoder(p, d.dx[j], d.dy[j], d.dz[j], source, sorties[j] + debut, m);
    }
}

} // namespace

// Arguments: the record, the input, the three position signals, the eight
// outlet vectors, the block size.
t_int *trazin_tilde_perform_signal(t_int *w) {
    t_trazin_tilde *x = reinterpret_cast<t_trazin_tilde *>(w[1]);
    const t_sample *entree = reinterpret_cast<t_sample *>(w[2]);
    const t_sample *c1 = reinterpret_cast<t_sample *>(w[3]);
    const t_sample *c2 = reinterpret_cast<t_sample *>(w[4]);
    const t_sample *c3 = reinterpret_cast<t_sample *>(w[5]);
    t_sample *sorties[TRAZIN_NB_HP];
    for (int j = 0; j < TRAZIN_NB_HP; j++) sorties[j] = reinterpret_cast<t_sample *>(w[6 + j]);
    const int n = static_cast<int>(w[6 + TRAZIN_NB_HP]);

    // Without its tables (the block could not be had) the instance can only
    // play the glide.
    if (x->entrees_muettes || !x->table_cos) {
        glisser_gains(x, entree, sorties, n);
        return w + 15;
    }

    const Directions d = lire_directions(x);
    panoramiser(x->type_repere, x->offset, x->table_cos, d, entree, c1, c2, c3, sorties, n);
    return w + 15;
}
