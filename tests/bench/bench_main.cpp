// make bench: the perform routines block by block (Google Benchmark), then
// whole patches in pd -batch against vanilla Pd, printed as one table.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "pd_host.hpp"

namespace {

struct Ligne {
    std::string nom;
    double ns_bloc, ns_echantillon, ns_sortie;
};

// Collects what Google Benchmark measured instead of printing it as it goes.
class Collecteur : public benchmark::BenchmarkReporter {
  public:
    std::vector<Ligne> lignes;
    bool ReportContext(const Context &) override { return true; }
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs) {
            const double ns = run.GetAdjustedCPUTime();
            lignes.push_back({run.benchmark_name(), ns, ns / run.counters.at("samples"),
                              ns / run.counters.at("outputs")});
        }
    }
};

// Whole patches: M sources, each a noise~ spread over 8 loudspeakers.
constexpr int SOURCES = 20;
constexpr int SECONDES = 60;
constexpr int TAUX = 44100;

using Construire = std::function<void(pd_host::Patch &, int bruit)>;

// A metro every 10 ms, started at load.
int metro(pd_host::Patch &p) {
    const int bang = p.obj("loadbang"), m = p.obj("metro 10");
    p.connect(bang, 0, m, 0);
    return m;
}

void plancher(pd_host::Patch &p, int bruit) {
    for (int j = 0; j < 8; j++) p.connect(bruit, 0, p.obj("*~ 0.5"), 0);
}

void vanille(pd_host::Patch &p, int bruit) {
    const int m = metro(p);
    for (int j = 0; j < 8; j++) {
        const int hasard = p.obj("random 1000"), echelle = p.obj("/ 1000"), rampe = p.msg("$1 10");
        const int ligne = p.obj("line~"), fois = p.obj("*~");
        p.connect(m, 0, hasard, 0);
        p.connect(hasard, 0, echelle, 0);
        p.connect(echelle, 0, rampe, 0);
        p.connect(rampe, 0, ligne, 0);
        p.connect(ligne, 0, fois, 1);
        p.connect(bruit, 0, fois, 0);
    }
}

Construire controle(const std::string &objet, bool deplace) {
    return [=](pd_host::Patch &p, int bruit) {
        const int o = p.obj(objet);
        p.connect(bruit, 0, o, 0);
        if (!deplace) return;
        const int m = metro(p), hasard = p.obj("random 2000"), echelle = p.obj("/ 1000");
        const int centre = p.obj("- 1");
        p.connect(m, 0, hasard, 0);
        p.connect(hasard, 0, echelle, 0);
        p.connect(echelle, 0, centre, 0);
        p.connect(centre, 0, o, 1);
    };
}

// What the signal-mode patches spend on moving their positions.
void positions(pd_host::Patch &p, int) {
    p.obj("osc~ 0.3");
    const int y = p.obj("osc~ 0.3"), bang = p.obj("loadbang"), quart = p.msg("0.25");
    p.connect(bang, 0, quart, 0);
    p.connect(quart, 0, y, 1);
}

// Signal positions on a circle of radius 1 (and a still height for trazin~).
Construire signal(const std::string &objet, int coordonnees) {
    return [=](pd_host::Patch &p, int bruit) {
        const int o = p.obj(objet), x = p.obj("osc~ 0.3"), y = p.obj("osc~ 0.3");
        const int bang = p.obj("loadbang"), quart = p.msg("0.25");
        p.connect(bang, 0, quart, 0);
        p.connect(quart, 0, y, 1);
        p.connect(bruit, 0, o, 0);
        p.connect(x, 0, o, 1);
        p.connect(y, 0, o, 2);
        if (coordonnees == 3) p.connect(p.obj("sig~ 0.2"), 0, o, 3);
    };
}

double temps_cpu(const Construire &construire) {
    double meilleur = 1e9;
    for (int essai = 0; essai < 3; essai++) {
        pd_host::Patch p(TAUX);
        for (int s = 0; s < SOURCES; s++) construire(p, p.obj("noise~"));
        meilleur = std::min(meilleur, p.run(static_cast<long>(SECONDES) * TAUX).cpu_seconds);
    }
    return meilleur;
}

bool existe(const std::string &objet) {
    return access((std::string(RC_LIBRARY_DIR) + "/" + objet + ".pd_linux").c_str(), F_OK) == 0;
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    Collecteur collecteur;
    benchmark::RunSpecifiedBenchmarks(&collecteur);

    std::printf("\n%-40s %12s %12s %16s\n", "Perform routine, blocks of 64 samples", "ns/block",
                "ns/sample", "ns/output sample");
    for (const Ligne &l : collecteur.lignes)
        std::printf("%-40s %12.1f %12.3f %16.4f\n", l.nom.c_str(), l.ns_bloc, l.ns_echantillon,
                    l.ns_sortie);

    std::vector<std::pair<std::string, Construire>> patches = {
        {"floor: 8 [*~ 0.5] per source", plancher},
        {"vanilla: 8 [line~]+[*~], retarget 10 ms", vanille},
        {"(the noise~ sources alone)", [](pd_host::Patch &, int) {}},
        {"(sources and circling positions alone)", positions}};
    for (const char *objet : {"sorvel~", "kelmor~", "trazin~"}) {
        if (!existe(objet)) continue;
        const std::string nom = objet, arguments = nom == "trazin~" ? "" : " 8";
        patches.push_back(
            {nom + arguments + " control, retarget 10 ms", controle(nom + arguments, true)});
        patches.push_back(
            {nom + arguments + " control, settled", controle(nom + arguments, false)});
        patches.push_back({nom + arguments + " signal cartesian, moving",
                           signal(nom + arguments + (nom == "trazin~" ? " c s" : " c s"),
                                  nom == "trazin~" ? 3 : 2)});
    }
    std::printf("\nWhole patches in pd -batch: %d sources x 8 loudspeakers x %d s, %d Hz "
                "(CPU time of the Pd process, best of 3)\n",
                SOURCES, SECONDES, TAUX);
    std::printf("%-48s %10s %10s\n", "patch", "CPU s", "x floor");
    double plancher_s = 0;
    for (const auto &[nom, construire] : patches) {
        const double s = temps_cpu(construire);
        if (plancher_s == 0) plancher_s = s;
        std::printf("%-48s %10.3f %10.2f\n", nom.c_str(), s, s / plancher_s);
        std::fflush(stdout);
    }
    return 0;
}
