#include "forms/HCF_List.h"
#include "forms/ColorValue.h"
#include "forms/Twips.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QDialog>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using qel::HCF_List;
using qel::MsgIcon;
using qel::test::ScriptedUi;

namespace {

class ListFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(qel::Twips::PerPixel(&view), 15.0) << "these figures are for 96 dots per inch";
        auto* layout = new QVBoxLayout(&view);
        tree = new QTreeWidget(&view);
        tree->setObjectName("List_Devices");
        layout->addWidget(tree);
        list.Initialise(tree, 4);
        list.AddCol("Item", 600);
        list.AddCol("Unique ID", 1800);
        list.AddCol("Description", 2200);
        for (auto signal :
             {&HCF_List::ClickL, &HCF_List::ClickR, &HCF_List::DblClick, &HCF_List::OnChange}) {
            QObject::connect(&list, signal, [this, signal](int32_t key) {
                const char* name = signal == &HCF_List::ClickL     ? "ClickL"
                                   : signal == &HCF_List::ClickR   ? "ClickR"
                                   : signal == &HCF_List::DblClick ? "DblClick"
                                                                   : "OnChange";
                events << QStringLiteral("%1 %2").arg(name).arg(key);
            });
        }
        view.show();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    }
    QStringList keys() const {
        QStringList k;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            k << tree->topLevelItem(i)->text(0);
        return k;
    }
    // As the window system delivers a person's double click.
    void doubleClick(Qt::MouseButton button, QPoint at) {
        QTest::mouseClick(tree->viewport(), button, {}, at);
        QTest::mousePress(tree->viewport(), button, {}, at);
        QTest::mouseDClick(tree->viewport(), button, {}, at);
        QTest::mouseRelease(tree->viewport(), button, {}, at);
    }
    QPoint rowCentre(int32_t key) const {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            if (tree->topLevelItem(i)->text(0) == QString::number(key))
                return tree->visualItemRect(tree->topLevelItem(i)).center();
        return {};
    }
    void fill() {
        for (int32_t key : {3, 1, 2})
            list.AddRow(key, QStringLiteral("UID %1|Dimmer").arg(key), "|", Qt::black);
    }

    ScriptedUi ui;
    QDialog view;
    QTreeWidget* tree = nullptr;
    HCF_List list;
    QStringList events;
};

}  // namespace

TEST_F(ListFixture, RowsStandInKeyOrderAndADuplicateKeyChangesNothing) {
    list.AddRow(5, "five|a", "|", Qt::red);
    list.AddRow(2, "two|b", "|", Qt::blue);
    list.AddRow(9, "nine|c", "|", Qt::green);
    EXPECT_EQ(keys(), (QStringList{"2", "5", "9"}));
    list.AddRow(5, "other|x", "|", Qt::magenta);
    EXPECT_EQ(keys(), (QStringList{"2", "5", "9"}));
    EXPECT_EQ(tree->topLevelItem(1)->text(1), "five");
    EXPECT_EQ(tree->topLevelItem(1)->foreground(2).color(), QColor(Qt::red));
    EXPECT_EQ(tree->topLevelItem(1)->foreground(0).color(), QColor(Qt::red));
    list.DelRow(5);
    list.DelRow(77);
    EXPECT_EQ(keys(), (QStringList{"2", "9"}));
    list.DelAll();
    EXPECT_EQ(list.Rows(), 0);
}

TEST_F(ListFixture, TextIsSplitIntoTheColumnsAfterTheKey) {
    list.AddRow(1, "alpha|beta", "|", Qt::black);
    EXPECT_EQ(tree->topLevelItem(0)->text(1), "alpha");
    EXPECT_EQ(tree->topLevelItem(0)->text(2), "beta");

    list.Terminate();
    QTreeWidget four;
    HCF_List wide;
    wide.Initialise(&four, 3);
    for (const char* caption : {"Key", "A", "B", "C"})
        wide.AddCol(caption, 1000);
    wide.AddRow(1, "alpha|beta", "|", Qt::black);
    EXPECT_EQ(four.topLevelItem(0)->text(2), "beta");
    EXPECT_EQ(four.topLevelItem(0)->text(3), "");
    wide.AddRow(2, "whole text", "", Qt::black);
    EXPECT_EQ(four.topLevelItem(1)->text(1), "whole text");
}

