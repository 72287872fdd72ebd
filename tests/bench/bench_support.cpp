#include <benchmark/benchmark.h>

#include <cmath>

#include "bench.hpp"

namespace bench {

namespace {
constexpr long BLOCS_CHEMIN = 690; // one second of blocks

void avancer(Bloc &b, long bloc) {
    const long debut = (bloc % BLOCS_CHEMIN) * BLOC;
    for (size_t p = 0; p < b.chemin.size(); p++)
        b.w[3 + p] = reinterpret_cast<t_int>(b.chemin[p].data() + debut);
}
} // namespace

Bloc::Bloc(std::shared_ptr<void> proprietaire, void *record, int nb_positions, int nb_sorties,
           t_perfroutine routine)
    : objet(std::move(proprietaire)), positions(nb_positions, std::vector<float>(BLOC)),
      sorties(nb_sorties, std::vector<float>(BLOC)), perform(routine) {
    for (int i = 0; i < BLOC; i++) entree[i] = std::sin(0.05f * i);
    w.push_back(0);
    w.push_back(reinterpret_cast<t_int>(record));
    w.push_back(reinterpret_cast<t_int>(entree.data()));
    for (auto &p : positions) w.push_back(reinterpret_cast<t_int>(p.data()));
    for (auto &s : sorties) w.push_back(reinterpret_cast<t_int>(s.data()));
    w.push_back(BLOC);
}

void ajouter(const std::string &name, int sorties_actives, std::function<Bloc *()> preparer) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
        std::unique_ptr<Bloc> b(preparer());
        long numero = 0;
        for (auto _ : state) {
            if (!b->chemin.empty()) avancer(*b, numero);
            if (b->entre_blocs) b->entre_blocs(numero);
            numero++;
            b->perform(b->w.data());
            benchmark::DoNotOptimize(b->sorties[0][BLOC - 1]);
        }
        state.counters["samples"] = BLOC;
        state.counters["outputs"] = BLOC * sorties_actives;
    });
}

void ajouter_cas(const std::string &nom, int sorties_actives, const Fabrique &fabrique,
                 bool spherique) {
    auto cas = [&](const std::string &quoi, bool signal, Repere repere, bool regle, bool muet) {
        ajouter(nom + " " + quoi, sorties_actives,
                [=] { return fabrique(signal, repere, regle, muet); });
    };
    cas("control settled", false, Repere::cartesien, true, false);
    cas("control gliding", false, Repere::cartesien, false, false);
    cas("signal cartesian", true, Repere::cartesien, true, false);
    cas("signal polar", true, Repere::polaire, true, false);
    if (spherique) cas("signal spherical", true, Repere::spherique, true, false);
    cas("signal muted", true, Repere::cartesien, false, true);
}

void trajectoire(Bloc &b, Repere repere, float rayon) {
    b.chemin.assign(b.positions.size(), std::vector<float>(BLOCS_CHEMIN * BLOC));
    for (long i = 0; i < BLOCS_CHEMIN * BLOC; i++) {
        const double phase = 2 * M_PI * static_cast<double>(i) / (BLOCS_CHEMIN * BLOC);
        const double hauteur = 0.3 * rayon * std::sin(3 * phase);
        if (repere == Repere::cartesien) {
            b.chemin[0][i] = rayon * std::cos(phase);
            b.chemin[1][i] = rayon * std::sin(phase);
        } else {
            b.chemin[0][i] = rayon;
            b.chemin[1][i] = phase * 180 / M_PI;
        }
        if (b.chemin.size() > 2)
            b.chemin[2][i] = repere == Repere::spherique ? 90 + 100 * hauteur : hauteur;
    }
    avancer(b, 0);
}

} // namespace bench
