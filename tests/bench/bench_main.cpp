// make bench: the perform routines block by block (Google Benchmark), then
// whole patches in pd -batch against vanilla Pd, printed as one table.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench.hpp"
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
// Long enough that Pd's own start is a few per cent of the smallest patch.
constexpr int SOURCES = 20;
constexpr int SECONDES = 120;
constexpr int TAUX = 44100;

using Construire = std::function<void(pd_host::Patch &, int bruit)>;

// A metro every 10 ms, started at load.
int metro(pd_host::Patch &p) {
    const int bang = p.obj("loadbang"), m = p.obj("metro 10");
    p.connect(bang, 0, m, 0);
    return m;
}

// A random number in [bas, haut) at every bang of `declencheur`'s outlet.
int hasard(pd_host::Patch &p, int declencheur, int sortie, float bas, float haut) {
    const int r = p.obj("random 1000"), echelle = p.obj("/ 1000");
    const int etendue = p.obj("* " + std::to_string(haut - bas));
    const int decalage = p.obj("+ " + std::to_string(bas));
    p.connect(declencheur, sortie, r, 0);
    p.connect(r, 0, echelle, 0);
    p.connect(echelle, 0, etendue, 0);
    p.connect(etendue, 0, decalage, 0);
    return decalage;
}

// Eight random gains in [0, 1) every 10 ms, packed into one list.
int huit_gains(pd_host::Patch &p) {
    const int m = metro(p), t = p.obj("t b b b b b b b b");
    const int pack = p.obj("pack 0 0 0 0 0 0 0 0");
    p.connect(m, 0, t, 0);
    for (int j = 0; j < 8; j++) p.connect(hasard(p, t, j, 0, 1), 0, pack, j);
    return pack;
}

void plancher(pd_host::Patch &p, int bruit) {
    for (int j = 0; j < 8; j++) p.connect(bruit, 0, p.obj("*~ 0.5"), 0);
}

void vanille(pd_host::Patch &p, int bruit) {
    const int m = metro(p);
    for (int j = 0; j < 8; j++) {
        const int rampe = p.msg("$1 10"), ligne = p.obj("line~"), fois = p.obj("*~");
        p.connect(hasard(p, m, 0, 0, 1), 0, rampe, 0);
        p.connect(rampe, 0, ligne, 0);
        p.connect(ligne, 0, fois, 1);
        p.connect(bruit, 0, fois, 0);
    }
}

void iemmatrix(pd_host::Patch &p, int bruit) {
    const int matrice = p.msg("matrix 8 1 $1 $2 $3 $4 $5 $6 $7 $8");
    const int o = p.obj("mtx_*~ 8 1 10");
    p.connect(huit_gains(p), 0, matrice, 0);
    p.connect(matrice, 0, o, 0);
    p.connect(bruit, 0, o, 1);
}

void zexy(pd_host::Patch &p, int bruit) {
    const int o = p.obj("multiline~ 0 0 0 0 0 0 0 0 10");
    p.connect(huit_gains(p), 0, o, 8);
    for (int j = 0; j < 8; j++) p.connect(bruit, 0, o, j);
}

// Control inlets: settled, x alone along y = 1, a list x y anywhere in
// [-2, 2], or (created polar) an orbit of 3.6 degrees every 10 ms.
enum class Motion { settled, x_only, anywhere, orbit };

// An empty `objet` measures the messages alone.
Construire controle(const std::string &objet, Motion motion) {
    return [=](pd_host::Patch &p, int bruit) {
        const int o = p.obj(objet.empty() ? "t a a a" : objet);
        if (!objet.empty()) p.connect(bruit, 0, o, 0);
        if (motion == Motion::settled) return;
        const int m = metro(p);
        if (motion == Motion::x_only) {
            p.connect(hasard(p, m, 0, -1, 1), 0, o, 1);
        } else if (motion == Motion::anywhere) {
            const int t = p.obj("t b b"), pack = p.obj("pack 0 0");
            p.connect(m, 0, t, 0);
            p.connect(hasard(p, t, 1, -2, 2), 0, pack, 1);
            p.connect(hasard(p, t, 0, -2, 2), 0, pack, 0);
            p.connect(pack, 0, o, 0);
        } else {
            const int f = p.obj("f"), plus = p.obj("+ 1"), tour = p.obj("mod 100");
            const int degres = p.obj("* 3.6");
            p.connect(m, 0, f, 0);
            p.connect(f, 0, plus, 0);
            p.connect(plus, 0, tour, 0);
            p.connect(tour, 0, f, 1);
            p.connect(f, 0, degres, 0);
            p.connect(degres, 0, o, 2);
        }
    };
}

