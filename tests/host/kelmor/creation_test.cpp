// kelmor~ created in the real Pd: credits, arguments and their console
// bytes, the inlets and outlets of both modes, and the status report.

#include <gtest/gtest.h>

#include "pd_host.hpp"
#include "ring_report.hpp"

namespace {

using pd_host::console_of;
using pd_host::Lines;
using pd_host::operator+;
using pd_host::outlets_of;

// Posted once, when the class loads, before any creation line.
const Lines CREDITS = {"\"KELMOR~\"  panoramique du premier ordre sur 2 \x85 16 haut-parleurs,",
                       "  avec offset, en contr\x93le ou en signal,",
                       "  biblioth\x8Aque ringcube, version " RINGCUBE_VERSION "."};
const Lines COUNT = {"kelmor~: Il y a un probl\x8Ame dans la d\x82"
                     "claration du nombre de haut-parleur, ",
                     "  il est de 4 par d\x82"
                     "faut."};
const Lines COORD = coordinate_complaint("kelmor~");
const Lines INLET = ring_inlet_complaint("kelmor~");
const Lines OFFSET = {"kelmor~: Pas d'offset n\x82gatif ou nul s'il vous plait."};

TEST(KelmorCreation, CreditsOnceThenNothingForGoodArguments) {
    pd_host::Patch p;
    p.obj("kelmor~");
    p.obj("kelmor~ 2 c c 0.5 10");
    p.obj("kelmor~ 16 polaire signal 2 100");
    p.obj("kelmor~ 8 p");
    EXPECT_EQ(p.run(0).lines(), CREDITS);
}

// Each bad argument posts its complaint, in the order of the arguments, and
// takes its default: 4 loudspeakers, one outlet each.
TEST(KelmorCreation, ArgumentsAndTheirComplaints) {
    const struct {
        Lines console;
        std::vector<std::string> args;
    } cases[] = {{COUNT, {"1", "17", "foo", "-4"}},
                 {COORD, {"8 x", "8 2", "8 Polar"}},
                 {{}, {"8 p signal", "4 c c -0.5"}},
                 {INLET, {"8 p z", "8 c 1"}},
                 {OFFSET, {"4 c c 0", "4 c c 1e-07", "4 c c 1e+39"}},
                 {COUNT + COORD + INLET + OFFSET, {"17 x k 0 10 extra words"}}};
    for (const auto &c : cases)
        for (const std::string &args : c.args)
            EXPECT_EQ(console_of("kelmor~ " + args), CREDITS + c.console) << args;
    const struct {
        int outlets;
        std::vector<std::string> args;
    } counts[] = {{4, {"", "1", "17", "foo", "-4"}}, {2, {"2"}}, {16, {"16 c s"}}, {8, {"8.7 p"}}};
    for (const auto &c : counts)
        for (const std::string &args : c.args)
            EXPECT_EQ(outlets_of("kelmor~ " + args), c.outlets) << args;
}

// Signal mode: three signal inlets. Control mode: one signal inlet and two
// float inlets, to which Pd refuses a signal.
TEST(KelmorCreation, InletsOfBothModes) {
    for (const char *mode : {"s", "c"}) {
        const pd_host::Wiring w = pd_host::wire(std::string("kelmor~ 4 c ") + mode, 4, 0);
        EXPECT_EQ(w.failed, 1) << mode; // no fourth inlet
        EXPECT_EQ(w.nonsignal, mode[0] == 's' ? 0 : 2) << mode;
    }
}

const Lines HEADING = {"Info Kelmor~: "};
const std::string CONTROL = "   coordonn\x82"
                            "es cart\x82"
                            "siennes en contr\x93le,";

TEST(KelmorCreation, ReportOfADefaultInstance) {
    EXPECT_EQ(console_of("kelmor~", "get_info"),
              (CREDITS + HEADING + Lines{CONTROL, "   offset                 = 0.300000,"} +
               DEFAULT_SQUARE_REPORT));
}

// The settled arguments as the report shows them.
TEST(KelmorCreation, ArgumentsAsReported) {
    const auto lignes = [](const std::string &args) {
        const Lines all = console_of("kelmor~ " + args, "get_info");
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
