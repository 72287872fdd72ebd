// sorvel~ created in the real Pd: arguments, defaults, console bytes, the
// inlets and outlets of both modes.

#include <gtest/gtest.h>

#include "pd_host.hpp"

namespace {

using Lines = std::vector<std::string>;

const std::string COUNT_1 = "sorvel~: Il y a un probl\x8A"
                            "me dans la d\x82"
                            "claration du nombre de haut-parleur, ";
const std::string COUNT_2 = "  il est de 4 par d\xE9"
                            "faut.";
const std::string COORD_1 = "sorvel~: erreur dans le type des coordonn\x82"
                            "es, ";
const std::string COORD_2 = "  elles sont cart\x82"
                            "siennes par d\x82"
                            "faut.";
const std::string INLET_1 = "sorvel~: erreur dans le type des entr\x82"
                            "es, ";
const std::string INLET_2 = "  elles sont en controle par d\x82"
                            "faut.";
const std::string RADIUS = "sorvel~: Pas de rayon de disque centrale nul s'il vous plait.";

Lines console_of(const std::string &args) {
    pd_host::Patch p;
    p.obj("sorvel~ " + args);
    return p.run(0).lines();
}

// Connects every possible outlet to a signal inlet; the ones that do not
// exist fail to connect.
int outlets_of(const std::string &args) {
    pd_host::Patch p;
    const int pan = p.obj("sorvel~ " + args);
    const int sink = p.obj("*~");
    for (int k = 0; k <= 16; k++) p.connect(pan, k, sink, 0);
    return 17 - p.run(64).count("connection failed");
}

TEST(SorvelCreation, DefaultsPostNothing) {
    EXPECT_EQ(console_of(""), Lines{});
    EXPECT_EQ(console_of("4 c c 0.5 10"), Lines{});
    EXPECT_EQ(console_of("8 polaire signal 2 100"), Lines{});
    EXPECT_EQ(outlets_of(""), 4);
}

TEST(SorvelCreation, LoudspeakerCount) {
    for (const char *bad : {"2", "17", "foo", "-5"}) {
        EXPECT_EQ(console_of(bad), (Lines{COUNT_1, COUNT_2})) << bad;
        EXPECT_EQ(outlets_of(bad), 4) << bad;
    }
    EXPECT_EQ(outlets_of("16"), 16);
    EXPECT_EQ(outlets_of("3"), 3);
    EXPECT_EQ(outlets_of("3.9"), 3);
    EXPECT_EQ(console_of("3.9"), Lines{});
}

TEST(SorvelCreation, LetterArguments) {
    EXPECT_EQ(console_of("8 x"), (Lines{COORD_1, COORD_2}));
    EXPECT_EQ(console_of("8 2"), (Lines{COORD_1, COORD_2}));
    EXPECT_EQ(console_of("8 Polar"), (Lines{COORD_1, COORD_2}));
    EXPECT_EQ(console_of("8 p z"), (Lines{INLET_1, INLET_2}));
    EXPECT_EQ(console_of("8 c 1"), (Lines{INLET_1, INLET_2}));
}

TEST(SorvelCreation, Radius) {
    EXPECT_EQ(console_of("4 c c 0"), Lines{RADIUS});
    EXPECT_EQ(console_of("4 c c 1e-07"), Lines{RADIUS});
    EXPECT_EQ(console_of("4 c c radius"), Lines{RADIUS});
    EXPECT_EQ(console_of("4 c c 1e+39"), Lines{RADIUS}); // Pd reads it as infinity
    EXPECT_EQ(console_of("4 c c -2"), Lines{});
}

TEST(SorvelCreation, EveryBadArgumentInOrder) {
    EXPECT_EQ(console_of("17 x k 0 10 extra words"),
              (Lines{COUNT_1, COUNT_2, COORD_1, COORD_2, INLET_1, INLET_2, RADIUS}));
}

// Signal mode: the two position inlets take signals. Control mode: they
// are float inlets, and a signal connected to them is refused by Pd.
TEST(SorvelCreation, PositionInletsOfBothModes) {
    for (const char *mode : {"s", "c"}) {
        pd_host::Patch p;
        const int pan = p.obj(std::string("sorvel~ 4 c ") + mode);
        const int source = p.obj("sig~ 0.5");
        for (int inlet = 0; inlet <= 3; inlet++) p.connect(source, 0, pan, inlet);
        const pd_host::Result r = p.run(128);
        EXPECT_EQ(r.count("connection failed"), 1) << mode; // no fourth inlet
        EXPECT_EQ(r.count("nonsignal inlet"), mode[0] == 's' ? 0 : 2) << mode;
    }
}

} // namespace
