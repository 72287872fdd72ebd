// kelmor~ created in the real Pd: credits, arguments and their console
// bytes, the inlets and outlets of both modes, and the status report.

#include <gtest/gtest.h>

#include "pd_host.hpp"

namespace {

using Lines = std::vector<std::string>;

// Posted once, when the class loads, before any creation line.
const Lines CREDITS = {"\"KELMOR~\"  panoramique du premier ordre sur 2 \x85 16 haut-parleurs,",
                       "  avec offset, en contr\x93le ou en signal,",
                       "  biblioth\x8Aque ringcube, version " RINGCUBE_VERSION "."};
const Lines COUNT = {"kelmor~: Il y a un probl\x8Ame dans la d\x82"
                     "claration du nombre de haut-parleur, ",
                     "  il est de 4 par d\x82"
                     "faut."};
const Lines COORD = {"kelmor~: erreur dans le type des coordonn\x82"
                     "es, ",
                     "  elles sont cart\x82"
                     "siennes par d\x82"
                     "faut."};
const Lines INLET = {"kelmor~: erreur dans le type des entr\x82"
                     "es, ",
                     "  elles sont en controle par d\x82"
                     "faut."};
const Lines OFFSET = {"kelmor~: Pas d'offset n\x82gatif ou nul s'il vous plait."};

Lines operator+(Lines a, const Lines &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Lines console_of(const std::string &args, const std::string &message = "") {
    pd_host::Patch p;
    const int pan = p.obj("kelmor~ " + args);
    if (!message.empty()) p.send_at(0, pan, 0, message);
    return p.run(message.empty() ? 0 : 64).lines();
}

// Connects every possible outlet to a signal inlet; the ones that do not
// exist fail to connect.
int outlets_of(const std::string &args) {
    pd_host::Patch p;
    const int pan = p.obj("kelmor~ " + args);
    const int sink = p.obj("*~");
    for (int k = 0; k <= 16; k++) p.connect(pan, k, sink, 0);
    return 17 - p.run(64).count("connection failed");
}

TEST(KelmorCreation, CreditsOnceThenNothingForGoodArguments) {
    pd_host::Patch p;
    p.obj("kelmor~");
    p.obj("kelmor~ 2 c c 0.5 10");
    p.obj("kelmor~ 16 polaire signal 2 100");
    p.obj("kelmor~ 8 p");
    EXPECT_EQ(p.run(0).lines(), CREDITS);
    EXPECT_EQ(outlets_of(""), 4);
    EXPECT_EQ(outlets_of("2"), 2);
    EXPECT_EQ(outlets_of("16 c s"), 16);
    EXPECT_EQ(outlets_of("8.7 p"), 8);
}

TEST(KelmorCreation, BadArgumentsTakeTheirDefaults) {
    for (const char *bad : {"1", "17", "foo", "-4"}) {
        EXPECT_EQ(console_of(bad), CREDITS + COUNT) << bad;
        EXPECT_EQ(outlets_of(bad), 4) << bad;
    }
    EXPECT_EQ(console_of("8 x"), CREDITS + COORD);
    EXPECT_EQ(console_of("8 2"), CREDITS + COORD);
    EXPECT_EQ(console_of("8 Polar"), CREDITS + COORD);
    EXPECT_EQ(console_of("8 p signal"), CREDITS);
    EXPECT_EQ(console_of("8 p z"), CREDITS + INLET);
    EXPECT_EQ(console_of("8 c 1"), CREDITS + INLET);
    EXPECT_EQ(console_of("4 c c 0"), CREDITS + OFFSET);
    EXPECT_EQ(console_of("4 c c 1e-07"), CREDITS + OFFSET);
    EXPECT_EQ(console_of("4 c c 1e+39"), CREDITS + OFFSET);
    EXPECT_EQ(console_of("4 c c -0.5"), CREDITS);
    EXPECT_EQ(console_of("17 x k 0 10 extra words"), CREDITS + COUNT + COORD + INLET + OFFSET);
}

// Signal mode: three signal inlets. Control mode: one signal inlet and two
// float inlets, to which Pd refuses a signal.
TEST(KelmorCreation, InletsOfBothModes) {
    for (const char *mode : {"s", "c"}) {
        pd_host::Patch p;
        const int pan = p.obj(std::string("kelmor~ 4 c ") + mode);
        const int source = p.obj("sig~ 0.5");
        for (int inlet = 0; inlet <= 3; inlet++) p.connect(source, 0, pan, inlet);
        const pd_host::Result r = p.run(128);
        EXPECT_EQ(r.count("connection failed"), 1) << mode; // no fourth inlet
        EXPECT_EQ(r.count("nonsignal inlet"), mode[0] == 's' ? 0 : 2) << mode;
    }
}

const Lines HEADING = {"Info Kelmor~: "};
const std::string CONTROL = "   coordonn\x82"
                            "es cart\x82"
                            "siennes en contr\x93le,";

TEST(KelmorCreation, ReportOfADefaultInstance) {
    EXPECT_EQ(console_of("", "get_info"),
              (CREDITS + HEADING +
               Lines{CONTROL, "   offset                 = 0.300000,",
                     "   temps d'interpolation  = 10 ms,", "   nombre d'haut-parleurs = 4,",
                     "   position des haut-parleurs:",
                     "      hp n\xF8"
                     "1: -0.707107.x + 0.707107.y,",
                     "      hp n\xF8"
                     "2: 0.707107.x + 0.707107.y,",
                     "      hp n\xF8"
                     "3: 0.707107.x + -0.707107.y,",
                     "      hp n\xF8"
                     "4: -0.707107.x + -0.707107.y."}));
}

// The settled arguments as the report shows them.
TEST(KelmorCreation, ArgumentsAsReported) {
    const auto lignes = [](const std::string &args) {
        const Lines all = console_of(args, "get_info");
        return Lines(all.begin() + CREDITS.size(), all.begin() + CREDITS.size() + 5);
    };
    EXPECT_EQ(
        lignes("4 c c -0.5 -20"),
        (HEADING + Lines{CONTROL, "   offset                 = 0.500000,",
                         "   temps d'interpolation  = 20 ms,", "   nombre d'haut-parleurs = 4,"}));
    EXPECT_EQ(lignes("4 c c 0.3 15")[3], "   temps d'interpolation  = 14 ms,");
    EXPECT_EQ(lignes("4 c c 0.3 0")[3], "   temps d'interpolation  = 0 ms,");
    EXPECT_EQ(lignes("2 p c 3")[1], "   coordonn\x82"
                                    "es polaires en contr\x93le,");
    EXPECT_EQ(lignes("2 p s 3"), (HEADING + Lines{"   coordonn\x82"
                                                  "es polaires en signal,",
                                                  "   offset                 = 3.000000,",
                                                  "   nombre d'haut-parleurs = 2,",
                                                  "   position des haut-parleurs:"}));
}

} // namespace
