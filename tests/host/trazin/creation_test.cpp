// trazin~ created in the real Pd: every creation-argument case and its
// console bytes, the inlets and outlets of both modes.

#include <gtest/gtest.h>

#include "pd_host.hpp"

namespace {

using Lines = std::vector<std::string>;

const std::string COORD_1 = "trazin~: erreur dans le type des coordonn\x82"
                            "es, ";
const std::string COORD_2 = "  elles sont cart\x82"
                            "siennes par d\x82"
                            "faut.";
const std::string INLET_1 = "trazin~: erreur dans le type des entr\x82"
                            "es, ";
const std::string INLET_2 = "  elles sont en contr\x9D"
                            "le par d\x82"
                            "faut.";
const std::string OFFSET = "trazin~: Pas d'offset n\x82"
                           "gatif ou nul s'il vous plait.";

Lines console_of(const std::string &args) {
    pd_host::Patch p;
    p.obj("trazin~ " + args);
    return p.run(0).lines();
}

TEST(TrazinCreation, GoodArgumentsPostNothing) {
    for (const char *args : {"", "c", "p", "s", "cartesien controle", "polaire signal 2 100",
                             "s s -0.5 -20", "c c 0.3 0", "c c 1 2.9 extra 7"})
        EXPECT_EQ(console_of(args), Lines{}) << args;
}

TEST(TrazinCreation, BadLetters) {
    for (const char *args : {"x", "2", "Cartesien", "-1"})
        EXPECT_EQ(console_of(args), (Lines{COORD_1, COORD_2})) << args;
    for (const char *args : {"c k", "p 1", "s Signal", "c p"})
        EXPECT_EQ(console_of(args), (Lines{INLET_1, INLET_2})) << args;
}

TEST(TrazinCreation, BadOffset) {
    for (const char *args : {"c c 0", "c c 1e-07", "c c offset", "c c 1e+39"})
        EXPECT_EQ(console_of(args), Lines{OFFSET}) << args;
}

TEST(TrazinCreation, EveryBadArgumentInOrder) {
    EXPECT_EQ(console_of("x k 0 10 more"), (Lines{COORD_1, COORD_2, INLET_1, INLET_2, OFFSET}));
}

// Every possible outlet connected to a signal inlet: the ones that do not
// exist fail to connect. Signal mode: four signal inlets. Control mode: one
// signal inlet, and a signal connected to the three float inlets is refused.
TEST(TrazinCreation, InletsAndOutletsOfBothModes) {
    for (const char *mode : {"s", "c"}) {
        pd_host::Patch p;
        const int pan = p.obj(std::string("trazin~ c ") + mode);
        const int source = p.obj("sig~ 0.5");
        const int sink = p.obj("*~");
        for (int inlet = 0; inlet <= 4; inlet++) p.connect(source, 0, pan, inlet);
        for (int k = 0; k <= 8; k++) p.connect(pan, k, sink, 0);
        const pd_host::Result r = p.run(128);
        EXPECT_EQ(r.count("connection failed"), 2) << mode; // no fifth inlet, no ninth outlet
        EXPECT_EQ(r.count("nonsignal inlet"), mode[0] == 's' ? 0 : 3) << mode;
        EXPECT_EQ(r.exit_status, 0);
    }
}

} // namespace
