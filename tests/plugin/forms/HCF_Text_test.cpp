#include "forms/HCF_Text.h"
#include "forms/SpyValues.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using qel::HCF_Text;
using qel::MsgIcon;
using qel::test::ScriptedUi;

namespace {

// A view with two fields: the masked one first, a plain one to move on to.
class FieldFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        view.setObjectName("Test_View");
        auto* layout = new QVBoxLayout(&view);
        box = new QLineEdit(&view);
        box->setObjectName("Text_Address");
        other = new QLineEdit(&view);
        other->setObjectName("Text_Other");
        layout->addWidget(box);
        layout->addWidget(other);
        field.Assign(box);
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        other->setFocus();
    }

    void enter() {
        box->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void leave() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
    QStringList finished() const { return FirstArguments<QString>(updates); }

    ScriptedUi ui;
    QDialog view;
    QLineEdit* box = nullptr;
    QLineEdit* other = nullptr;
    HCF_Text field;
    QSignalSpy updates{&field, &HCF_Text::AfterUpdate};
    QSignalSpy states{&field, &HCF_Text::StateChange};
};

}  // namespace

TEST_F(FieldFixture, TypingIntoMaskedFieldsAsAPersonDoes) {
    struct Case {
        const char* mask;
        const char* before;
        const char* keys;
        const char* shown;     // while the focus is still in the field
        const char* finished;  // nullptr: no AfterUpdate
        int beeps;
    };
    const Case cases[] = {
        {"099;1", "5", "7", "7  ", "7", 0},
        {"099;1", "5", "1 3", "1 3", "13", 0},
        {"00", "", "12", "12", "12", 0},
        {"00", "42", "x", "  ", nullptr, 1},
        {">LL", "", "ab", "AB", "AB", 0},
        {"<LL", "", "AB", "ab", "ab", 0},
        {"00/-00;1", "", "1234", "12-34", "12-34", 0},
        {"HH", "", "bg7", "B7", "B7", 1},
        {"0999", "", "12a", "12  ", "12", 1},
        {"(000);0;_", "", "123", "(123)", "123", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mask << " typing " << c.keys);
        updates.clear();
        ui.beeps = 0;
        field.Mask(c.mask);
        field.Text(c.before);
        enter();
        QTest::keyClicks(box, c.keys);
        EXPECT_EQ(box->text().toStdString(), c.shown);
        EXPECT_EQ(ui.beeps, c.beeps);
        leave();
        if (c.finished) {
            EXPECT_EQ(finished(), QStringList{c.finished});
            EXPECT_EQ(field.Text().toStdString(), c.finished);
        } else {
            EXPECT_TRUE(updates.isEmpty());
            EXPECT_EQ(box->text().toStdString(), c.before);  // nothing typed: old text back
        }
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(FieldFixture, FocusOnAValueSelectsItAndTheFirstKeyStartsAfresh) {
    field.Mask("099;1");
    field.Text("5");
    EXPECT_EQ(box->text(), "5");
    enter();
    EXPECT_EQ(box->selectedText(), "5");
    QTest::keyClicks(box, "1");
    EXPECT_EQ(box->text(), "1  ");
    EXPECT_EQ(box->selectionStart(), 1);  // one character highlighted, the second
    EXPECT_EQ(box->selectedText(), " ");
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_EQ(box->selectionStart(), 0);
    EXPECT_EQ(box->selectedText(), "1");
}

TEST_F(FieldFixture, ARequiredPositionLeftEmptyKeepsTheFocusInTheField) {
    field.Mask("00");
    field.Text("42");
    enter();
    QTest::keyClicks(box, "1");
    leave();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Data not appropriate for Input Mask");
    EXPECT_EQ(ui.messages[0].title, "");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::None);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_TRUE(updates.isEmpty());
    QTest::keyClicks(box, "7");  // the entry goes on where it stopped
    EXPECT_EQ(box->text(), "17");
    leave();
    EXPECT_EQ(finished(), QStringList{"17"});
    EXPECT_TRUE(other->hasFocus());
}

TEST_F(FieldFixture, EscapeRestoresAndBeepsWhenThereIsNothingToUndo) {
    field.Mask("099;1");
    field.Text("42");
    enter();
    QTest::keyClicks(box, "7");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text(), "42");
    EXPECT_EQ(ui.beeps, 0);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(view.isVisible());  // Escape in the field does not close the view
    leave();
    EXPECT_TRUE(updates.isEmpty());
}

