// The firmware upgrade window: driven by the library's real progress while the simulated
// unit takes (or refuses) an image made by qel-sim, and by scripted progress values for
// its stall rules.
#include "core/Config_Prog.h"
#include "core/Client.h"
#include "core/ErrTrap.h"
#include "forms/HCF_Form.h"
#include "support/FirmwareImage.h"
#include "support/GTestQt.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace qel {
namespace {

using namespace ErrTrap;
using test::Find;
using test::OpenModal;

// What the window shows at one moment.
struct Look {
    QString status;
    bool statusVisible = false;
    bool configuring = false;
    QString percent;
    int bar = 0;
    bool success = false;
    bool closeEnabled = false;
    bool waiting = false;  // "Please Wait" shown
};

Look LookAt(QWidget& view) {
    Look look;
    auto* status = Find<QLabel>(view, "Label_Status");
    look.status = status->text();
    look.statusVisible = status->isVisible();
    look.configuring = Find<QLabel>(view, "Label_Configuring")->isVisible();
    look.percent = Find<QLabel>(view, "Label_Percent")->text();
    look.bar = Find<QProgressBar>(view, "Progress_Upload")->value();
    look.success = Find<QLabel>(view, "Image_Success")->isVisible();
    look.closeEnabled = Find<QPushButton>(view, "Button_Close")->isEnabled();
    look.waiting = Find<QLabel>(view, "Label_Wait")->isVisible();
    return look;
}

// Waits (window events running) until the window's close button is enabled: the upgrade
// has ended.
bool WaitForTheEnd(QWidget& view, int limitMs) {
    auto* close = Find<QPushButton>(view, "Button_Close");
    return QTest::qWaitFor([&] { return close->isEnabled(); }, limitMs);
}

// ---- against the simulated unit

class ConfigProgSimTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir;
        // Unit 1 takes the time a unit writing its flash takes; unit 2 never answers.
        const QString rig = folder->filePath("upgrade.rig");
        QFile file(rig);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("unit \"DMX-QEL\"\nunit \"DMX-QEL silent\"\ndisturb silence\n");
        file.close();
        setenv("QELIO32_DRIVER", "sim", 1);
        setenv("QELIO32_SIM_RIG", rig.toLocal8Bit().constData(), 1);
        HCF_Form::RegisterView<Config_Prog>(Config_Prog::kName);
    }
    static void TearDownTestSuite() { delete folder; }

    void TearDown() override { Client::USB_Disconnect(); }

    // An image file made by the simulator's own tool.
    static QString Image(const QString& name, const QStringList& options) {
        return test::MakeFirmwareImage(folder->filePath(name), options);
    }

    static inline QTemporaryDir* folder = nullptr;
    test::ScriptedUi ui;
};

TEST_F(ConfigProgSimTest, ASuccessfulUpgrade) {
    const QString image = Image("good.fud", {"--records", "60", "--version", "3.1.4"});
    Client::USB_OpenPort(1);
    Client::QEL_ReProgram(image);
    std::vector<int> bars;
    Look end;
    const int32_t raised = OpenModal("Config_Prog", nullptr, [&](QWidget& view) {
        auto* bar = Find<QProgressBar>(view, "Progress_Upload");
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { bars.push_back(v); });
        EXPECT_FALSE(Find<QPushButton>(view, "Button_Close")->isEnabled());
        EXPECT_EQ(Find<QPushButton>(view, "Button_Close")->toolTip(), "Close Window");
        EXPECT_EQ(Find<QLabel>(view, "Label_Wait")->text(), "Please Wait");
        EXPECT_EQ(view.findChild<QTimer*>("TimerUpdate")->interval(), 250);
        ASSERT_TRUE(WaitForTheEnd(view, 15000));
        end = LookAt(view);
        test::SaveShot(view, "core", "Config_Prog_Success");
        QTest::mouseClick(Find<QPushButton>(view, "Button_Close"), Qt::LeftButton);
    });
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(end.status, "Success ");
    EXPECT_TRUE(end.success);
    EXPECT_FALSE(end.waiting);
    EXPECT_TRUE(end.statusVisible);
    EXPECT_FALSE(end.configuring);
    EXPECT_EQ(end.bar, 100);
    ASSERT_FALSE(bars.empty()) << "no progress was seen";
    for (size_t i = 0; i < bars.size(); ++i) {
        EXPECT_GE(bars[i], 1);
        EXPECT_LE(bars[i], 100);
        if (i > 0) {
            EXPECT_GT(bars[i], bars[i - 1]);
        }
    }
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(ui.busyPointer());
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
    EXPECT_TRUE(ui.messages.empty());
    // The unit runs the new firmware.
    EXPECT_EQ(Client::QEL_GetFirmwareRev(), "3.1.4");
}

