#include "core/ErrTrap.h"
#include "core/AppInfo.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace qel {
namespace {

using namespace ErrTrap;

// Raises, then captures, as a handler would.
template <typename F>
int32_t Capture(F raise) {
    try {
        raise();
    } catch (...) {
        return ErrCode();
    }
    ADD_FAILURE() << "nothing was raised";
    return -1;
}

struct NamedText {
    int32_t number;
    const char* name;
    const char* text;
};

class ErrTrapTable : public ::testing::TestWithParam<NamedText> {};

TEST_P(ErrTrapTable, NameAndTextAsWritten) {
    const NamedText& row = GetParam();
    EXPECT_EQ(ErrName(row.number), QString::fromUtf8(row.name));
    EXPECT_EQ(ErrText(row.number), QString::fromUtf8(row.text));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ErrTrapTable,
    ::testing::Values(
        NamedText{4097, "ErrQEL_Constraint",
                  "Value sent to the local device is out of allowed Range"},
        NamedText{4099, "ErrQEL_NotAnOption",
                  "An Option used with a command to the \nlocal device is not available"},
        NamedText{4104, "ErrQEL_SystemBusy", "The local device is Busy"},
        NamedText{4112, "RDM_Device_Response_Wait", "RDM_Device_Response_Wait"},
        NamedText{4115, "ErrRDM_Response_Transac",
                  "Unexpected response from remote device\nResponse transaction did not match "
                  "the request"},
        NamedText{4116, "ErrRDM_Response_SubDev",
                  "Response form remote device is from wrong subdevice "},
        NamedText{4120, "ErrRDM_Response_Missing",
                  "Expected reponse from remote device not received"},
        NamedText{4122, "Error Code not Elaborated",
                  "Identity of responder not the same as was expected"},
        NamedText{4124, "Error Code not Elaborated",
                  "A remote device is corrupting the discovery routine"},
        NamedText{4125, "ErrRDM_Response_UnExpected",
                  "A response was received from a remote device\nNo response was expected"},
        NamedText{4130, "NR_HARDWARE_FAULT",
                  "The remote device comand failed due to a Hardware Fault"},
        NamedText{4134, "NR_DATA_OUT_OF_RANGE",
                  "The value submitted is out of range \n for the remote device"},
        NamedText{4136, "NR_PACKET_SIZE_UNSUPPORTED",
                  "The remote device does not support the\nsize of request packet sent"},
        NamedText{4137, "NR_SUB_DEVICE_OUT_OF_RANGE",
                  "The remote device does not have this sub device"},
        NamedText{4353, "ErrAPI_Connection",
                  "Problem with connection to Equipment\nIf problem persists then check USB "
                  "cables"},
        NamedText{4354, "ErrAPI_DeviceMissig", "Local device has been disconnected"},
        NamedText{4357, "ErrAPI_Response_Format", "Response from local device has incorect format"},
        NamedText{4364, "ErrAPI_ClientCall",
                  "An erronious call was made to the API by the application"},
        NamedText{4366, "ErrAPI_PortStatus", "Connection Port is in wrong mode"},
        NamedText{4609, "ErrSYS_Comms", "Communication error with Local Device"},
        NamedText{4611, "ErrSYS_Device", "Remote Device Equipment Error"},
        // Numbers without an entry.
        NamedText{4105, "Error Code not Elaborated",
                  "Error Code $09 not Elaborated in this version"},
        NamedText{4113, "Error Code not Elaborated",
                  "Error Code $11 not Elaborated in this version"},
        NamedText{4096 + 0xAB, "Error Code not Elaborated",
                  "Error Code $AB not Elaborated in this version"}));

class ErrTrapTest : public ::testing::Test {
  protected:
    test::ScriptedUi ui;
    test::ScriptedLibrary library;
};

TEST_F(ErrTrapTest, RaiseCombinesTheCodeWithThePluginRange) {
    try {
        ErrRaise(8);
        FAIL();
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), 4104);
        EXPECT_EQ(e.source(), AppInfo::kAppTitle);
        EXPECT_EQ(e.description(), QStringLiteral("ErrQEL_SystemBusy\n$008"));
        EXPECT_EQ(ErrCode(), 4104);
    }
    EXPECT_FALSE(ErrShow(QStringLiteral("Here.There")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Here.There"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The local device is Busy"));
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
}

TEST_F(ErrTrapTest, RaiseKeepsTheLastThreeHexDigitsAndItsSource) {
    try {
        ErrRaise(259, QStringLiteral("USB-OpenPort"));
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), 4355);
        EXPECT_EQ(e.source(), QStringLiteral("USB-OpenPort"));
        EXPECT_EQ(e.description(), QStringLiteral("ErrAPI_Response_Missing\n$103"));
        ErrCode();
    }
    ErrShow(QStringLiteral("X"));
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("Local device is not responding"));
    EXPECT_EQ(Capture([] { ErrRaise(9); }), 4105);
    EXPECT_EQ(SavedError().description(), QStringLiteral("Error Code not Elaborated\n$009"));
}

