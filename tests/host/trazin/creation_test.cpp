// trazin~ created in the real Pd: every creation-argument case and its
// console bytes, the inlets and outlets of both modes.

#include <gtest/gtest.h>

#include "pd_host.hpp"
#include "ring_report.hpp"

namespace {

using pd_host::console_of;
using pd_host::Lines;
using pd_host::operator+;

const Lines COORD = coordinate_complaint("trazin~");
const Lines INLET = {"trazin~: erreur dans le type des entr\x82"
                     "es, ",
                     "  elles sont en contr\x9D"
                     "le par d\x82"
                     "faut."};
const Lines OFFSET = {"trazin~: Pas d'offset n\x82"
                      "gatif ou nul s'il vous plait."};

// Good arguments post nothing; each bad one posts its complaint, in the
// order of the arguments.
TEST(TrazinCreation, ArgumentsAndTheirComplaints) {
    const struct {
        Lines console;
        std::vector<std::string> args;
    } cases[] = {{{},
                  {"", "c", "p", "s", "cartesien controle", "polaire signal 2 100", "s s -0.5 -20",
                   "c c 0.3 0", "c c 1 2.9 extra 7"}},
                 {COORD, {"x", "2", "Cartesien", "-1"}},
                 {INLET, {"c k", "p 1", "s Signal", "c p"}},
                 {OFFSET, {"c c 0", "c c 1e-07", "c c offset", "c c 1e+39"}},
                 {COORD + INLET + OFFSET, {"x k 0 10 more"}}};
    for (const auto &c : cases)
        for (const std::string &args : c.args)
            EXPECT_EQ(console_of("trazin~ " + args), c.console) << args;
}

// Every possible inlet and outlet connected: the ones that do not exist fail
// to connect. Signal mode: four signal inlets. Control mode: one signal
// inlet, and a signal connected to the three float inlets is refused.
TEST(TrazinCreation, InletsAndOutletsOfBothModes) {
    for (const char *mode : {"s", "c"}) {
        const pd_host::Wiring w = pd_host::wire(std::string("trazin~ c ") + mode, 5, 9);
        EXPECT_EQ(w.failed, 2) << mode; // no fifth inlet, no ninth outlet
        EXPECT_EQ(w.nonsignal, mode[0] == 's' ? 0 : 3) << mode;
        EXPECT_EQ(w.exit_status, 0);
    }
}

} // namespace