TEST_F(ConfigProgSimTest, RefusedImagesAreReportedAndCloseTheWindow) {
    struct Row {
        const char* what;
        QStringList options;
        int32_t code;
        const char* text;
    };
    const Row rows[] = {
        {"corrupt",
         {"--records", "20", "--corrupt"},
         ErrAPI_ProgFile_Corrupt,
         "Binary File failed Integrity Check"},
        {"foreign",
         {"--records", "20", "--foreign"},
         ErrAPI_ProgFile_Compat,
         "Binary File not compatible with this device"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ui.messages.clear();
        ui.beeps = 0;
        const QString image = Image(QString::fromLatin1(row.what) + ".fud", row.options);
        const QString before = (Client::USB_OpenPort(1), Client::QEL_GetFirmwareRev());
        Client::QEL_ReProgram(image);
        const int32_t raised = OpenModal("Config_Prog", nullptr, [](QWidget&) {});
        EXPECT_EQ(raised, row.code);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, "Firmware image upload");
        EXPECT_EQ(ui.messages[0].text, QString::fromLatin1(row.text));
        EXPECT_FALSE(ui.busyPointer());
        EXPECT_EQ(Client::QEL_GetFirmwareRev(), before);
        Client::USB_Disconnect();
    }
}

TEST_F(ConfigProgSimTest, ASilentUnitClosesTheWindowWithItsCode) {
    const QString image = Image("silent.fud", {"--records", "4"});
    Client::USB_OpenPort(2);
    Client::QEL_ReProgram(image);
    const int32_t raised = OpenModal("Config_Prog", nullptr, [](QWidget&) {});
    // The opener reports it; the window itself shows nothing.
    EXPECT_EQ(raised, ErrAPI_Response_Missing);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.busyPointer());
}

// ---- scripted progress values

// Answers each poll with the next value of a script (the last one once it runs out), and
// lets the test look at the window before every poll.
class ProgressScript : public test::ScriptedLibrary {
  public:
    int32_t ProgState() override {
        if (beforePoll) beforePoll(polls);
        const size_t at = std::min(static_cast<size_t>(polls), values.size() - 1);
        ++polls;
        return values[at];
    }
    std::vector<int32_t> values{0};
    std::function<void(int poll)> beforePoll;
    int polls = 0;
};

class ConfigProgScriptTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { HCF_Form::RegisterView<Config_Prog>(Config_Prog::kName); }

    // Runs the window over the script with a fast poll until the upgrade ends or
    // `polls` polls have been made; what it showed at the end.
    Look Run(const std::vector<int32_t>& values, int polls, int32_t* raised = nullptr) {
        script.values = values;
        script.polls = 0;
        Look look;
        const int32_t code = OpenModal("Config_Prog", nullptr, [&](QWidget& view) {
            QPointer<QWidget> alive(&view);
            auto* timer = view.findChild<QTimer*>("TimerUpdate");
            ASSERT_EQ(timer->interval(), 250);
            timer->setInterval(1);  // the test's own clock: one tick per millisecond
            QPointer<QPushButton> close = Find<QPushButton>(view, "Button_Close");
            // Until the upgrade ends, the window closes itself, or enough polls were made.
            (void)QTest::qWaitFor(
                [&] { return !alive || close->isEnabled() || script.polls >= polls; }, 10000);
            if (!alive) return;
            timer->stop();
            look = LookAt(view);
            if (close->isEnabled()) {
                QTest::mouseClick(close, Qt::LeftButton);
            } else {
                view.hide();
            }
        });
        if (raised) *raised = code;
        return look;
    }

    test::ScriptedUi ui;
    ProgressScript script;
};

std::vector<int32_t> Repeat(int32_t value, int times) {
    return std::vector<int32_t>(static_cast<size_t>(times), value);
}

TEST_F(ConfigProgScriptTest, SequenceEndingInSuccess) {
    const Look end = Run({0, 0, 5, 50, 100, 0}, 100);
    EXPECT_EQ(script.polls, 6);
    EXPECT_EQ(end.status, "Success ");
    EXPECT_TRUE(end.success);
    EXPECT_TRUE(end.closeEnabled);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
}

