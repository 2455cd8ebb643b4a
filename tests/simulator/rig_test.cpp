// Rigs by name and from files, and their errors.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "rig.h"
#include "sim_test_util.h"

namespace {

using namespace qelsim;

TEST(Rig, DefaultRigIsOneUnitWithFourFixtures) {
    std::string error;
    auto rig = Rig::Load(kDefaultRig, &error);
    ASSERT_TRUE(rig) << error;
    ASSERT_EQ(rig->UnitCount(), 1u);
    EXPECT_EQ(rig->GetUnit(0).Identity().name, "DMX-QEL");
    EXPECT_EQ(rig->Fixtures(0).size(), 4u);
    EXPECT_EQ(rig->GetUnit(0).Input().Source(), InputSource::kPattern);
}

TEST(Rig, EveryNamedRigLoads) {
    for (const std::string& name : Rig::RigNames()) {
        std::string error;
        auto rig = Rig::Load(name, &error);
        ASSERT_TRUE(rig) << name << ": " << error;
        EXPECT_GE(rig->UnitCount(), 1u) << name;
    }
}

TEST(Rig, FileDescribesUnitsFixturesFaultsAndDisturbances) {
    std::string path = ::testing::TempDir() + "/qel_rig.txt";
    std::ofstream(path) << "# two units\n"
                           "unit \"Left unit\" model=2 serial=77 legacy-model input=loopback\n"
                           "fixture moving-head uid=7FF1:00000001 faults=no-response,bad-checksum\n"
                           "disturb delay=1ms\n"
                           "unit Right\n"
                           "fixtures minimal 3 first-uid=7FF3:00000010\n";
    std::string error;
    auto rig = Rig::Load(path, &error);
    ASSERT_TRUE(rig) << error;
    ASSERT_EQ(rig->UnitCount(), 2u);
    UnitIdentity left = rig->GetUnit(0).Identity();
    EXPECT_EQ(left.name, "Left unit");
    EXPECT_EQ(left.model, 2);
    EXPECT_TRUE(left.legacyModelQuery);
    EXPECT_EQ(left.uid, rdm::MakeUid(kUnitManufacturer, 77));
    auto fixtures = rig->Fixtures(0);
    ASSERT_EQ(fixtures.size(), 1u);
    EXPECT_TRUE(fixtures[0]->HasFault(Fault::kNoResponse));
    EXPECT_TRUE(fixtures[0]->HasFault(Fault::kBadChecksum));
    EXPECT_FALSE(fixtures[0]->HasFault(Fault::kWrongTransaction));
    EXPECT_EQ(rig->Fixtures(1).size(), 3u);
    EXPECT_EQ(rig->Fixtures(1)[2]->Uid(), rdm::MakeUid(0x7FF3, 0x12));
    std::remove(path.c_str());
}

TEST(Rig, HashStartsACommentOnlyOutsideQuotes) {
    std::string error;
    auto rig =
        Rig::Parse("unit \"Unit #2\" model=3 # the spare\nfixture minimal# no uid\n", &error);
    ASSERT_TRUE(rig) << error;
    EXPECT_EQ(rig->GetUnit(0).Identity().name, "Unit #2");
    EXPECT_EQ(rig->GetUnit(0).Identity().model, 3);
    EXPECT_EQ(rig->Fixtures(0).size(), 1u);
}

TEST(Rig, ErrorsNameTheLineAndTheProblem) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"fixture minimal\n", "line 1: 'fixture' before any unit"},
        {"unit U\nfixture laser\n", "line 2: unknown fixture kind 'laser'"},
        {"unit U\nfixture minimal faults=sleepy\n", "line 2: unknown fault 'sleepy'"},
        {"unit U model=99999\n", "line 1: bad unit option 'model=99999'"},
        {"unit U flash=2ms\n", "line 1: bad unit option 'flash=2ms'"},
        {"unit U flash=2ms:soon\n", "line 1: bad unit option 'flash=2ms:soon'"},
        {"unit U flash=nans:1s\n", "line 1: bad unit option 'flash=nans:1s'"},
        {"unit U flash=0s:1e30s\n", "line 1: bad unit option 'flash=0s:1e30s'"},
        {"unit U flash=-1ms:1s\n", "line 1: bad unit option 'flash=-1ms:1s'"},
        {"unit U\ndisturb pause=3\n", "line 2: bad reply disturbance 'pause=3'"},
        {"unit\n", "line 1: a unit needs a name"},
        {"unit U\nfixtures minimal\n", "line 2: 'fixtures' needs a kind and a count"},
        {"unit \"Unit #2\n", "line 1: unterminated quote"},
        {"unit U\nfixture \"minimal uid=7FF3:00000001\n", "line 2: unterminated quote"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Rig::Parse(c.text, &error)) << c.text;
        EXPECT_EQ(error, c.message);
    }
    std::string error;
    EXPECT_FALSE(Rig::Load("no-such-rig", &error));
    EXPECT_NE(error.find("no rig named 'no-such-rig'"), std::string::npos);
    EXPECT_NE(error.find("default"), std::string::npos);
}

// A test whose rig text is wrong fails with the parser's message and carries on with a bare
// unit instead of crashing the whole run.
TEST(RigHarness, ARigThatDoesNotParseFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            simtest::RigHarness h("unit\n");
            EXPECT_EQ(h.Rig().UnitCount(), 1u);
            EXPECT_TRUE(h.Rig().Fixtures(0).empty());
        },
        "the rig does not parse: line 1: a unit needs a name");
}

}  // namespace
