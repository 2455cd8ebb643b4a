// The device and system status: version comparison, the built-in firmware table, the
// Windows names, and the probes against a scripted unit.
#include "core/AUF_Registry.h"
#include "core/DEV_Status.h"
#include "core/ErrTrap.h"
#include "core/SYS_Status.h"
#include "core/VersionText.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace qel {
namespace {

using test::Exchange;

QByteArray Text0(const char* text) {
    return QByteArray(text) + QByteArray(1, '\0');
}

void ClearSettings() {
    for (const char* name :
         {"ModelFirmware-1", "ModelFirmware-2", "DeviceModel", "Latest_Software"}) {
        AUF_Registry::SaveValue(name, QString());
    }
}

TEST(VersionText, ComparesPartByPartAsNumbers) {
    const struct {
        const char* latest;
        const char* current;
        bool newer;
    } cases[] = {
        {"0.3.010", "0.3.9", true},                            // 010 reads as 10
        {"0.3.010", "0.3.10", false},                          // equal
        {"0.3.010", "0.2.99", true},   {"1", "1.0.0", false},  // missing parts are 0
        {"1", "0.9.9", true},          {"1.0.5", "1.1.0", false},
        {"1..2", "1.0.1", true},        // an empty part is 0
        {"2.0.0.9", "2.0.0.1", false},  // only three parts count
        {"0.0.0", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.latest, c.current), c.newer) << c.latest << " vs " << c.current;
    }
}

TEST(VersionText, APartThatIsNoSmallNumberFails) {
    const struct {
        const char* text;
        int32_t number;
    } cases[] = {{"1.x.0", kErrTypeMismatch}, {"1.40000", kErrOverflow}};
    for (const auto& c : cases) {
        try {
            VersionParts(c.text);
            ADD_FAILURE() << c.text;
        } catch (const PluginError& e) {
            EXPECT_EQ(e.number(), c.number) << c.text;
        }
    }
}

TEST(SYS_Status, NamesWindowsReleases) {
    const struct {
        int major, minor, platform;
        const char* name;
    } cases[] = {
        {3, 10, 1, "Windows 3.x"}, {3, 51, 2, "Windows NT 3.x"}, {4, 0, 2, "Windows NT 4.0"},
        {4, 0, 1, "Windows 95"},   {4, 10, 1, "Windows 98"},     {4, 90, 1, "Windows 98"},
        {5, 0, 2, "Windows 2000"}, {5, 1, 2, "Windows XP"},      {5, 2, 2, "Windows Server 2003"},
        {5, 3, 2, "Windows 5.3"},  {6, 0, 2, "Windows Vista"},   {6, 1, 2, "Windows 7"},
        {6, 2, 2, "Windows 6.2"},  {10, 0, 2, "Windows 10.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SYS_Status::WindowsName(c.major, c.minor, c.platform), c.name);
    }
}

TEST(SYS_Status, KnowsThePluginAndTheComputer) {
    SYS_Status s;
    EXPECT_EQ(s.DataClass(), "SYS_Status");
    EXPECT_EQ(s.AppVersion(), "1.0.71");
    EXPECT_EQ(s.LongName(), "Norvane Ltd Norvane-QEL.out");
    EXPECT_EQ(s.ProductCode(), "203");
    EXPECT_FALSE(s.WinVersion().isEmpty());
}

TEST(SYS_Status, UpdatesWhenTheStoredVersionIsNewerUntilHushed) {
    test::ScriptedUi ui;
    ClearSettings();
    SYS_Status s;
    EXPECT_FALSE(s.Updates());  // nothing stored
    const struct {
        const char* latest;
        bool updates;
    } cases[] = {
        {"1.0.5", false}, {"1.0.71", false}, {"1.0.72", true}, {"1.1", true}, {"0.9.99", false}};
    for (const auto& c : cases) {
        AUF_Registry::SaveValue("Latest_Software", QString(c.latest));
        EXPECT_EQ(s.Updates(), c.updates) << c.latest;
    }
    AUF_Registry::SaveValue("Latest_Software", QString("1.1"));
    s.Hush();
    EXPECT_FALSE(s.Updates());
    s.Probe();
    EXPECT_TRUE(s.Updates());

    // Rubbish from a server is shown once and passed on to the asker.
    AUF_Registry::SaveValue("Latest_Software", QString("new.er"));
    EXPECT_THROW(s.Updates(), PluginError);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "SYS_Status.Updates (Get)");
    EXPECT_TRUE(ui.messages.back().text.contains("Type mismatch"));
    ClearSettings();
}

