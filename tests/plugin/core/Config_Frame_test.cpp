// The frame-timing window as a person uses it, against the simulated unit (its real
// limits and the dependency between frame rate and time-out) and, for failures the
// simulated unit does not make, against a scripted one.
#include "core/Config_Frame.h"
#include "core/Client.h"
#include "core/ErrTrap.h"
#include "core/SharedLibraryBinding.h"
#include "forms/HCF_Data.h"
#include "forms/HCF_Form.h"
#include "support/GTestQt.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace qel {
namespace {

using namespace ErrTrap;
using test::Find;
using test::OpenModal;
using test::TypeInto;

QLineEdit* Field(QWidget& view, const char* key) {
    return Find<QLineEdit>(view, QStringLiteral("Input_") + QLatin1String(key));
}

QString Shown(QWidget& view, const char* key) {
    QLineEdit* field = Field(view, key);
    return field ? field->text().trimmed() : QString();
}

// The real library, with the request of every command on record.
class RecordingLibrary : public SharedLibraryBinding {
  public:
    RecordingLibrary() : previous_(SetLibrary(this)) {}
    ~RecordingLibrary() override { SetLibrary(previous_); }
    int32_t Command(uint8_t* buffer, int32_t* length) override {
        requests.append(QByteArray(reinterpret_cast<const char*>(buffer), *length));
        return SharedLibraryBinding::Command(buffer, length);
    }
    QList<QByteArray> requests;

  private:
    LibraryBinding* previous_;
};

class ConfigFrameTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("QELIO32_DRIVER", "sim", 1);
        setenv("QELIO32_SIM_RIG", "default", 1);
        HCF_Form::RegisterView<Config_Frame>(Config_Frame::kName);
    }
    void SetUp() override {
        ASSERT_EQ(Client::API_GetPortCount(), 1);
        Client::USB_OpenPort(1);
    }
    void TearDown() override { Client::USB_Disconnect(); }

    // Puts the unit's timing where a test wants it to begin.
    static void UnitTiming(int rate, int breakUs, int markUs, int timeoutMs) {
        Client::QEL_SetDelayTime(0);
        Client::QEL_SetFrameRate(rate);
        Client::QEL_SetBreakTime(breakUs);
        Client::QEL_SetMarkTime(markUs);
        Client::QEL_SetDelayTime(timeoutMs);
    }

    test::ScriptedUi ui;
    RecordingLibrary library;
};

TEST_F(ConfigFrameTest, OpeningShowsTheUnitsValues) {
    UnitTiming(30, 200, 24, 5);
    bool looked = false;
    EXPECT_EQ(OpenModal("Config_Frame", nullptr,
                        [&](QWidget& view) {
                            looked = true;
                            EXPECT_EQ(view.windowTitle(),
                                      QStringLiteral("DMX Frame Configuration"));
                            EXPECT_EQ(Shown(view, "FrameRate"), QStringLiteral("30"));
                            EXPECT_EQ(Shown(view, "BreakTime"), QStringLiteral("200"));
                            EXPECT_EQ(Shown(view, "MarkTime"), QStringLiteral("24"));
                            EXPECT_EQ(Shown(view, "DelayTime"), QStringLiteral("5"));
                            EXPECT_EQ(Field(view, "DelayTime")->toolTip(),
                                      QStringLiteral("RDM response time out in ms (0 = default)"));
                            EXPECT_EQ(Find<QGroupBox>(view, "Frame_DMX")->title(),
                                      QStringLiteral("Device DMX Settings"));
                            EXPECT_EQ(Find<QGroupBox>(view, "Frame_RDM")->title(),
                                      QStringLiteral("Device RDM Settings"));
                            EXPECT_TRUE(Find<QPushButton>(view, "Button_Defaults")->isEnabled());
                            test::SaveShot(view, "core", "Config_Frame");
                            QTest::mouseClick(Find<QPushButton>(view, "Button_OK"), Qt::LeftButton);
                        }),
              0);
    EXPECT_TRUE(looked);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(HCF_Form::LoadedView("Config_Frame"), nullptr);
}

TEST_F(ConfigFrameTest, EntriesAreWrittenAndTheOtherValueFollows) {
    struct Row {
        const char* what;
        int rate, timeout;  // the unit before
        const char* field;
        const char* typed;
        int rateAfter, timeoutAfter;  // the unit after, and what the window shows
        const char* title;            // of the adjustment message; nullptr: none
        const char* text;
    };
    const Row rows[] = {
        {"a faster rate shortens the time-out", 25, 20, "FrameRate", "44", 44, 2, "Frame Rate",
         "The RX Time Out has been adjusted for the new value"},
        {"a rate that fits changes nothing else", 25, 20, "FrameRate", "20", 20, 20, nullptr,
         nullptr},
        {"a longer time-out slows the rate", 44, 0, "DelayTime", "50", 14, 50, "RX Time Out",
         "The Frame Rate has been adjusted for the new value"},
        {"a time-out that fits changes nothing else", 20, 0, "DelayTime", "9", 20, 9, nullptr,
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        UnitTiming(row.rate, 176, 12, row.timeout);
        ui.messages.clear();
        OpenModal("Config_Frame", nullptr, [&](QWidget& view) {
            TypeInto(Field(view, row.field), QString::fromLatin1(row.typed));
            EXPECT_EQ(Shown(view, "FrameRate"), QString::number(row.rateAfter));
            EXPECT_EQ(Shown(view, "DelayTime"), QString::number(row.timeoutAfter));
            view.close();
        });
        EXPECT_EQ(Client::QEL_GetFrameRate(1), row.rateAfter);
        EXPECT_EQ(Client::QEL_GetDelayTime(1), row.timeoutAfter);
        if (row.title) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].title, QString::fromLatin1(row.title));
            EXPECT_EQ(ui.messages[0].text, QString::fromLatin1(row.text));
            EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
        } else {
            EXPECT_TRUE(ui.messages.empty());
        }
    }
}

