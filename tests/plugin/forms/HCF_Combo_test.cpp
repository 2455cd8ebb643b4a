#include "forms/HCF_Combo.h"
#include "core/PluginError.h"
#include "forms/SpyValues.h"
#include "support/ScriptedUi.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using qel::HCF_Combo;
using qel::MsgIcon;
using qel::PluginError;
using qel::test::ScriptedUi;

namespace {

class ComboFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&view);
        box = new QComboBox(&view);
        box->setObjectName("ComboSensor");
        next = new QLineEdit(&view);
        layout->addWidget(box);
        layout->addWidget(next);
        list.Initialise(box);
        list.AddItem(5, "Five");
        list.AddItem(9, "Nine");
        list.AddItem(12, "Twelve");
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    }
    QList<int> changes() const { return FirstArguments<int>(spy); }

    ScriptedUi ui;
    QDialog view;
    QComboBox* box = nullptr;
    QLineEdit* next = nullptr;
    HCF_Combo list;
    QSignalSpy spy{&list, &HCF_Combo::Change};
};

}  // namespace

TEST_F(ComboFixture, ReadAndSetByValue) {
    EXPECT_EQ(list.Items(), 3);
    EXPECT_TRUE(list.HasItem(9));
    EXPECT_FALSE(list.HasItem(7));
    list.Value(9);
    EXPECT_EQ(list.Value(), 9);
    EXPECT_EQ(list.Text(), "Nine");
    EXPECT_EQ(changes(), QList<int>{9});

    next->setFocus();
    box->setFocus();  // the entry at focus time is the one to go back to
    list.Value(5);
    EXPECT_EQ(box->currentText(), "Five");
    EXPECT_EQ(changes(), (QList<int>{9, 5}));
    list.Revert();
    EXPECT_EQ(list.Value(), 9);
    EXPECT_EQ(changes(), (QList<int>{9, 5}));  // no Change for the revert
}

TEST_F(ComboFixture, AValueNoEntryCarriesIsToldThenRaisedAsError9) {
    list.Value(12);
    spy.clear();
    try {
        list.Value(7);
        FAIL() << "no error raised";
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_EQ(e.source(), "HCF_Combo.Value (Let)");
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "HCF_Combo.Value (Let)");
    EXPECT_EQ(ui.messages[0].text, "Index value 7 not found in list");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(list.Value(), 12);
    EXPECT_TRUE(spy.isEmpty());
}

TEST_F(ComboFixture, PickingAnEntryWithTheMouseReportsItsValue) {
    QTest::mouseClick(box, Qt::LeftButton);
    QAbstractItemView* popup = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup->window()));
    // The list ignores a release that comes as quickly as the end of the opening click.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QRect row = popup->visualRect(box->model()->index(2, 0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(list.Value(), 12);
    EXPECT_EQ(changes(), QList<int>{12});
}

TEST_F(ComboFixture, KeysStepEscapeRevertsEnterMovesOn) {
    list.Value(5);
    spy.clear();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Right);
    EXPECT_EQ(changes(), (QList<int>{9, 12}));
    QTest::keyClick(box, Qt::Key_Down);  // already at the end
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_EQ(changes(), (QList<int>{9, 12, 9}));
    QTest::keyClicks(box, "t ");  // no typing-ahead
    EXPECT_EQ(list.Value(), 9);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(list.Value(), 5);
    EXPECT_EQ(changes(), (QList<int>{9, 12, 9}));
    EXPECT_TRUE(view.isVisible());  // Escape went to the list, not to the view
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(list.Value(), 5);

    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.result(), 0);
}

TEST_F(ComboFixture, AnEntryWithoutTextReportsNoChange) {
    list.AddItem(3, "");
    list.Value(3);
    EXPECT_EQ(list.Value(), 3);
    EXPECT_TRUE(spy.isEmpty());
}

// A view's children go in the order they were made, so the list may go first, with the
// focus on it: its last events come from its destructor and must be left alone (the
// sanitizer build catches any use of the half-destroyed list).
TEST_F(ComboFixture, AListDestroyedFirstIsLetGo) {
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }));
    delete box;
    EXPECT_EQ(list.LinkBox(), nullptr);
    EXPECT_EQ(list.Value(), 0);
    EXPECT_EQ(list.Items(), 0);
    EXPECT_TRUE(changes().isEmpty());
}

TEST(HCF_Combo, AttachingTwiceIsRefusedAndANullListIgnored) {
    ScriptedUi ui;
    QComboBox first;
    QComboBox second;
    HCF_Combo list;
    list.Initialise(nullptr);
    EXPECT_EQ(list.LinkBox(), nullptr);
    EXPECT_TRUE(ui.messages.empty());
    list.Initialise(&first);
    list.Initialise(&second);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "HCF_Combo.Initialise");
    EXPECT_EQ(ui.messages[0].text, "Instance may not be re-assigned");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(list.LinkBox(), &first);
    list.AddItem(1, "One");
    EXPECT_EQ(first.count(), 1);
    EXPECT_EQ(second.count(), 0);
}

TEST(HCF_Combo, AnUnattachedListHasNothing) {
    ScriptedUi ui;
    HCF_Combo list;
    EXPECT_EQ(list.Items(), 0);
    EXPECT_EQ(list.Value(), 0);
    EXPECT_EQ(list.Text(), "");
    EXPECT_THROW(list.Value(1), PluginError);
    list.AddItem(1, "One");
    EXPECT_EQ(ui.messages.back().text, "Object not yet initialised");
}
