// sorvel~ loudspeaker layout: the default ring, the tables the panning law
// reads (distances, angle order, inverse pair matrices, centre spread), and
// the messages that change the count or place loudspeakers.

#include <algorithm>
#include <cmath>

#include "../common/numbers.hpp"
#include "../common/cp850.hpp"
#include "../common/creation_args.hpp"
#include "sorvel_tilde.hpp"

void sorvel_tilde_anneau_defaut(t_sorvel_tilde *x, int n) {
    for (int i = 0; i < n; i++) {
        float teta = static_cast<float>((0.5 + (1.0 - 2.0 * i) / n) * PI_F);
        if (teta < 0.0f) teta += DEUX_PI_F;
        x->hp_teta[i] = teta;
        x->hp_x[i] = cosf(teta);
        x->hp_y[i] = sinf(teta);
    }
}

void sorvel_tilde_init_hp_mat(t_sorvel_tilde *x) {
    const int n = x->nb_hp;

    for (int p = 0; p < SORVEL_MAX_HP; p++) x->hp_ordre[p] = p;
    for (int passe = 0; passe < n; passe++)
        for (int p = 0; p < n - 1; p++)
            if (x->hp_teta[x->hp_ordre[p]] > x->hp_teta[x->hp_ordre[p + 1]]) {
                const int t = x->hp_ordre[p];
                x->hp_ordre[p] = x->hp_ordre[p + 1];
                x->hp_ordre[p + 1] = t;
            }

    for (int j = 0; j < n; j++)
        x->hp_dist[j] = sqrtf(x->hp_x[j] * x->hp_x[j] + x->hp_y[j] * x->hp_y[j]);

    for (int k = 0; k < n; k++) {
        const int a = x->hp_ordre[k], b = x->hp_ordre[(k + 1) % n];
        float *mat = x->hp_mat[k];
        // A loudspeaker at the centre has no direction: the pairs it belongs
        // to are degenerate, like two neighbours on one line through it.
        bool valide = x->hp_dist[a] > 0.0f && x->hp_dist[b] > 0.0f;
        if (valide) {
            const float x1 = x->hp_x[a] / x->hp_dist[a], y1 = x->hp_y[a] / x->hp_dist[a];
            const float x2 = x->hp_x[b] / x->hp_dist[b], y2 = x->hp_y[b] / x->hp_dist[b];
            const float det = x1 * y2 - y1 * x2;
            valide = fabsf(det) > 1e-6f;
            if (valide) {
                const float inv = 1.0f / det;
                mat[0] = y2 * inv;
                mat[1] = -x2 * inv;
                mat[2] = -y1 * inv;
                mat[3] = x1 * inv;
            }
        }
        if (!valide) {
            post("sorvel~: deux haut-parleurs adjacents sont align" CP850_E_AIGU
                 "s, \n  la configuration actuelle n'est pas possible.");
            mat[0] = mat[1] = mat[2] = mat[3] = 0.0f;
        }
    }

    // For the signal routine: each pair's edges as pseudo-angles, kept in
    // order where rounding or an angle of a whole turn would not. The arc
    // cosine that places a source is worst where its angle's sine is small;
    // a source nearer an edge than this margin takes the exact search.
    float bord[SORVEL_MAX_HP], marge[SORVEL_MAX_HP];
    for (int k = 0; k < n; k++) {
        const double teta = x->hp_teta[x->hp_ordre[k]];
        bord[k] = sorvel_tilde_pseudo_angle<float>(cos(teta), sin(teta));
        if (teta > PI_F && bord[k] < 2.0f) bord[k] += 4.0f;
        if (k > 0) bord[k] = std::max(bord[k], bord[k - 1]);
        marge[k] = std::min(2e-3, 2e-6 / fabs(sin(teta))) + 4e-6;
    }
    std::fill(x->paire_teta, x->paire_teta + SORVEL_MAX_HP, INFINITY);
    std::fill(x->paire_bas, x->paire_bas + SORVEL_MAX_HP, INFINITY);
    for (int k = 0; k < n; k++) {
        const int suivant = (k + 1) % n;
        x->paire_teta[k] = x->hp_teta[x->hp_ordre[k]];
        for (int r = 0; r < 4; r++) x->paire_mat[r][k] = x->hp_mat[k][r];
        x->paire_dist[0][k] = x->hp_dist[x->hp_ordre[k]];
        x->paire_dist[1][k] = x->hp_dist[x->hp_ordre[suivant]];
        x->paire_bas[k] = bord[k];
        x->paire_haut[k] = suivant ? bord[suivant] : bord[0] + 4.0f;
        x->paire_marge[k] = std::max(marge[k], marge[suivant]);
        x->hp_premier[x->hp_ordre[k]] = k;
        x->hp_second[x->hp_ordre[suivant]] = k;
        for (int j = 0; j < SORVEL_MAX_HP; j++)
            x->paire_voie[k][j] = j == x->hp_ordre[k] ? 0 : j == x->hp_ordre[suivant] ? 1 : 2;
    }

    // The pair law at distance 1 applied to the four main directions and
    // summed: the spread the central disc blends into.
    float g[SORVEL_MAX_HP] = {};
    const float directions[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto &u : directions) {
        float teta = acosf(u[0]);
        if (u[1] < 0.0f) teta = DEUX_PI_F - teta;
        const int k = sorvel_tilde_chercher_paire(x, teta);
        const int a = x->hp_ordre[k], b = x->hp_ordre[(k + 1) % n];
        const float *mat = x->hp_mat[k];
        const float ga = u[0] * mat[0] + u[1] * mat[1];
        const float gb = u[0] * mat[2] + u[1] * mat[3];
        const float s = ga * ga + gb * gb;
        const float f = s > 1e-6f ? 1.0f / sqrtf(2.0f * s) : 0.0f;
        g[a] += ga * f * x->hp_dist[a];
        g[b] += gb * f * x->hp_dist[b];
    }
    // Scaled so that, for loudspeakers at distance 1, the power at the centre
    // equals the pair power at the rim. A loudspeaker at the centre takes no
    // part; with nothing to scale (every pair degenerate) the spread is zero.
    float somme = 0.0f;
    for (int j = 0; j < n; j++)
        if (x->hp_dist[j] > 0.0f) somme += (g[j] / x->hp_dist[j]) * (g[j] / x->hp_dist[j]);
    const float echelle = sqrtf(2.0f * somme) * x->rayon_disq_centrale;
    for (int j = 0; j < n; j++) x->gain_centre[j] = somme > 0.0f ? g[j] / echelle : 0.0f;
}

