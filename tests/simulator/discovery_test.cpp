// Discovery on the line: the binary search through collisions, the count growing while it
// runs, and the errors it reports.
#include <gtest/gtest.h>

#include <algorithm>

#include "rdm_discovery.h"
#include "sim_test_util.h"
#include "unit_status.h"

namespace {

using namespace qelsim;
using simtest::RigHarness;

std::vector<rdm::Uid> Sorted(std::vector<rdm::Uid> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(Discovery, FindsFiftyNeighboursThroughCollisions) {
    RigHarness h("unit U\nfixtures minimal 50 first-uid=7FF3:00000001\n");
    ASSERT_EQ(h.Discover(), 50);
    EXPECT_EQ(h.Unit().Rdm().Discoveries().State(), discovery::kFinished);
    std::vector<rdm::Uid> expected;
    for (uint32_t i = 1; i <= 50; ++i)
        expected.push_back(rdm::MakeUid(0x7FF3, i));
    EXPECT_EQ(Sorted(h.Unit().Rdm().Discoveries().Found()), expected);
    EXPECT_GT(h.Unit().Line().Collisions(), 40u);  // neighbours only part deep in the tree
    for (auto& f : h.Rig().Fixtures(0))
        EXPECT_TRUE(f->Muted());
}

TEST(Discovery, CountGrowsWhileRunningThenFinishes) {
    RigHarness h("unit U\nfixtures minimal 20 first-uid=7FF3:00000100\n");
    ASSERT_EQ(h.Cmd(command::kStartDiscovery).status, status::kOk);
    std::vector<int> counts;
    for (int poll = 0; poll < 200; ++poll) {
        Bytes report = h.Cmd(command::kDiscoveryState).data;
        ASSERT_EQ(report.size(), 2u);
        counts.push_back(report[0]);
        if (report[1] != discovery::kRunning) {
            EXPECT_EQ(report[1], discovery::kFinished);
            break;
        }
        // Other requests wait for the line meanwhile; UIDs found so far can be read.
        EXPECT_EQ(h.Get(1, 0, rdm::pid::kDeviceInfo).status, status::kBusy);
        if (report[0] > 0) {
            EXPECT_EQ(h.Cmd(command::kDeviceUid, {report[0]}).status, status::kOk);
        }
    }
    EXPECT_EQ(counts.back(), 20);
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_GT(std::count_if(counts.begin(), counts.end(), [](int c) { return c > 0 && c < 20; }),
              0);
}

TEST(Discovery, LineTimeThatPassedAdvancesItFurther) {
    RigHarness h("unit U\nfixtures minimal 20 first-uid=7FF3:00000100\n");
    h.Cmd(command::kStartDiscovery);
    h.Time().Advance(std::chrono::seconds(5));  // long enough for the whole search
    EXPECT_EQ(h.Cmd(command::kDiscoveryState).data, (Bytes{20, discovery::kFinished}));
}

TEST(Discovery, ReportsTheUidOfEachDeviceFound) {
    RigHarness h("unit U\nfixture minimal uid=7FF3:12345678\n");
    ASSERT_EQ(h.Discover(), 1);
    EXPECT_EQ(h.Cmd(command::kDeviceUid, {1}).data, (Bytes{0x7F, 0xF3, 0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(h.Cmd(command::kDeviceUid, {2}).status, status::kOutOfRange);
    EXPECT_EQ(h.Cmd(command::kDeviceUid, {0}).status, status::kOutOfRange);
}

TEST(Discovery, EmptyLineFinishesWithNoDevice) {
    RigHarness h("unit U\n");
    EXPECT_EQ(h.Discover(), 0);
    EXPECT_EQ(h.Cmd(command::kDiscoveryState).data, (Bytes{0, discovery::kFinished}));
}

TEST(Discovery, ADeviceThatIgnoresMutingEndsItWithTheMuteError) {
    RigHarness h(
        "unit U\nfixture minimal uid=7FF3:00000001\n"
        "fixture minimal uid=7FF3:00000002 faults=fails-to-mute\n");
    h.Discover();
    EXPECT_EQ(h.Cmd(command::kDiscoveryState).data[1], discovery::kMuteFailure);
}

TEST(Discovery, StartingAgainForgetsTheOldList) {
    RigHarness h("unit U\nfixtures minimal 3 first-uid=7FF3:00000001\n");
    ASSERT_EQ(h.Discover(), 3);
    ASSERT_EQ(h.Discover(), 3);  // the fixtures were un-muted at the start
}

}  // namespace