TEST(DEV_Status, BuiltInFirmwareTable) {
    EXPECT_EQ(DEV_Status::BuiltInFirmware(1), "0.3.010");
    EXPECT_EQ(DEV_Status::BuiltInFirmware(2), "0.0.002");
    EXPECT_EQ(DEV_Status::BuiltInFirmware(3), "0.0.0");
    EXPECT_EQ(DEV_Status::BuiltInFirmware(0), "0.0.0");
}

class DevStatusTest : public ::testing::Test {
  protected:
    DevStatusTest() { ClearSettings(); }
    ~DevStatusTest() override { ClearSettings(); }

    // The unit's answers to one probe: factory probe, model, firmware revision.
    void Script(Exchange factory, Exchange model, Exchange firmware) {
        library.exchanges = {factory, model, firmware};
    }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
    DEV_Status status;
};

const Exchange kNoFactory{2, {}};  // the command is unknown: an ordinary unit
Exchange Model(int model) {
    QByteArray reply;
    reply.append(static_cast<char>(model & 0xFF)).append(static_cast<char>(model >> 8));
    return {0, reply};
}

TEST_F(DevStatusTest, ComparesTheUnitsFirmwareWithTheLatestKnown) {
    const struct {
        Exchange model;
        const char* stored;  // "ModelFirmware-<model>", or nothing
        const char* firmware;
        bool updates;
    } cases[] = {
        {Model(1), nullptr, "0.3.9", true},
        {Model(1), nullptr, "0.3.10", false},
        {Model(1), nullptr, "0.2.99", true},
        {Model(1), "1", "0.9.0", true},  // a stored "1" reads as 1.0.0
        {Model(1), "1", "1.0.0", false},
        {Model(2), nullptr, "0.0.1", true},
        {Model(7), nullptr, "0.0.0", false},
        {{5, {}}, nullptr, "0.3.9", true},  // no model query: model 1
    };
    for (const auto& c : cases) {
        AUF_Registry::SaveValue("ModelFirmware-1", QString(c.stored ? c.stored : ""));
        Script(kNoFactory, c.model, {0, Text0(c.firmware)});
        status.Probe(false);
        EXPECT_EQ(status.Updates(), c.updates) << c.firmware;
        EXPECT_FALSE(status.Factory());
    }
    EXPECT_TRUE(ui.messages.empty());
    // The model query sends 0x00 0x01; the model is remembered.
    EXPECT_EQ(library.requests[1], QByteArray("\x00\x01", 2));
    EXPECT_EQ(AUF_Registry::LoadInt("DeviceModel"), 1);
}

TEST_F(DevStatusTest, HushedUntilAProbeWithReset) {
    Script({0, {}}, Model(1), {0, Text0("0.3.9")});
    status.Probe(false);
    EXPECT_TRUE(status.Factory());  // the factory probe was accepted
    EXPECT_TRUE(status.Updates());
    status.Hush();
    EXPECT_FALSE(status.Updates());
    Script({0, {}}, Model(1), {0, Text0("0.3.9")});
    status.Probe(false);
    EXPECT_FALSE(status.Updates());
    Script({0, {}}, Model(1), {0, Text0("0.3.9")});
    status.Probe(true);
    EXPECT_TRUE(status.Updates());
    // The factory probe sends (0, 1) little-endian.
    EXPECT_EQ(library.requests[0], QByteArray("\xE0\x00\x00\x01\x00", 5));
}

TEST_F(DevStatusTest, AUnitWithoutTheFirmwareQueryHasNoUpdate) {
    Script(kNoFactory, Model(1), {2, {}});
    status.Probe(false);
    EXPECT_FALSE(status.Updates());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DevStatusTest, OtherFailuresAreShownAndPassedOn) {
    library.exchanges = {{-3, {}}};
    try {
        status.Probe(false);
        ADD_FAILURE() << "no failure";
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), ErrTrap::ErrAPI_Response_Missing);
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "DEV_Status.ProbeFactory");
    EXPECT_EQ(ui.messages[0].text, "Local device is not responding");
}

}  // namespace
}  // namespace qel