void sorvel_tilde_initialiser_nb_hp(t_sorvel_tilde *x, t_floatarg f) {
    const int n = entier_tronque(f);
    if (n >= 3 && n <= x->nb_sorties) {
        x->nb_hp = n;
        sorvel_tilde_anneau_defaut(x, n);
        sorvel_tilde_init_hp_mat(x);
    } else {
        post("sorvel~: Le nombre de haut-parleurs doit " CP850_E_CIRC "treinf" CP850_E_AIGU
             "rieur " CP850_A_GRAVE " %d, \n  et sup" CP850_E_AIGU "rieur " CP850_A_GRAVE
             " 3, ou " CP850_E_AIGU "gal.",
             x->nb_sorties);
    }
    sorvel_tilde_reappliquer_position(x);
}

// A placement is taken only if it leaves the loudspeaker at a finite place
// within range; otherwise that loudspeaker keeps its position.
static bool place_valide(float px, float py, float dist) {
    return fini(px) && fini(py) && dist < DISTANCE_LIMITE;
}

void sorvel_tilde_teta_positionner_hp(t_sorvel_tilde *x, t_symbol *, int argc, t_atom *argv) {
    for (int i = 0; i < argc && i < x->nb_hp; i++) {
        const float degres = atom_getfloat(&argv[i]);
        if (!fini(degres)) continue;
        const float teta = sorvel_tilde_radians(degres);
        x->hp_teta[i] = teta;
        x->hp_x[i] = cosf(teta);
        x->hp_y[i] = sinf(teta);
    }
    sorvel_tilde_init_hp_mat(x);
    if (x->type_entrees == ENTREES_CONTROLE) sorvel_tilde_reappliquer_position(x);
}

void sorvel_tilde_dist_teta_positionner_hp(t_sorvel_tilde *x, t_symbol *, int argc, t_atom *argv) {
    for (int i = 0; 2 * i < argc && i < x->nb_hp; i++) {
        const float d = atom_getfloat(&argv[2 * i]);
        float teta = x->hp_teta[i];
        if (2 * i + 1 < argc) {
            const float degres = atom_getfloat(&argv[2 * i + 1]);
            if (!fini(degres)) continue;
            teta = sorvel_tilde_radians(degres);
        }
        const float px = cosf(teta) * d, py = sinf(teta) * d;
        if (!place_valide(px, py, fabsf(d))) continue;
        x->hp_teta[i] = teta;
        x->hp_x[i] = px;
        x->hp_y[i] = py;
    }
    sorvel_tilde_init_hp_mat(x);
    sorvel_tilde_reappliquer_position(x);
}

void sorvel_tilde_xy_positionner_hp(t_sorvel_tilde *x, t_symbol *, int argc, t_atom *argv) {
    for (int i = 0; 2 * i < argc && i < x->nb_hp; i++) {
        const float u = atom_getfloat(&argv[2 * i]);
        const float v = 2 * i + 1 < argc ? atom_getfloat(&argv[2 * i + 1]) : x->hp_y[i];
        const float r = sqrtf(u * u + v * v);
        if (!place_valide(u, v, r)) continue;
        float teta = r == 0.0f ? 0.0f : acosf(cosinus(u, r));
        if (v < 0.0f) teta = DEUX_PI_F - teta;
        x->hp_teta[i] = teta;
        x->hp_x[i] = u;
        x->hp_y[i] = v;
    }
    sorvel_tilde_init_hp_mat(x);
    sorvel_tilde_reappliquer_position(x);
}