TEST_F(ErrTrapTest, UnexpectedLibraryFailureCarriesTheLibrarysText) {
    library.lastError = QStringLiteral("DEVICE.ERROR_BUSY\n\rQIO_Command");
    EXPECT_EQ(Capture([] { ErrRaise(356); }), 4452);
    EXPECT_EQ(SavedError().description(),
              QStringLiteral("ErrAPI_Unexpected\nDEVICE.ERROR_BUSY\n\rQIO_Command\n$164"));
    // What the library says later does not change what this failure shows.
    library.lastError = QStringLiteral("something later");
    ErrShow(QStringLiteral("T"));
    EXPECT_EQ(ui.messages.back().text,
              QStringLiteral("Unexpected Error returned from Application interface\n"
                             "DEVICE.ERROR_BUSY\n\rQIO_Command"));
}

TEST_F(ErrTrapTest, LocalErrorShowsItsOwnText) {
    try {
        LocalError(QStringLiteral("No port elected to enguage"));
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), 4608);
        EXPECT_EQ(e.source(), QStringLiteral("Local Error"));
        EXPECT_EQ(e.description(), QStringLiteral("No port elected to enguage"));
        EXPECT_EQ(ErrCode(), ErrSYS_Local);
    }
    ErrShow(QStringLiteral("FDF_Port.Seize"));
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("No port elected to enguage"));
}

TEST_F(ErrTrapTest, RunTimeErrorsShowTheirDescriptionAndAreNotPluginNumbers) {
    EXPECT_EQ(Capture([] { throw RunTimeError(kErrDivisionByZero); }), 0);
    EXPECT_EQ(SavedNumber(), 11);
    ErrShow(QStringLiteral("T"));
    EXPECT_EQ(ui.messages.back().text, QStringLiteral("Division by zero"));

    EXPECT_EQ(Capture([] { throw RunTimeError(kErrOverflow); }), 0);
    EXPECT_EQ(SavedError().description(), QStringLiteral("Overflow"));
    EXPECT_EQ(Capture([] { throw RunTimeError(kErrSubscript); }), 0);
    EXPECT_EQ(SavedError().description(), QStringLiteral("Subscript out of range"));
    EXPECT_EQ(Capture([] { throw RunTimeError(kErrTypeMismatch); }), 0);
    EXPECT_EQ(SavedError().description(), QStringLiteral("Type mismatch"));
}

TEST_F(ErrTrapTest, ForeignExceptionsBecomeRunTimeErrors) {
    EXPECT_EQ(Capture([] { throw std::runtime_error("disk on fire"); }), 0);
    EXPECT_EQ(SavedNumber(), kErrInternal);
    EXPECT_TRUE(SavedError().description().contains(QStringLiteral("disk on fire")));
    EXPECT_EQ(Capture([] { throw 42; }), 0);
    EXPECT_EQ(SavedNumber(), kErrInternal);
}

TEST_F(ErrTrapTest, ReRaiseRaisesTheSavedError) {
    Capture([] { ErrRaise(0x101, QStringLiteral("Src")); });
    try {
        ErrReRaise();
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), 4353);
        EXPECT_EQ(e.source(), QStringLiteral("Src"));
        EXPECT_EQ(e.description(), QStringLiteral("ErrAPI_Connection\n$101"));
    }
}

TEST_F(ErrTrapTest, RetryQuestionIsTrueOnlyForRetry) {
    Capture([] { ErrRaise(0x103); });
    ui.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
    EXPECT_TRUE(ErrShow(QStringLiteral("A"), true));
    EXPECT_FALSE(ErrAsk(QStringLiteral("B")));
    EXPECT_FALSE(ErrAsk(QStringLiteral("C")));  // closed without a button
    ASSERT_EQ(ui.messages.size(), 3u);
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.icon, MsgIcon::Question);
        EXPECT_EQ(m.buttons, MsgButtons::RetryCancel);
        EXPECT_EQ(m.text, QStringLiteral("Local device is not responding"));
    }
}

TEST_F(ErrTrapTest, UnloadedViewHandsItsCodeToTheOpener) {
    QPointer<QWidget> view = new QWidget;
    view->show();
    Capture([] { ErrRaise(0x108); });  // some earlier error
    ErrUnload(view, 4353, QStringLiteral("System_Info.Initialise"));
    EXPECT_TRUE(view->property(kUnloadedProperty).toBool());
    EXPECT_FALSE(view->isVisible());
    // The opener tries to show it and fails with "object was unloaded".
    EXPECT_EQ(Capture([] { throw RunTimeError(kErrObjectUnloaded); }), 4353);
    EXPECT_EQ(SavedError().source(), QStringLiteral("System_Info.Initialise"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());
}

}  // namespace
}  // namespace qel