TEST(HCF_List, WidthFollowsTheColumnsAndTheScrollBar) {
    ScriptedUi ui;
    QTreeWidget tree;
    HCF_List list;
    list.Initialise(&tree, 2);
    EXPECT_EQ(list.HeightTwips(), 804);  // (3 x 206 + 20) x 1.26
    list.AddCol("Key", 1000);
    list.AddCol("Text", 2000);
    EXPECT_EQ(list.WidthTwips(), 3782);
    EXPECT_EQ(tree.header()->sectionSize(0), 84);  // 1260 twips
    list.AddRow(1, "a", "|", Qt::black);
    list.AddRow(2, "b", "|", Qt::black);
    EXPECT_EQ(list.WidthTwips(), 3782);
    const int narrow = tree.width();
    list.AddRow(3, "c", "|", Qt::black);
    EXPECT_EQ(list.WidthTwips(), 4030);
    EXPECT_GT(tree.width(), narrow);
    list.DelRow(3);
    EXPECT_EQ(list.WidthTwips(), 3780);
    EXPECT_EQ(tree.width(), narrow);
}

TEST_F(ListFixture, TheVisibleRowsFitWithoutAScrollBar) {
    for (int32_t key = 1; key <= 4; ++key)
        list.AddRow(key, "x|y", "|", Qt::black);
    QCoreApplication::processEvents();
    EXPECT_FALSE(tree->verticalScrollBar()->isVisible());
    list.AddRow(5, "x|y", "|", Qt::black);
    QCoreApplication::processEvents();
    EXPECT_TRUE(tree->verticalScrollBar()->isVisible());
    EXPECT_FALSE(tree->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(qel::test::SaveShot(view, "forms", "list_view").isEmpty());
}

TEST_F(ListFixture, ClicksWithEitherButtonReportTheRow) {
    fill();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(2));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(2));
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, rowCentre(3));
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, rowCentre(3));
    EXPECT_EQ(events, (QStringList{"OnChange 2", "ClickL 2", "ClickL 2", "OnChange 3", "ClickR 3",
                                   "ClickR 3"}));
    EXPECT_EQ(list.Index(), 3);

    events.clear();
    doubleClick(Qt::LeftButton, rowCentre(1));
    EXPECT_EQ(events, (QStringList{"OnChange 1", "ClickL 1", "DblClick 1"}));
    events.clear();
    doubleClick(Qt::RightButton, rowCentre(2));
    EXPECT_EQ(events, (QStringList{"OnChange 2", "ClickR 2", "DblClick 2"}));

    events.clear();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(5, tree->viewport()->height() - 3));
    EXPECT_TRUE(events.isEmpty() || !events.join(' ').contains("OnChange"));
}

TEST_F(ListFixture, ArrowKeysReportOnlyTheChangeOfRow) {
    fill();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(1));
    events.clear();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Down);  // already at the last row
    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_A);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(events, (QStringList{"OnChange 2", "OnChange 3", "OnChange 2"}));
    EXPECT_EQ(list.Index(), 2);
}

TEST_F(ListFixture, DeletingTheSelectedRowClearsIndexSilently) {
    fill();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(2));
    events.clear();
    list.DelRow(2);
    EXPECT_EQ(list.Index(), 0);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(ListFixture, ForeColorPaintsTheSelectedRow) {
    fill();
    list.ForeColor(Qt::red);  // nothing selected: nothing changes
    EXPECT_EQ(tree->topLevelItem(1)->foreground(1).color(), QColor(Qt::black));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rowCentre(2));
    list.ForeColor(QColor(0, 0, 255));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(tree->topLevelItem(1)->foreground(c).color(), QColor(0, 0, 255));
    EXPECT_EQ(tree->topLevelItem(0)->foreground(1).color(), QColor(Qt::black));
}

TEST(HCF_List, MisuseIsToldAndRefused) {
    ScriptedUi ui;
    QTreeWidget tree;
    HCF_List list;
    list.AddCol("Key", 1000);
    list.AddRow(1, "a", "|", Qt::black);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Object not yet initialised");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::None);
    list.Initialise(&tree, 3);
    list.Initialise(&tree, 5);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].text, "Control already assingned");
    EXPECT_EQ(ui.messages[2].icon, MsgIcon::Critical);
    list.Terminate();
    list.AddCol("Key", 1000);
    EXPECT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(tree.columnCount(), 0);
}

TEST(HCF_List, ColoursWrittenAsBgrValues) {
    EXPECT_EQ(qel::ColorFromBgr(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(qel::ColorFromBgr(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(qel::ColorFromBgr(0x00FFFF), QColor(255, 255, 0));
}
