// The port manager against a scripted library: finding the last port, choosing,
// opening with the probe, releasing, the port list, and the refusals while open.
#include "core/FDF_Port.h"
#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <memory>

namespace qel {
namespace {

using test::Exchange;

// A plain unit's answers to the probe after an open: no factory command, model 1, and
// the firmware the plugin knows as the latest.
void ScriptProbe(test::ScriptedLibrary& library) {
    library.exchanges.push_back({2, {}});
    library.exchanges.push_back({0, QByteArray("\x01\x00", 2)});
    library.exchanges.push_back({0, QByteArray("0.3.10\0", 7)});
}

class FDF_PortTest : public ::testing::Test {
  protected:
    FDF_PortTest() {
        AUF_Registry::SaveValue("PortUsed", QString());
        library.portNames = {"DMX-QEL A", "DMX-QEL B"};
    }
    ~FDF_PortTest() override { AUF_Registry::SaveValue("PortUsed", QString()); }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
};

TEST_F(FDF_PortTest, FindsTheRememberedPortAndOpensIt) {
    AUF_Registry::SaveValue("PortUsed", QString("DMX-QEL B"));
    FDF_Port port;
    EXPECT_EQ(port.DataClass(), "FDF_Port");
    EXPECT_TRUE(port.Ready());
    EXPECT_EQ(port.Index(), 2);
    ScriptProbe(library);
    port.Seize();
    EXPECT_TRUE(port.InUse());
    EXPECT_EQ(library.opened, std::vector<int32_t>{2});
    EXPECT_EQ(library.requests.size(), 3u);  // the probe ran
    port.Release();
    EXPECT_FALSE(port.InUse());
    EXPECT_EQ(library.freed, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FDF_PortTest, AnAbsentPortLeavesItNotReady) {
    AUF_Registry::SaveValue("PortUsed", QString("DMX-QEL Z"));
    FDF_Port port;
    EXPECT_FALSE(port.Ready());
    EXPECT_FALSE(port.FindLast());
    EXPECT_EQ(port.Index(), 0);
}

TEST_F(FDF_PortTest, APortFoundBeforeIsNotReadyOnceTheListIsEmpty) {
    AUF_Registry::SaveValue("PortUsed", QString("DMX-QEL B"));
    FDF_Port port;
    EXPECT_TRUE(port.Ready());
    library.portNames.clear();
    EXPECT_EQ(port.Items(), 0);
    EXPECT_FALSE(port.FindLast());
    EXPECT_FALSE(port.Ready());

    library.portNames = {"DMX-QEL B"};
    EXPECT_TRUE(port.Ready());
    EXPECT_EQ(port.Index(), 1);
}

TEST_F(FDF_PortTest, AChosenPortIsRememberedOnceOpened) {
    FDF_Port port;
    EXPECT_FALSE(port.Ready());
    port.SetIndex(1);
    EXPECT_TRUE(port.Ready());
    EXPECT_EQ(port.PortName(), "DMX-QEL A");
    EXPECT_EQ(AUF_Registry::LoadText("PortUsed"), "");
    ScriptProbe(library);
    port.Seize();
    EXPECT_EQ(AUF_Registry::LoadText("PortUsed"), "DMX-QEL A");
}

TEST_F(FDF_PortTest, RefusesChangesAndSearchesWhileOpen) {
    FDF_Port port;
    port.SetIndex(1);
    ScriptProbe(library);
    port.Seize();
    port.SetIndex(2);
    EXPECT_EQ(port.Index(), 1);
    EXPECT_FALSE(port.FindLast());
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].title, "FDF_Port.Index (Let)");
    EXPECT_EQ(ui.messages[0].text, "The elected conection may not be change while active");
    EXPECT_EQ(ui.messages[1].title, "FDF_Port.FindLast");
    EXPECT_EQ(ui.messages[1].text, "Search method not available while port is in use");
}

TEST_F(FDF_PortTest, SeizeWithoutAPortIsALocalError) {
    FDF_Port port;
    port.Seize();
    EXPECT_FALSE(port.InUse());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "No port elected to enguage");
    EXPECT_TRUE(library.opened.empty());
}

TEST_F(FDF_PortTest, FailedOpensAndProbesLeaveThePortClosed) {
    const struct {
        int32_t openResult;
        Exchange probe;
        int32_t number;
        const char* shownUnder;  // nullptr: no message
    } cases[] = {
        {-1, {}, ErrTrap::ErrAPI_Connection, nullptr},  // passed on without a message
        {-2, {}, ErrTrap::ErrAPI_DeviceMissig, "FDF_Port.Seize"},
        // The probe found no unit: shown where it failed, once.
        {0, {-3, {}}, ErrTrap::ErrAPI_Response_Missing, "DEV_Status.ProbeFactory"},
    };
    for (const auto& c : cases) {
        library.openResult = c.openResult;
        library.exchanges = {c.probe};
        library.freed = 0;
        ui.messages.clear();
        FDF_Port port;
        port.SetIndex(1);
        try {
            port.Seize();
            ADD_FAILURE() << "no failure for " << c.number;
        } catch (const PluginError& e) {
            EXPECT_EQ(e.number(), c.number);
        }
        EXPECT_FALSE(port.InUse());
        if (c.shownUnder == nullptr) {
            EXPECT_TRUE(ui.messages.empty()) << c.number;
        } else {
            ASSERT_EQ(ui.messages.size(), 1u) << c.number;
            EXPECT_EQ(ui.messages[0].title, c.shownUnder);
        }
        // A port the library opened is closed again.
        EXPECT_EQ(library.freed, c.openResult == 0 ? 1 : 0) << c.number;
        library.exchanges.clear();
    }
}

TEST_F(FDF_PortTest, ListsThePorts) {
    FDF_Port port;
    EXPECT_EQ(port.Items(), 2);
    EXPECT_EQ(port.Item(1), "DMX-QEL A");
    EXPECT_EQ(port.Item(2), "DMX-QEL B");
    for (int outside : {-1, 0, 3})
        EXPECT_EQ(port.Item(outside), "") << outside;

    port.SetIndex(1);
    library.portNames.clear();
    EXPECT_EQ(port.Items(), 0);
    EXPECT_FALSE(port.Ready());
    EXPECT_EQ(port.Item(1), "");
}

TEST_F(FDF_PortTest, ReleaseClearsTheStateEvenWhenTheLibraryFails) {
    FDF_Port port;
    port.SetIndex(1);
    ScriptProbe(library);
    port.Seize();
    library.freeResult = -2;
    EXPECT_THROW(port.Release(), PluginError);
    EXPECT_FALSE(port.InUse());
    EXPECT_EQ(ui.messages.back().text, "Local device has been disconnected");
}

TEST_F(FDF_PortTest, DestroyingAnOpenPortManagerClosesThePort) {
    auto port = std::make_unique<FDF_Port>();
    port->SetIndex(2);
    ScriptProbe(library);
    port->Seize();
    port.reset();
    EXPECT_EQ(library.freed, 1);

    auto idle = std::make_unique<FDF_Port>();
    idle.reset();
    EXPECT_EQ(library.freed, 1);  // nothing was open
}

}  // namespace
}  // namespace qel