TEST_F(FieldFixture, BackspaceDeleteAndArrowsWorkOnOneCharacter) {
    field.Mask("0000");
    enter();
    QTest::keyClicks(box, "123");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "12  ");
    EXPECT_EQ(box->selectionStart(), 2);
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), " 2  ");
    EXPECT_EQ(box->selectionStart(), 0);
    QTest::keyClicks(box, "9");
    QTest::keyClick(box, Qt::Key_Right);
    QTest::keyClicks(box, "887");
    EXPECT_EQ(box->text(), "9288");  // the 7 had no position left
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(FieldFixture, StateChangeFollowsTheFilledPositions) {
    field.Mask("00/-00;1");
    enter();
    QTest::keyClicks(box, "123");
    EXPECT_TRUE(states.isEmpty());
    QTest::keyClicks(box, "4");
    ASSERT_EQ(states.size(), 1);
    EXPECT_TRUE(states.at(0).at(0).toBool());
    QTest::keyClick(box, Qt::Key_Backspace);
    ASSERT_EQ(states.size(), 2);
    EXPECT_FALSE(states.at(1).at(0).toBool());
    EXPECT_FALSE(field.Complete());
}

TEST_F(FieldFixture, NothingReachesTheTextExceptThroughTheMask) {
    field.Mask("0000");
    field.Text("12");
    QApplication::clipboard()->setText("abcd");
    enter();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "12");
    QTest::mouseClick(box, Qt::MiddleButton);
    EXPECT_EQ(box->text(), "12");
    EXPECT_EQ(box->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST_F(FieldFixture, AClickPutsTheHighlightWhereTheMouseIs) {
    field.Mask("(000)");
    enter();
    QTest::keyClicks(box, "1");
    // A point over the third character (index 2).
    QPoint third;
    for (int x = 0; x < box->width(); ++x) {
        if (box->cursorPositionAt(QPoint(x, box->height() / 2)) == 2) {
            third = QPoint(x + 1, box->height() / 2);
            break;
        }
    }
    ASSERT_FALSE(third.isNull());
    QTest::keyClick(box, Qt::Key_Home);  // the highlight goes back to the first digit
    QTest::mouseClick(box, Qt::LeftButton, {}, third);
    QTest::keyClicks(box, "5");
    EXPECT_EQ(box->text().left(3), "(15");
    EXPECT_EQ(box->selectedText().size(), 1);
}

TEST_F(FieldFixture, AnotherWindowTakingTheFocusDoesNotFinishTheEntry) {
    field.Mask("00");
    enter();
    QTest::keyClicks(box, "1");
    QDialog elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_TRUE(ui.messages.empty());
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::keyClicks(box, "2");
    EXPECT_EQ(box->text(), "12");
}

TEST_F(FieldFixture, ScreenShotOfAFieldBeingTyped) {
    field.Mask("00/-00;1;_");
    enter();
    QTest::keyClicks(box, "12");
    EXPECT_EQ(box->text(), "12-__");
    EXPECT_FALSE(qel::test::SaveShot(view, "forms", "masked_field").isEmpty());
}

TEST(HCF_Text, OnlyLineEditsAreTaken) {
    ScriptedUi ui;
    QComboBox combo;
    HCF_Text field;
    field.Assign(&combo);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "InputFilter Class");
    EXPECT_EQ(ui.messages[0].text, "Type \"QComboBox\" not handled");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(field.TextBox(), nullptr);
    field.Assign(nullptr);
    EXPECT_EQ(ui.messages.back().text, "Type \"Nothing\" not handled");
}

TEST(HCF_Text, ABadSecondFieldLeavesThePreviousMask) {
    ScriptedUi ui;
    QLineEdit box;
    HCF_Text field;
    field.Assign(&box);
    field.Mask("099;1");
    field.Mask("00;x");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Input mask Value \"x\" not valid for field 2");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::None);
    field.Text("1234");
    EXPECT_EQ(box.text(), "123");  // still three positions
}

TEST(HCF_Text, NameDropsTheTextPrefix) {
    struct Case {
        const char* objectName;
        const char* name;
    };
    const Case cases[] = {{"Text_Hours", "Hours"},
                          {"Text_", "Text_"},
                          {"Hours", "Hours"},
                          {"Text_X", "X"},
                          {"MyText_Hours", "MyText_Hours"}};
    ScriptedUi ui;
    for (const Case& c : cases) {
        QLineEdit box;
        box.setObjectName(c.objectName);
        HCF_Text field;
        field.Assign(&box);
        EXPECT_EQ(field.Name().toStdString(), c.name);
    }
}

TEST(HCF_Text, RevertShowsTheTextFromBeforeTheEntry) {
    ScriptedUi ui;
    QLineEdit box;
    HCF_Text field;
    field.Assign(&box);
    field.Mask("0999");
    field.Text("25");
    QSignalSpy states(&field, &HCF_Text::StateChange);
    field.Revert();  // no entry yet: the saved text is empty
    EXPECT_EQ(box.text(), "");
    field.Text("1234");
    EXPECT_EQ(states.size(), 1);
    EXPECT_EQ(field.Text(), "1234");
}
