#include "forms/HCF_Form.h"
#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "core/PluginError.h"
#include "forms/HCF_Data.h"
#include "forms/HCF_View.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace qel;
using qel::test::ScriptedUi;

namespace {

// A data object as the model classes are.
class Model : public QObject, public HCF_Data {
  public:
    explicit Model(QString cls) : cls_(std::move(cls)) {}
    QString DataClass() const override { return cls_; }

  private:
    QString cls_;
};

// A view that records what happens to it; what its set-up does is up to each test.
class Probe : public HCF_Dialog {
  public:
    Probe(QWidget* parent, const QString& dataClass) : HCF_Dialog(parent, dataClass) {
        resize(300, 200);
    }
    // What the set-up of the view "Device_Tool" does besides counting.
    static inline std::function<void(Probe&)> onInitialise;
    int initialised = 0;
    int continued = 0;
    using HCF_Dialog::BugOut;
    using HCF_Dialog::BugOutLater;
    using HCF_Dialog::Data;

  protected:
    void Initialise() override {
        ++initialised;
        if (onInitialise && objectName() == "Device_Tool") onInitialise(*this);
    }
    void Continue() override { ++continued; }
};

void RegisterProbe(const QString& name, const QString& dataClass) {
    HCF_Form::RegisterView(name,
                           [dataClass](QWidget* parent) { return new Probe(parent, dataClass); });
}

Probe* Loaded(const QString& name) {
    return dynamic_cast<Probe*>(HCF_Form::LoadedView(name));
}

// Runs `step` from inside the modal showing, once the view `name` is on screen.
void WhenOpen(const QString& name, std::function<void(Probe&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, name, step] {
        Probe* view = Loaded(name);
        if (!view || !view->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        step(*view);
    });
    timer->start();
}

// Opens from `form` and gives back the number of the error it raised (0: none).
int32_t OpenGivingError(HCF_Form& form, const QString& name, bool modal, QObject* data) {
    try {
        form.OpenForm(name, modal, data);
    } catch (const PluginError& e) {
        return e.number();
    }
    return 0;
}

class FormFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        RegisterProbe("Device_Tool", "RDM_SubDev");
        RegisterProbe("User_Main", "UDC_Control");
        RegisterProbe("Plain", QString());
        for (const char* name : {"Pos_First", "Pos_Min", "Pos_Range", "Pos_Away"})
            RegisterProbe(name, QString());
    }
    void SetUp() override {
        Probe::onInitialise = nullptr;
        // Nothing here may leave a modal showing running: close whatever is left.
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "a view stayed open";
            for (QWidget* w : QApplication::topLevelWidgets())
                w->close();
        });
        watchdog.start(10000);
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ScriptedUi ui;
    HCF_Form root;
    Model subDevice{"RDM_SubDev"};
    Model controller{"UDC_Control"};
    QTimer watchdog;
};

}  // namespace

TEST_F(FormFixture, AViewOpenedByNameIsLinkedToItsDataAndTheChain) {
    bool checked = false;
    WhenOpen("User_Main", [&](Probe& main) {
        HCF_Form* mainForm = main.Form();
        EXPECT_TRUE(main.isModal());
        EXPECT_EQ(main.objectName(), "User_Main");
        EXPECT_EQ(mainForm->DataClass(), "UDC_Control");
        EXPECT_EQ(mainForm->DataObject(), &controller);
        EXPECT_EQ(main.initialised, 1);
        WhenOpen("Device_Tool", [&](Probe& tool) {
            HCF_Form* form = tool.Form();
            EXPECT_TRUE(form->DataIsSet());
            EXPECT_EQ(form->DataClass(), "RDM_SubDev");
            EXPECT_EQ(tool.Data<Model>(), &subDevice);
            EXPECT_EQ(form->Ancestor(0), &tool);
            EXPECT_EQ(form->Ancestor(1), &main);
            EXPECT_EQ(form->Ancestor(2), nullptr);  // the root serves no view
            EXPECT_EQ(form->AncestorForm(), mainForm);
            EXPECT_EQ(tool.parentWidget(), &main);
            EXPECT_TRUE(main.isVisible());  // the opener stays behind a modal child
            checked = true;
            tool.reject();
        });
        EXPECT_EQ(OpenGivingError(*mainForm, "Device_Tool", true, &subDevice), 0);
        EXPECT_EQ(main.continued, 1);
        EXPECT_EQ(HCF_Form::LoadedView("Device_Tool"), nullptr);
        main.close();
    });
    root.OpenForm("User_Main", true, &controller);
    EXPECT_TRUE(checked);
    EXPECT_EQ(HCF_Form::LoadedView("User_Main"), nullptr);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FormFixture, AChildsCodeIsRaisedInTheOpenerOnceAndANormalCloseClearsIt) {
    int32_t first = -1;
    int32_t second = -1;
    WhenOpen("Plain", [&](Probe& opener) {
        WhenOpen("Device_Tool", [](Probe& tool) { tool.BugOut(ErrTrap::ErrSYS_Device); });
        first = OpenGivingError(*opener.Form(), "Device_Tool", true, &subDevice);
        WhenOpen("Device_Tool", [](Probe& tool) { tool.close(); });
        second = OpenGivingError(*opener.Form(), "Device_Tool", true, &subDevice);
        EXPECT_EQ(opener.Form()->ReturnCode(), 0);
        opener.close();
    });
    root.OpenForm("Plain", true);
    EXPECT_EQ(first, ErrTrap::ErrSYS_Device);
    EXPECT_EQ(second, 0);
}

