// The host runner itself: recordings start with the first block, have the
// requested length, and a message sent at a block boundary takes effect on
// that block's first sample.

#include <gtest/gtest.h>

#include <cmath>

#include "pd_host.hpp"

namespace {

TEST(Runner, RecordsExactSamplesAndTimesMessagesToTheBlock) {
    pd_host::Patch p;
    const int source = p.obj("sig~ 1");
    p.record(source, 0, "level");
    p.send_at(128, source, 0, "2.5");
    p.send_at(192, source, 0, "3, 4");
    const pd_host::Result r = p.run(256);
    const std::vector<float> &s = r.signals.at("level");
    ASSERT_EQ(s.size(), 256u);
    EXPECT_EQ(s[0], 1.0f);
    EXPECT_EQ(s[127], 1.0f);
    EXPECT_EQ(s[128], 2.5f);
    EXPECT_EQ(s[191], 2.5f);
    EXPECT_EQ(s[192], 4.0f); // the last of two messages sent at once
    EXPECT_EQ(r.exit_status, 0);
}

// tabwrite~ would store 0 for a NaN; the probe keeps it.
TEST(Runner, RecordsNotANumber) {
    pd_host::Patch p;
    const int source = p.obj("sig~ -1");
    const int root = p.obj("sqrt~");
    p.connect(source, 0, root, 0);
    p.record(root, 0, "root");
    const pd_host::Result r = p.run(64);
    EXPECT_TRUE(std::isnan(r.signals.at("root")[0]) || r.signals.at("root")[0] == 0.0f);
}

} // namespace