// Position signals: circling at a radius (two osc~ a quarter turn apart),
// jumping (a noise~ a coordinate, angles over a turn either way), or none
// (the centre). `coordonnees` counts the object's position inlets.
enum class Signals { circling, in_the_disc, jumping_cartesian, jumping_polar, centre, none };

void positions(pd_host::Patch &p, int objet, Signals quoi, int coordonnees) {
    if (quoi == Signals::centre) return;
    if (quoi == Signals::circling || quoi == Signals::in_the_disc) {
        const int x = p.obj("osc~ 0.3"), y = p.obj("osc~ 0.3");
        const int bang = p.obj("loadbang"), quart = p.msg("0.25");
        p.connect(bang, 0, quart, 0);
        p.connect(quart, 0, y, 1);
        const std::string rayon = quoi == Signals::in_the_disc ? "0.25" : "1";
        const int rx = p.obj("*~ " + rayon), ry = p.obj("*~ " + rayon);
        p.connect(x, 0, rx, 0);
        p.connect(y, 0, ry, 0);
        if (objet < 0) return;
        p.connect(rx, 0, objet, 1);
        p.connect(ry, 0, objet, 2);
        if (coordonnees == 3) p.connect(p.obj("sig~ 0.2"), 0, objet, 3);
        return;
    }
    for (int c = 0; c < coordonnees; c++) {
        int s = p.obj("noise~");
        if (c > 0 || quoi == Signals::jumping_cartesian) {
            const int echelle = p.obj(quoi == Signals::jumping_polar && c > 0 ? "*~ 360" : "*~ 2");
            p.connect(s, 0, echelle, 0);
            s = echelle;
        }
        if (objet >= 0) p.connect(s, 0, objet, 1 + c);
    }
}

Construire signal(const std::string &objet, Signals quoi, int coordonnees) {
    return [=](pd_host::Patch &p, int bruit) {
        const int o = objet.empty() ? -1 : p.obj(objet);
        if (o >= 0) p.connect(bruit, 0, o, 0);
        positions(p, o, quoi, coordonnees);
    };
}

// Multichannel (Pd 0.54 on): 16 sources, each with positions of its own,
// circling (two osc~ of its own frequency a quarter turn apart, outside the
// disc) or jumping (a noise~ a coordinate), into the same 8 outputs.
constexpr int SOURCES_MC = 16;
enum class Forme { signaux_seuls, separees, une, une_mc };

void multicanal(pd_host::Patch &p, const std::string &objet, int coordonnees, bool saute,
                Forme forme) {
    std::vector<int> sources, pos[3];
    for (int k = 0; k < SOURCES_MC; k++) {
        sources.push_back(p.obj("noise~"));
        if (saute) {
            for (int c = 0; c < coordonnees; c++) {
                const int bruit = p.obj("noise~"), echelle = p.obj("*~ 2");
                p.connect(bruit, 0, echelle, 0);
                pos[c].push_back(echelle);
            }
            continue;
        }
        const std::string hz = std::to_string(0.2 + 0.05 * k);
        const int x = p.obj("osc~ " + hz), y = p.obj("osc~ " + hz);
        const int bang = p.obj("loadbang"), quart = p.msg("0.25");
        p.connect(bang, 0, quart, 0);
        p.connect(quart, 0, y, 1);
        pos[0].push_back(x), pos[1].push_back(y);
        if (coordonnees == 3) pos[2].push_back(p.obj("sig~ 0.2"));
    }
    std::vector<int> sorties;
    for (int j = 0; j < 8; j++) sorties.push_back(p.obj("*~ 0.5"));
    if (forme == Forme::signaux_seuls) return;
    if (forme == Forme::separees) {
        for (int k = 0; k < SOURCES_MC; k++) {
            const int o = p.obj(objet);
            p.connect(sources[k], 0, o, 0);
            for (int c = 0; c < coordonnees; c++) p.connect(pos[c][k], 0, o, c + 1);
            for (int j = 0; j < 8; j++) p.connect(o, j, sorties[j], 0);
        }
        return;
    }
    const size_t nom = objet.find(' ');
    const int o =
        p.obj(forme == Forme::une_mc ? objet.substr(0, nom) + " -mc" + objet.substr(nom) : objet);
    p.connect(p.joined(sources), 0, o, 0);
    for (int c = 0; c < coordonnees; c++) p.connect(p.joined(pos[c]), 0, o, c + 1);
    int depart = o;
    if (forme == Forme::une_mc) {
        depart = p.obj("snake~ out 8");
        p.connect(o, 0, depart, 0);
    }
    for (int j = 0; j < 8; j++) p.connect(depart, j, sorties[j], 0);
}