// A failure the child already showed reaches the opener marked as shown, so that the
// opener's handler does not show it again; a bare code never counts as shown.
TEST_F(FormFixture, AFailureTheChildShowedIsRaisedInTheOpenerAsShown) {
    for (bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        std::optional<PluginError> raised;
        std::optional<PluginError> later;
        auto openTool = [&](Probe& opener, std::optional<PluginError>& into) {
            try {
                opener.Form()->OpenForm("Device_Tool", true, &subDevice);
            } catch (const PluginError& e) {
                into = e;
            }
        };
        WhenOpen("Plain", [&](Probe& opener) {
            WhenOpen("Device_Tool", [shown](Probe& tool) {
                tool.BugOut(PluginError(ErrTrap::ErrAPI_ProgFile_Corrupt, "Config_Prog",
                                        "Binary File failed Integrity Check", shown));
            });
            openTool(opener, raised);
            WhenOpen("Device_Tool", [](Probe& tool) { tool.BugOut(ErrTrap::ErrSYS_Device); });
            openTool(opener, later);
            opener.close();
        });
        root.OpenForm("Plain", true);
        ASSERT_TRUE(raised);
        EXPECT_EQ(raised->number(), ErrTrap::ErrAPI_ProgFile_Corrupt);
        EXPECT_EQ(raised->shown(), shown);
        ASSERT_TRUE(later);
        EXPECT_EQ(later->number(), ErrTrap::ErrSYS_Device);
        EXPECT_FALSE(later->shown());
    }
}

TEST_F(FormFixture, AViewWhoseSetUpFailsClosesShortlyAfterAndItsOpenerReportsTheCode) {
    bool wasShown = false;
    Probe::onInitialise = [&](Probe& tool) {
        tool.BugOutLater(ErrTrap::ErrSYS_Comms);
        QTimer::singleShot(0, &tool, [&] { wasShown = tool.isVisible(); });
    };
    int32_t raised = -1;
    WhenOpen("Plain", [&](Probe& opener) {
        raised = OpenGivingError(*opener.Form(), "Device_Tool", true, &subDevice);
        opener.close();
    });
    root.OpenForm("Plain", true);
    EXPECT_TRUE(wasShown);
    EXPECT_EQ(raised, ErrTrap::ErrSYS_Comms);
}

TEST_F(FormFixture, AnOpenerThatClosesWhileItsChildShowsLivesUntilTheChildCloses) {
    QPointer<Probe> opener;
    bool openerAliveAfterChild = false;
    WhenOpen("Plain", [&](Probe& plain) {
        opener = &plain;
        WhenOpen("Device_Tool", [&](Probe& tool) {
            plain.Form()->BugOut(0);  // as a timer of the opener giving up would
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_FALSE(plain.isVisible());
            EXPECT_TRUE(tool.isVisible());
            tool.close();
        });
        EXPECT_EQ(OpenGivingError(*plain.Form(), "Device_Tool", true, &subDevice), 0);
        openerAliveAfterChild = !opener.isNull();
    });
    root.OpenForm("Plain", true);
    EXPECT_TRUE(openerAliveAfterChild);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(opener.isNull());
}