TEST_F(ConfigFrameTest, OutOfRangeEntriesShowTheUnitsLimitsAndRestoreTheField) {
    struct Row {
        const char* field;
        const char* typed;
        const char* range;
        const char* restored;
    };
    const Row rows[] = {
        {"FrameRate", "45", "Valid values are from 1 to 44", "30"},
        {"BreakTime", "2000", "Valid values are from 88 to 1000", "200"},
        {"BreakTime", "50", "Valid values are from 88 to 1000", "200"},
        {"MarkTime", "1001", "Valid values are from 8 to 1000", "24"},
        {"DelayTime", "51", "Valid values are from 0 to 50", "5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        UnitTiming(30, 200, 24, 5);
        ui.messages.clear();
        OpenModal("Config_Frame", nullptr, [&](QWidget& view) {
            QLineEdit* field = Field(view, row.field);
            TypeInto(field, QString::fromLatin1(row.typed));
            EXPECT_EQ(field->text().trimmed(), QString::fromLatin1(row.restored));
            EXPECT_EQ(QApplication::focusWidget(), field);
            view.close();
        });
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QStringLiteral("Setting out of range"));
        EXPECT_EQ(ui.messages[0].text, QString::fromLatin1(row.range));
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(Client::QEL_GetFrameRate(1), 30);
        EXPECT_EQ(Client::QEL_GetBreakTime(1), 200);
        EXPECT_EQ(Client::QEL_GetMarkTime(1), 24);
        EXPECT_EQ(Client::QEL_GetDelayTime(1), 5);
    }
}

TEST_F(ConfigFrameTest, DefaultsAreSentInTableOrderAndTheUnitsValuesShown) {
    UnitTiming(20, 300, 50, 30);
    OpenModal("Config_Frame", nullptr, [&](QWidget& view) {
        library.requests.clear();
        QTest::mouseClick(Find<QPushButton>(view, "Button_Defaults"), Qt::LeftButton);
        // 0 for break and mark selects the unit's own defaults.
        EXPECT_EQ(Shown(view, "FrameRate"), QStringLiteral("40"));
        EXPECT_EQ(Shown(view, "BreakTime"), QStringLiteral("176"));
        EXPECT_EQ(Shown(view, "MarkTime"), QStringLiteral("12"));
        EXPECT_EQ(Shown(view, "DelayTime"), QStringLiteral("0"));
        view.close();
    });
    QList<QByteArray> writes;
    for (const QByteArray& r : library.requests) {
        if (r[0] == 0x12 || r[0] == 0x14 || r[0] == 0x16 || r[0] == 0x18) writes.append(r);
    }
    EXPECT_EQ(writes,
              (QList<QByteArray>{QByteArray("\x12\x28", 2), QByteArray("\x16\x00\x00", 3),
                                 QByteArray("\x14\x00\x00", 3), QByteArray("\x18\x00", 2)}));
    EXPECT_TRUE(ui.messages.empty());
}

// A data object of any class is refused.
class Stranger : public QObject, public HCF_Data {
  public:
    QString DataClass() const override { return QStringLiteral("RDM_SubDev"); }
};

TEST_F(ConfigFrameTest, RefusesADataObject) {
    Stranger data;
    OpenModal("Config_Frame", &data, [](QWidget& view) { view.close(); });
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Config_Frame.Control (Set)"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Class object \"RDM_SubDev\" not handled"));
}

// ---- failures, with a scripted unit

test::Exchange Reply(std::initializer_list<int> bytes, int status = 0) {
    QByteArray reply;
    for (int b : bytes)
        reply.append(static_cast<char>(b));
    return {status, reply};
}

// What the scripted unit answers to the opening's four reads.
void LoadReplies(test::ScriptedLibrary& unit) {
    unit.exchanges.push_back(Reply({30, 1, 44}));
    unit.exchanges.push_back(Reply({200, 0, 88, 0, 0xE8, 3}));
    unit.exchanges.push_back(Reply({24, 0, 8, 0, 0xE8, 3}));
    unit.exchanges.push_back(Reply({5, 0, 50}));
}

class ConfigFrameFailureTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { HCF_Form::RegisterView<Config_Frame>(Config_Frame::kName); }

    test::ScriptedUi ui;
    test::ScriptedLibrary unit;
};

