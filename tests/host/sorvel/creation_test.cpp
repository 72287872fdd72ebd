// sorvel~ created in the real Pd: arguments, defaults, console bytes, the
// inlets and outlets of both modes.

#include <gtest/gtest.h>

#include "pd_host.hpp"
#include "ring_report.hpp"

namespace {

using pd_host::Lines;
using pd_host::operator+;

const Lines COUNT = {"sorvel~: Il y a un probl\x8A"
                     "me dans la d\x82"
                     "claration du nombre de haut-parleur, ",
                     "  il est de 4 par d\xE9"
                     "faut."};
const Lines COORD = coordinate_complaint("sorvel~");
const Lines INLET = ring_inlet_complaint("sorvel~");
const Lines RADIUS = {"sorvel~: Pas de rayon de disque centrale nul s'il vous plait."};

// Good arguments post nothing; each bad one posts its complaint, in the
// order of the arguments, and takes its default: 4 loudspeakers, one outlet
// each.
TEST(SorvelCreation, ArgumentsAndTheirComplaints) {
    const struct {
        Lines console;
        std::vector<std::string> args;
    } cases[] = {
        {{}, {"", "4 c c 0.5 10", "8 polaire signal 2 100", "3.9", "4 c c -2"}},
        {COUNT, {"2", "17", "foo", "-5"}},
        {COORD, {"8 x", "8 2", "8 Polar"}},
        {INLET, {"8 p z", "8 c 1"}},
        {RADIUS,
         {"4 c c 0", "4 c c 1e-07", "4 c c radius", "4 c c 1e+39"}}, // Pd reads 1e+39 as infinity
        {COUNT + COORD + INLET + RADIUS, {"17 x k 0 10 extra words"}}};
    for (const auto &c : cases)
        for (const std::string &args : c.args)
            EXPECT_EQ(pd_host::console_of("sorvel~ " + args), c.console) << args;
    const struct {
        int outlets;
        std::vector<std::string> args;
    } counts[] = {{4, {"", "2", "17", "foo", "-5"}}, {16, {"16"}}, {3, {"3", "3.9"}}};
    for (const auto &c : counts)
        for (const std::string &args : c.args)
            EXPECT_EQ(pd_host::outlets_of("sorvel~ " + args), c.outlets) << args;
}

// Signal mode: the two position inlets take signals. Control mode: they
// are float inlets, and a signal connected to them is refused by Pd.
TEST(SorvelCreation, PositionInletsOfBothModes) {
    for (const char *mode : {"s", "c"}) {
        const pd_host::Wiring w = pd_host::wire(std::string("sorvel~ 4 c ") + mode, 4, 0);
        EXPECT_EQ(w.failed, 1) << mode; // no fourth inlet
        EXPECT_EQ(w.nonsignal, mode[0] == 's' ? 0 : 2) << mode;
    }
}

} // namespace