TEST_F(FormFixture, DataOfAnotherClassIsToldAndTheViewOpensEmpty) {
    Model port{"FDF_Port"};
    int initialised = -1;
    WhenOpen("Device_Tool", [&](Probe& tool) {
        initialised = tool.initialised;
        tool.close();
    });
    root.OpenForm("Device_Tool", true, &port);
    EXPECT_EQ(initialised, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Device_Tool.Control (Set)");
    EXPECT_EQ(ui.messages[0].text, "Class object \"FDF_Port\" not handled");

    WhenOpen("Device_Tool", [&](Probe& tool) {
        initialised = tool.initialised;
        EXPECT_FALSE(tool.Form()->DataIsSet());
        EXPECT_EQ(tool.Form()->DataClass(), "Not Stated");
        tool.close();
    });
    root.OpenForm("Device_Tool", true);
    EXPECT_EQ(initialised, 0);  // no data: no set-up, no message
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(FormFixture, SetUpFailuresReachTheOpenerAsTheViewsCaseListSays) {
    struct Case {
        int32_t raised;
        bool shown;  // under "Device_Tool.Control (Set)"
    };
    const Case cases[] = {{ErrTrap::ErrSYS_Comms, false},
                          {ErrTrap::ErrAPI_DeviceMissig, false},
                          {ErrTrap::ErrSYS_Device, false},
                          {ErrTrap::ErrQEL_Constraint, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raised);
        ui.messages.clear();
        Probe::onInitialise = [&](Probe&) { ErrTrap::ErrRaise(c.raised & 0xFFF); };
        EXPECT_EQ(OpenGivingError(root, "Device_Tool", true, &subDevice), c.raised);
        EXPECT_EQ(HCF_Form::LoadedView("Device_Tool"), nullptr);
        EXPECT_EQ(ui.messages.size(), c.shown ? 1u : 0u);
        if (c.shown) {
            EXPECT_EQ(ui.messages[0].title, "Device_Tool.Control (Set)");
        }
    }
    // A local error of the set-up is shown there and the view opens.
    ui.messages.clear();
    Probe::onInitialise = [](Probe&) {
        ErrTrap::LocalError("Sub device not able to handle command");
    };
    WhenOpen("Device_Tool", [](Probe& tool) { tool.close(); });
    EXPECT_EQ(OpenGivingError(root, "Device_Tool", true, &subDevice), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Sub device not able to handle command");
}

TEST_F(FormFixture, AViewThatUnloadsItselfDuringSetUpLeavesItsCodeForTheOpener) {
    Probe::onInitialise = [](Probe& tool) {
        ErrTrap::ErrUnload(&tool, ErrTrap::ErrAPI_Connection & 0xFFF, "Device_Tool.Initialise");
    };
    int32_t number = 0;
    try {
        root.OpenForm("Device_Tool", true, &subDevice);
    } catch (const PluginError& e) {
        number = e.number();
        EXPECT_EQ(ErrTrap::ErrCode(std::current_exception()), ErrTrap::ErrAPI_Connection);
    }
    EXPECT_EQ(number, kErrObjectUnloaded);
    EXPECT_EQ(HCF_Form::LoadedView("Device_Tool"), nullptr);

    // Closing with a code from inside the set-up: never shown, the code raised at once.
    Probe::onInitialise = [](Probe& tool) { tool.BugOut(ErrTrap::ErrSYS_SubDev); };
    EXPECT_EQ(OpenGivingError(root, "Device_Tool", true, &subDevice), 0);  // the root has no view
    HCF_Form mid;
    mid.Initialise(nullptr, &root);
    EXPECT_EQ(OpenGivingError(mid, "Device_Tool", true, &subDevice), 0);
}

TEST_F(FormFixture, PositionsAreKeptInTwipsBetweenOpenings) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QPoint first;
    WhenOpen("Pos_First", [&](Probe& view) {
        first = view.pos();
        view.move(120, 90);
        view.close();
    });
    root.OpenForm("Pos_First", true);
    EXPECT_EQ(first, QPoint((screen.width() - 300) / 2, (screen.height() - 200) / 2));
    EXPECT_EQ(AUF_Registry::LoadInt("Pos_First_PosX", -1), 1800);
    EXPECT_EQ(AUF_Registry::LoadInt("Pos_First_PosY", -1), 1350);

    QPoint second;
    WhenOpen("Pos_First", [&](Probe& view) {
        second = view.pos();
        view.close();
    });
    root.OpenForm("Pos_First", true);
    EXPECT_EQ(second, QPoint(120, 90));
}

TEST_F(FormFixture, AMinimisedViewKeepsItsEarlierPosition) {
    AUF_Registry::SaveValue("Pos_Min_PosX", 600);
    AUF_Registry::SaveValue("Pos_Min_PosY", 450);
    WhenOpen("Pos_Min", [](Probe& view) {
        EXPECT_EQ(view.pos(), QPoint(40, 30));
        view.move(200, 200);
        view.showMinimized();
        view.close();
    });
    root.OpenForm("Pos_Min", true);
    EXPECT_EQ(AUF_Registry::LoadInt("Pos_Min_PosX", -1), 600);
    EXPECT_EQ(AUF_Registry::LoadInt("Pos_Min_PosY", -1), 450);
}

TEST_F(FormFixture, PositionsBeyondSixteenBitsAreKeptAtTheirLimits) {
    WhenOpen("Pos_Range", [](Probe& view) {
        view.move(-50, 3000);  // left of the screen; 45000 twips down
        view.close();
    });
    root.OpenForm("Pos_Range", true);
    EXPECT_EQ(AUF_Registry::LoadInt("Pos_Range_PosX", -1), 0);
    EXPECT_EQ(AUF_Registry::LoadInt("Pos_Range_PosY", -1), 32767);

    // A stored place on no screen opens centred.
    AUF_Registry::SaveValue("Pos_Away_PosX", 30000);
    AUF_Registry::SaveValue("Pos_Away_PosY", 30000);
    QPoint at;
    WhenOpen("Pos_Away", [&](Probe& view) {
        at = view.pos();
        view.close();
    });
    root.OpenForm("Pos_Away", true);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(at, QPoint((screen.width() - 300) / 2, (screen.height() - 200) / 2));
}

TEST_F(FormFixture, NonModalChildHidesItsOpenerUntilItCloses) {
    root.OpenForm("Plain", false);
    Probe* opener = Loaded("Plain");
    ASSERT_NE(opener, nullptr);
    EXPECT_TRUE(opener->isVisible());
    EXPECT_FALSE(opener->isModal());

    opener->Form()->OpenForm("Device_Tool", false, &subDevice);
    Probe* child = Loaded("Device_Tool");
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isVisible());
    EXPECT_FALSE(opener->isVisible());

    // Opening by a loaded name re-shows that view without a new set-up or new data.
    Model other{"RDM_SubDev"};
    opener->Form()->OpenForm("Device_Tool", false, &other);
    EXPECT_EQ(Loaded("Device_Tool"), child);
    EXPECT_EQ(child->initialised, 1);
    EXPECT_EQ(child->Form()->DataObject(), &subDevice);

    child->close();
    EXPECT_TRUE(opener->isVisible());
    EXPECT_EQ(opener->continued, 1);
    opener->close();
}

TEST_F(FormFixture, ClosingResetsTheBusyPointer) {
    WhenOpen("Plain", [](Probe& view) {
        Ui().setBusyPointer(true);
        view.close();
    });
    root.OpenForm("Plain", true);
    EXPECT_FALSE(ui.busyPointer());
}

TEST_F(FormFixture, MisuseIsToldAndRefused) {
    root.OpenForm("No_Such_View", true);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "HCF_Form.Open_Form");
    EXPECT_EQ(ui.messages[0].text, "Form \"No_Such_View\" not found");

    HCF_Form loose;
    loose.Hide();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Object not linked to a form");

    loose.Initialise(nullptr, &root, &subDevice);
    loose.Initialise(nullptr, nullptr, &controller);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].title, "HCF_Form.Initialise");
    EXPECT_EQ(ui.messages[2].text, "Control already assingned");
    EXPECT_EQ(ui.messages[2].icon, MsgIcon::Information);
    EXPECT_EQ(loose.DataObject(), &subDevice);
    EXPECT_EQ(loose.AncestorForm(), &root);
    loose.Hide();  // linked now, with no view: nothing to hide
    EXPECT_EQ(ui.messages.size(), 3u);
}

TEST_F(FormFixture, DataThatIsGoneIsNoData) {
    HCF_Form form;
    auto* gone = new Model("RDM_SubDev");
    form.Initialise(nullptr, nullptr, gone);
    EXPECT_TRUE(form.DataIsSet());
    delete gone;
    EXPECT_FALSE(form.DataIsSet());
    EXPECT_EQ(form.DataClass(), "Not Stated");

    QObject plain;
    plain.setProperty("DataClass", "FDF_Port");
    EXPECT_EQ(DataClassOf(&plain), "FDF_Port");
    EXPECT_EQ(DataClassOf(nullptr), "Not Stated");
}