TEST_F(ConfigProgScriptTest, AStallEndsTheUpgrade) {
    const Look end = Run(Repeat(1, 22), 100);
    EXPECT_EQ(script.polls, 22);
    EXPECT_EQ(end.status, "Timed Out");
    EXPECT_TRUE(end.statusVisible);
    EXPECT_FALSE(end.success);
    EXPECT_TRUE(end.closeEnabled);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(ui.busyPointer());
}

TEST_F(ConfigProgScriptTest, ConfiguringIsGivenLongerAndBlinks) {
    std::vector<bool> shown;
    std::vector<int32_t> values{40};
    for (int32_t v : Repeat(100, 101))
        values.push_back(v);
    script.beforePoll = [&](int poll) {
        if (poll < 3) return;  // from the second tick at 100 on
        QWidget* view = HCF_Form::LoadedView("Config_Prog");
        const Look look = LookAt(*view);
        if (poll == 5) test::SaveShot(*view, "core", "Config_Prog_Configuring");
        EXPECT_EQ(look.status, "Configuring.");
        EXPECT_TRUE(look.configuring);
        EXPECT_FALSE(look.closeEnabled);
        EXPECT_TRUE(look.waiting);
        shown.push_back(look.statusVisible);
    };
    const Look running = Run(values, 102);
    EXPECT_FALSE(running.closeEnabled) << "100 for 100 ticks timed out";
    EXPECT_EQ(ui.beeps, 0);
    // Visible for two ticks, hidden for two.
    ASSERT_GE(shown.size(), 8u);
    for (size_t i = 0; i + 4 < shown.size(); ++i) {
        EXPECT_EQ(shown[i], shown[i + 4]) << i;
        EXPECT_NE(shown[i], shown[i + 2]) << i;
    }
}

TEST_F(ConfigProgScriptTest, UnitErrorEndsTheUpgradeWithTheBarAt100) {
    std::vector<int> bars;
    script.beforePoll = [&](int) {
        if (QWidget* view = HCF_Form::LoadedView("Config_Prog")) bars.push_back(LookAt(*view).bar);
    };
    const Look end = Run({30, 111}, 100);
    EXPECT_EQ(end.status, "Error 11");
    EXPECT_TRUE(end.closeEnabled);
    EXPECT_EQ(end.bar, 100);
    EXPECT_FALSE(end.success);
    for (int b : bars)
        EXPECT_LE(b, 100);
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(ConfigProgScriptTest, PollFailures) {
    struct Row {
        int32_t libraryCode;
        int32_t closedWith;  // -1: the window stays
        const char* title;   // of the one message; nullptr: none
    };
    const Row rows[] = {
        {-1, ErrAPI_Connection, nullptr},
        {-3, ErrAPI_Response_Missing, nullptr},
        {-2, ErrAPI_DeviceMissig, "Firmware image upload"},
        {-8, ErrAPI_ProgFile_Corrupt, "Firmware image upload"},
        {-100, -1, "Config_Prog.TimerUpdate_Timer"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.libraryCode);
        ui.messages.clear();
        ui.pointerChanges.clear();
        int32_t raised = 0;
        const Look end = Run({20, row.libraryCode}, 50, &raised);
        EXPECT_EQ(script.polls, 2);
        EXPECT_FALSE(ui.busyPointer());
        if (row.closedWith < 0) {
            EXPECT_EQ(raised, 0);
            EXPECT_TRUE(end.closeEnabled);
        } else {
            EXPECT_EQ(raised, row.closedWith);
        }
        test::ExpectShownOnce(ui, row.title);
    }
}

TEST_F(ConfigProgScriptTest, TheWindowStaysUntilTheUpgradeHasEnded) {
    script.values = {0, 10, 20, 30, 0};
    bool stayed = false;
    bool closedByClick = false;
    OpenModal("Config_Prog", nullptr, [&](QWidget& view) {
        QTest::mouseClick(&view, Qt::LeftButton);
        QTest::keyClick(&view, Qt::Key_Escape);
        view.close();
        QTest::mouseClick(Find<QPushButton>(view, "Button_Close"), Qt::LeftButton);
        stayed = HCF_Form::LoadedView("Config_Prog") != nullptr && view.isVisible();
        view.findChild<QTimer*>("TimerUpdate")->setInterval(1);
        ASSERT_TRUE(WaitForTheEnd(view, 5000));
        test::SaveShot(view, "core", "Config_Prog_Ended");
        QTest::mouseClick(&view, Qt::LeftButton);  // a click on the window closes it now
        closedByClick = HCF_Form::LoadedView("Config_Prog") == nullptr;
    });
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(closedByClick);
}

}  // namespace
}  // namespace qel
