// The About window as a person sees it: the texts, the link, and a click that closes it.
#include "core/Help_About.h"
#include "core/Client.h"
#include "core/ErrTrap.h"
#include "core/WebPages.h"
#include "forms/HCF_Form.h"
#include "support/GTestQt.h"
#include "support/OpenedLinks.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QFrame>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace qel {
namespace {

using test::Find;
using test::OpenModal;

class HelpAboutTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { HCF_Form::RegisterView<Help_About>(Help_About::kName); }

    QString Info(QWidget& view, int i) {
        return Find<QLabel>(view, QStringLiteral("LabelInfo_") + QString::number(i))->text();
    }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
    test::OpenedLinks links;
};

TEST_F(HelpAboutTest, ShowsTheVersions) {
    library.version = QStringLiteral("2.07 (sim)");
    bool looked = false;
    OpenModal("Help_About", nullptr, [&](QWidget& view) {
        looked = true;
        EXPECT_EQ(view.windowTitle(), QStringLiteral("  Norvane Plugin for DMXControl"));
        EXPECT_EQ(Info(view, 0), QStringLiteral("About Norvane-QEL.out"));
        EXPECT_EQ(Info(view, 1), QStringLiteral("DMX-QEL Plugin"));
        EXPECT_EQ(Info(view, 2), QStringLiteral("SW Revision: 1.0.71"));
        EXPECT_EQ(Info(view, 3), QStringLiteral("API Version: 2.07 (sim)"));
        EXPECT_EQ(Info(view, 4).count('\n'), 1);
        EXPECT_FALSE(Find<QLabel>(view, "Image_Logo")->pixmap().isNull());
        test::SaveShot(view, "core", "Help_About");
        view.close();
    });
    EXPECT_TRUE(looked);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HelpAboutTest, AClickClosesItButTheLinkOpensTheHomePage) {
    for (const char* target : {"Image_Logo", "Frame_Logo", "LabelInfo_0", "LabelInfo_3", ""}) {
        SCOPED_TRACE(target);
        bool closed = false;
        OpenModal("Help_About", nullptr, [&](QWidget& view) {
            auto* link = Find<QLabel>(view, "Label_WebLink");
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
            EXPECT_NE(HCF_Form::LoadedView("Help_About"), nullptr) << "the link closed it";
            QWidget* where = *target ? Find<QWidget>(view, target) : &view;
            QTest::mouseClick(where, Qt::LeftButton, {}, QPoint(2, 2));
            closed = HCF_Form::LoadedView("Help_About") == nullptr;
        });
        EXPECT_TRUE(closed);
    }
    EXPECT_EQ(links.opened.size(), 5);
    for (const QString& page : links.opened)
        EXPECT_EQ(page, WebPages::Home());
}

TEST_F(HelpAboutTest, ALibraryThatRefusesIsReported) {
    library.versionResult = -100;
    library.lastError = QStringLiteral("DRIVER.NOT_LOADED");
    const int32_t raised = OpenModal("Help_About", nullptr, [](QWidget& view) {
        ADD_FAILURE() << "opened without the library's version";
        view.close();
    });
    EXPECT_EQ(raised, ErrTrap::ErrAPI_Unexpected);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Help_About.Form_Load"));
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("DRIVER.NOT_LOADED")))
        << ui.messages[0].text.toStdString();
}

}  // namespace
}  // namespace qel
