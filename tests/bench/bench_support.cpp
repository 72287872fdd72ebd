#include <cmath>
#include <random>

#include "bench.hpp"
#include "instance_pd.hpp"

namespace bench {

namespace {
constexpr long BLOCS_CHEMIN = 690; // one second of blocks

// The position signals of a case over one second: circling, jumping or
// still, as cartesian (x, y, z), polar (distance, degrees, height) or
// spherical (distance, azimuth, angle from the vertical) coordinates.
void trajectoire(Bloc &b, const Cas &cas) {
    const long n = BLOCS_CHEMIN * BLOC;
    b.chemin.assign(b.nb_positions, std::vector<float>(n));
    std::mt19937 hasard(7);
    std::uniform_real_distribution<float> unite(-1.0f, 1.0f);
    const bool polaire = cas.repere != Repere::cartesien;
    for (long i = 0; i < n; i++) {
        float c[3] = {0, 0, 0};
        if (cas.mouvement == Mouvement::saut) {
            // noise~ on every coordinate: distances in [-1, 1], angles over
            // a turn either way, cartesian coordinates in [-2, 2].
            c[0] = polaire ? unite(hasard) : 2 * unite(hasard);
            c[1] = polaire ? 360 * unite(hasard) : 2 * unite(hasard);
            c[2] = cas.repere == Repere::spherique ? 180 * unite(hasard) : unite(hasard);
        } else if (cas.mouvement != Mouvement::centre) {
            const double rayon = cas.mouvement == Mouvement::disque ? 0.25 : 1.0;
            const double phase = 2 * M_PI * static_cast<double>(i) / n;
            const double hauteur = 0.3 * rayon * std::sin(3 * phase);
            c[0] = static_cast<float>(polaire ? rayon : rayon * std::cos(phase));
            c[1] = static_cast<float>(polaire ? phase * 180 / M_PI : rayon * std::sin(phase));
            c[2] =
                static_cast<float>(cas.repere == Repere::spherique ? 90 + 100 * hauteur : hauteur);
        }
        for (size_t p = 0; p < b.chemin.size(); p++) b.chemin[p][i] = c[p];
    }
}

const char *nom_repere(Repere r) {
    return r == Repere::cartesien ? "cartesian" : r == Repere::polaire ? "polar" : "spherical";
}
} // namespace

void Bloc::jouer(long bloc) {
    const long debut = (bloc % BLOCS_CHEMIN) * BLOC;
    for (size_t p = 0; p < chemin.size(); p++)
        w[3 + p] = reinterpret_cast<t_int>(chemin[p].data() + debut);
    if (entre_blocs) entre_blocs(bloc);
    perform(w.data());
}

Bloc::Bloc(std::shared_ptr<void> proprietaire, t_object *x)
    : objet(std::move(proprietaire)), nb_positions(fake_pd::boxes(x).signal_inlets) {
    const int nb = 1 + nb_positions + fake_pd::boxes(x).outlets;
    signaux.resize(nb * (BLOC + 8));
    for (int i = 0; i < BLOC; i++) vecteur(0)[i] = std::sin(0.05f * i);
    std::vector<t_sample *> vecteurs;
    for (int k = 0; k < nb; k++) vecteurs.push_back(vecteur(k));
    const fake_pd::Perform p = test::installer(x, vecteurs, BLOC);
    perform = p.routine;
    w.push_back(0);
    w.insert(w.end(), p.arguments.begin(), p.arguments.end());
}

void ajouter_cas(const std::string &nom, int sorties_actives, const Fabrique &fabrique,
                 bool spherique) {
    auto cas = [&](const std::string &quoi, Cas c) {
        ajouter(nom + " " + quoi, sorties_actives, [=] { return fabrique(c); });
    };
    const Repere C = Repere::cartesien, P = Repere::polaire;
    cas("control settled", {false, C, Mouvement::regle, false});
    cas("control x only, 10 ms", {false, C, Mouvement::ligne, false});
    cas("control anywhere, 10 ms", {false, C, Mouvement::partout, false});
    cas("control polar orbit", {false, P, Mouvement::orbite, false});
    std::vector<Repere> reperes = {C, P};
    if (spherique) reperes.push_back(Repere::spherique);
    for (Repere r : reperes) {
        const std::string s = std::string("signal ") + nom_repere(r);
        cas(s + " circling", {true, r, Mouvement::cercle, false});
        cas(s + " jumping", {true, r, Mouvement::saut, false});
    }
    cas("signal cartesian in the disc", {true, C, Mouvement::disque, false});
    cas("signal cartesian centre", {true, C, Mouvement::centre, false});
    cas("signal muted, anywhere", {true, C, Mouvement::partout, true});
}

void equiper(Bloc &b, const Cas &cas, float *gain_courant, const float *gain_cible, int nb_actifs,
             Commandes commandes) {
    if (cas.signal && !cas.muet) {
        trajectoire(b, cas);
        return;
    }
    switch (cas.mouvement) {
    case Mouvement::regle:
        for (int j = 0; j < nb_actifs; j++) gain_courant[j] = gain_cible[j];
        break;
    case Mouvement::ligne:
        b.entre_blocs = [commandes](long bloc) {
            if (bloc % BLOCS_MESSAGE == 0) commandes.x((bloc / BLOCS_MESSAGE) % 2 ? 0.6f : -0.4f);
        };
        break;
    case Mouvement::partout: {
        auto hasard = std::make_shared<std::mt19937>(11);
        b.entre_blocs = [commandes, hasard](long bloc) {
            std::uniform_real_distribution<float> partout(-2.0f, 2.0f);
            if (bloc % BLOCS_MESSAGE != 0) return;
            const float x = partout(*hasard);
            commandes.liste(x, partout(*hasard));
        };
        break;
    }
    case Mouvement::orbite:
        b.entre_blocs = [commandes](long bloc) {
            if (bloc % BLOCS_MESSAGE == 0)
                commandes.y(3.6f * static_cast<float>((bloc / BLOCS_MESSAGE) % 100));
        };
        break;
    default:
        break;
    }
}

} // namespace bench