TEST_F(ConfigFrameFailureTest, LostUnitWhileOpening) {
    // Retry reads the value again; Cancel gives up the opening with 4609.
    unit.exchanges.push_back({-3, {}});
    LoadReplies(unit);
    ui.answers = {MsgAnswer::Retry};
    EXPECT_EQ(OpenModal("Config_Frame", nullptr, [](QWidget& view) { view.close(); }), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("DMX Frame Configuration"));
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::RetryCancel);
    EXPECT_TRUE(unit.exchanges.empty());

    ui.messages.clear();
    unit.exchanges.push_back(Reply({30, 1, 44}));
    unit.exchanges.push_back({-1, {}});
    ui.answers = {MsgAnswer::Cancel};
    const int32_t raised = OpenModal("Config_Frame", nullptr, [](QWidget&) {
        ADD_FAILURE() << "a view that gave up its opening was shown";
    });
    EXPECT_EQ(raised, kErrObjectUnloaded);
    EXPECT_EQ(SavedNumber(), ErrSYS_Comms);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("DMX Frame Configuration"));
    EXPECT_EQ(HCF_Form::LoadedView("Config_Frame"), nullptr);
}

TEST_F(ConfigFrameFailureTest, OtherFailureWhileOpeningEndsItWithItsCode) {
    unit.exchanges.push_back(Reply({}, 8));  // the unit is busy: 4104
    const int32_t raised = OpenModal("Config_Frame", nullptr, [](QWidget&) {
        ADD_FAILURE() << "a view that gave up its opening was shown";
    });
    EXPECT_EQ(raised, kErrObjectUnloaded);
    EXPECT_EQ(SavedNumber(), ErrQEL_SystemBusy);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Config_Frame.Form_Load"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The local device is Busy"));
}

TEST_F(ConfigFrameFailureTest, FailuresOfAnEntry) {
    struct Row {
        const char* what;
        test::Exchange write;
        std::vector<MsgAnswer> answers;
        int32_t closedWith;  // -1: the view stays open
        const char* title;   // of the one message; nullptr: none
    };
    const Row rows[] = {
        {"lost connection, Cancel",
         {-1, {}},
         {MsgAnswer::Cancel},
         ErrSYS_Comms,
         "DMX Frame Configuration"},
        {"unit gone", {-2, {}}, {}, ErrAPI_DeviceMissig, nullptr},
        {"another failure is shown, the view stays",
         Reply({}, 4),
         {},
         -1,
         "Config_Frame.Input_BreakTime_AfterUpdate"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ui.messages.clear();
        LoadReplies(unit);
        unit.exchanges.push_back(row.write);
        ui.answers.assign(row.answers.begin(), row.answers.end());
        bool stayed = false;
        const int32_t raised = OpenModal("Config_Frame", nullptr, [&](QWidget& view) {
            TypeInto(Field(view, "BreakTime"), QStringLiteral("300"));
            test::Pause(20);
            stayed = HCF_Form::LoadedView("Config_Frame") != nullptr;
            if (stayed) view.close();
        });
        if (row.closedWith < 0) {
            EXPECT_TRUE(stayed);
            EXPECT_EQ(raised, 0);
        } else {
            EXPECT_FALSE(stayed);
            EXPECT_EQ(raised, row.closedWith);
        }
        test::ExpectShownOnce(ui, row.title);
        EXPECT_TRUE(unit.exchanges.empty());
        unit.exchanges.clear();
    }
}

TEST_F(ConfigFrameFailureTest, DefaultsStopAtTheFirstRefusedItem) {
    LoadReplies(unit);
    unit.exchanges.push_back(Reply({}));           // frame rate 40 taken
    unit.exchanges.push_back(Reply({40, 1, 44}));  // and shown
    unit.exchanges.push_back(Reply({}, 1));        // break time refused
    OpenModal("Config_Frame", nullptr, [&](QWidget& view) {
        QTest::mouseClick(Find<QPushButton>(view, "Button_Defaults"), Qt::LeftButton);
        EXPECT_EQ(Shown(view, "FrameRate"), QStringLiteral("40"));
        EXPECT_EQ(Shown(view, "BreakTime"), QStringLiteral("200"));
        view.close();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Setting out of range"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Item Break Time default is out of range"));
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    // Nothing after the refused item was sent.
    EXPECT_EQ(unit.requests.size(), 7u);
    EXPECT_EQ(unit.requests.back(), QByteArray("\x16\x00\x00", 3));
}

TEST_F(ConfigFrameFailureTest, DefaultsFailingOtherwiseCloseTheView) {
    LoadReplies(unit);
    unit.exchanges.push_back(Reply({}, 8));
    const int32_t raised = OpenModal("Config_Frame", nullptr, [&](QWidget& view) {
        QTest::mouseClick(Find<QPushButton>(view, "Button_Defaults"), Qt::LeftButton);
    });
    EXPECT_EQ(raised, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Config_Frame.Button_Defaults_Click"));
    EXPECT_EQ(HCF_Form::LoadedView("Config_Frame"), nullptr);
}

}  // namespace
}  // namespace qel