// The Pd with multichannel signals: RC_PD055, or the one tools/fetch-pd055
// put into the build folder.
std::string pd_multicanal() {
    const char *pd = std::getenv("RC_PD055");
    return pd && *pd ? pd : RC_PD055_DEFAUT;
}

double temps_cpu(const Construire &construire, const std::vector<std::string> &bibliotheques) {
    double meilleur = 1e9;
    for (int essai = 0; essai < 3; essai++) {
        pd_host::Patch p(TAUX);
        for (const std::string &b : bibliotheques) p.load_library(b);
        for (int s = 0; s < SOURCES; s++) construire(p, p.obj("noise~"));
        meilleur = std::min(meilleur, p.run(static_cast<long>(SECONDES) * TAUX).cpu_seconds);
    }
    return meilleur;
}

bool existe(const std::string &chemin) {
    return access(chemin.c_str(), F_OK) == 0;
}

const std::string IEMMATRIX = "/usr/lib/pd/extra/iemmatrix/iemmatrix";
const std::string ZEXY = "/usr/lib/pd/extra/zexy/zexy";

struct Rangee {
    std::string nom;
    Construire construire;
    std::vector<std::string> bibliotheques;
};

} // namespace

void bench::ajouter(const std::string &name, int sorties_actives,
                    std::function<Bloc *()> preparer) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
        std::unique_ptr<Bloc> b(preparer());
        long numero = 0;
        for (auto _ : state) {
            b->jouer(numero++);
            benchmark::DoNotOptimize(b->vecteur(1 + b->nb_positions)[BLOC - 1]);
        }
        state.counters["samples"] = BLOC;
        state.counters["outputs"] = BLOC * sorties_actives;
    });
}

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    Collecteur collecteur;
    benchmark::RunSpecifiedBenchmarks(&collecteur);

    std::printf("\n%-48s %12s %12s %16s\n", "Perform routine, blocks of 64 samples", "ns/block",
                "ns/sample", "ns/output sample");
    for (const Ligne &l : collecteur.lignes)
        std::printf("%-48s %12.1f %12.3f %16.4f\n", l.nom.c_str(), l.ns_bloc, l.ns_echantillon,
                    l.ns_sortie);

    std::vector<Rangee> patches = {{"floor: 8 [*~ 0.5] per source", plancher, {}},
                                   {"vanilla: 8 [line~]+[*~], new gains every 10 ms", vanille, {}}};
    if (existe(IEMMATRIX + ".pd_linux"))
        patches.push_back({"iemmatrix [mtx_*~ 8 1 10], every 10 ms", iemmatrix, {IEMMATRIX}});
    if (existe(ZEXY + ".pd_linux"))
        patches.push_back({"zexy [multiline~ ... 10], every 10 ms", zexy, {ZEXY}});
    patches.push_back({"(the noise~ sources alone)", [](pd_host::Patch &, int) {}, {}});
    patches.push_back(
        {"(sources and x y messages every 10 ms)", controle("", Motion::anywhere), {}});
    patches.push_back({"(sources and circling positions)", signal("", Signals::circling, 2), {}});
    patches.push_back(
        {"(sources and jumping positions)", signal("", Signals::jumping_cartesian, 2), {}});
    for (const std::string nom : {"sorvel~", "kelmor~", "trazin~"}) {
        if (!existe(std::string(RC_LIBRARY_DIR) + "/" + nom + RC_EXTENSION)) continue;
        const bool trazin = nom == "trazin~";
        const std::string objet = trazin ? nom : nom + " 8";
        const int c = trazin ? 3 : 2;
        const std::string cartesien = objet + " c s", polaire = objet + " p s";
        auto ajouter = [&](const std::string &quoi, Construire construire) {
            patches.push_back({objet + " " + quoi, std::move(construire), {}});
        };
        ajouter("control settled", controle(objet, Motion::settled));
        ajouter("control, x only every 10 ms", controle(objet, Motion::x_only));
        ajouter("control, x y anywhere every 10 ms", controle(objet, Motion::anywhere));
        ajouter("control, polar orbit", controle(objet + " p", Motion::orbit));
        ajouter("signal circling", signal(cartesien, Signals::circling, c));
        ajouter("signal jumping (noise~)", signal(cartesien, Signals::jumping_cartesian, c));
        ajouter("signal polar jumping (noise~)", signal(polaire, Signals::jumping_polar, c));
        if (nom == "sorvel~") {
            ajouter("signal in the disc (r 0.25)", signal(cartesien, Signals::in_the_disc, c));
            ajouter("signal at the centre", signal(cartesien, Signals::centre, c));
        }
    }
    std::printf("\nWhole patches in pd -batch: %d sources x 8 loudspeakers x %d s, %d Hz "
                "(CPU time of the Pd process, best of 3)\n",
                SOURCES, SECONDES, TAUX);
    std::printf("%-56s %10s %10s\n", "patch", "CPU s", "x floor");
    // BENCH_PATCHES=text keeps the floor and the patches whose name holds it.
    const char *filtre = std::getenv("BENCH_PATCHES");
    double plancher_s = 0;
    for (const Rangee &r : patches) {
        if (filtre && plancher_s != 0 && r.nom.find(filtre) == std::string::npos) continue;
        const double s = temps_cpu(r.construire, r.bibliotheques);
        if (plancher_s == 0) plancher_s = s;
        std::printf("%-56s %10.3f %10.2f\n", r.nom.c_str(), s, s / plancher_s);
        std::fflush(stdout);
    }

    // BENCH_MC=0 leaves the multichannel rows out.
    const char *mc = std::getenv("BENCH_MC");
    if ((mc && std::string(mc) == "0") || !existe(pd_multicanal())) return 0;
    std::printf("\nMultichannel in %s: %d sources x 8 loudspeakers x %d s, signal inlets "
                "(CPU s, best of 3; against the 16 instances: the whole patch, and "
                "the panning alone, the signals' own time taken off)\n",
                pd_multicanal().c_str(), SOURCES_MC, SECONDES);
    std::printf("%-56s %10s %10s %10s\n", "patch", "CPU s", "x whole", "x panning");
    for (const std::string nom : {"sorvel~", "kelmor~", "trazin~"}) {
        const bool trazin = nom == "trazin~";
        const std::string objet = (trazin ? nom : nom + " 8") + " c s";
        for (const bool saute : {false, true}) {
            auto mesurer = [&](Forme forme) {
                double meilleur = 1e9;
                for (int essai = 0; essai < 3; essai++) {
                    pd_host::Patch p(TAUX);
                    multicanal(p, objet, trazin ? 3 : 2, saute, forme);
                    meilleur = std::min(
                        meilleur,
                        p.run(static_cast<long>(SECONDES) * TAUX, pd_multicanal()).cpu_seconds);
                }
                return meilleur;
            };
            const std::string quoi = objet + (saute ? ", jumping" : ", circling");
            const double seuls = mesurer(Forme::signaux_seuls);
            const double separees = mesurer(Forme::separees);
            std::printf("%-56s %10.3f\n", ("(" + quoi + ": the signals alone)").c_str(), seuls);
            std::printf("%-56s %10.3f %10.2f %10.2f\n", (quoi + ": 16 instances").c_str(), separees,
                        1.0, 1.0);
            for (const Forme forme : {Forme::une, Forme::une_mc}) {
                const double s = mesurer(forme);
                std::printf(
                    "%-56s %10.3f %10.2f %10.2f\n",
                    (quoi + (forme == Forme::une ? ": one instance" : ": one, -mc")).c_str(), s,
                    s / separees, (s - seuls) / (separees - seuls));
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
