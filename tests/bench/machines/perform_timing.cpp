// The perform routines of one machine's build, timed on their own with no
// library but the C++ one, so that the same program runs wherever the
// library is built (natively, under wine): tools/bench-machines sets the
// machines side by side. Prints, for the cases of make bench named on the
// command line (all 8-loudspeaker cases if none), the best time per block of
// 64 samples over a few rounds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../bench.hpp"

namespace {

struct Entree {
    std::string nom;
    std::function<bench::Bloc *()> preparer;
};

std::vector<Entree> &entrees() {
    static std::vector<Entree> e;
    return e;
}

constexpr long BLOCS = 200000; // about 5 minutes of sound
constexpr int TOURS = 5;

double ns_par_bloc(const Entree &e) {
    std::unique_ptr<bench::Bloc> b(e.preparer());
    volatile float puits = 0;
    double meilleur = 1e30;
    long numero = 0;
    for (int tour = 0; tour < TOURS; tour++) {
        const auto debut = std::chrono::steady_clock::now();
        for (long i = 0; i < BLOCS; i++) b->jouer(numero++);
        const auto fin = std::chrono::steady_clock::now();
        puits = puits + b->vecteur(1 + b->nb_positions)[bench::BLOC - 1];
        meilleur =
            std::min(meilleur, std::chrono::duration<double, std::nano>(fin - debut).count());
    }
    return meilleur / BLOCS;
}

} // namespace

void bench::ajouter(const std::string &name, int, std::function<Bloc *()> preparer) {
    entrees().push_back({name, std::move(preparer)});
}

int main(int argc, char **argv) {
    std::vector<std::string> cas(argv + 1, argv + argc);
    for (const Entree &e : entrees()) {
        const bool choisi = cas.empty() ? e.nom.find(" 8 ") != std::string::npos
                                        : std::find(cas.begin(), cas.end(), e.nom) != cas.end();
        if (!choisi) continue;
        std::printf("%-48s %10.1f\n", e.nom.c_str(), ns_par_bloc(e));
        std::fflush(stdout);
    }
    return 0;
}
