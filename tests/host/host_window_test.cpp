// The host's window as a person uses it: faders, any slot, Enable / Disable, and the
// input levels that come back.
#include "FakePlugin.h"
#include "HostSession.h"
#include "HostWindow.h"
#include "LevelGrid.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HostWindowTest : public ::testing::Test {
  protected:
    HostWindowTest()
        : session({"/nowhere/Fake.so", "Fake.so", {}}, &fake, nullptr), window(session) {
        window.resize(1100, 760);
        window.show();
        window.startPlugin();
    }

    template <typename T>
    T* find(const char* name) {
        T* widget = window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    FakePlugin fake;
    HostSession session;
    HostWindow window;
};

TEST_F(HostWindowTest, FadersAndAnySlotSendLevels) {
    auto* fader = window.findChild<QWidget*>("fader3");
    ASSERT_NE(fader, nullptr);
    auto* slider = fader->findChild<QSlider*>("level");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(fake.calls.last(), "SetChannel 3 16");
    EXPECT_EQ(fader->findChild<QLabel*>("value")->text(), "16");

    // The fader moved to another slot shows that slot's level and drives it.
    auto* slot = fader->findChild<QSpinBox*>("slot");
    slot->selectAll();
    QTest::keyClicks(slot, "40");
    EXPECT_EQ(slider->value(), 0);
    QTest::keyClick(slider, Qt::Key_Up);
    EXPECT_EQ(fake.calls.last(), "SetChannel 40 1");

    auto* anySlot = find<QSpinBox>("anySlot");
    auto* anyLevel = find<QSpinBox>("anyLevel");
    anySlot->selectAll();
    QTest::keyClicks(anySlot, "300");
    anyLevel->selectAll();
    QTest::keyClicks(anyLevel, "99");
    QTest::mouseClick(find<QPushButton>("setAnyButton"), Qt::LeftButton);
    EXPECT_EQ(fake.calls.last(), "SetChannel 300 99");
    EXPECT_TRUE(
        find<QPlainTextEdit>("callLog")->toPlainText().contains("SetChannel(300, 99) -> true"));
}

TEST_F(HostWindowTest, EnableAndDisableFollowThePlugin) {
    auto* enable = find<QPushButton>("enableButton");
    auto* disable = find<QPushButton>("disableButton");
    EXPECT_FALSE(enable->isEnabled());
    EXPECT_TRUE(disable->isEnabled());
    QTest::mouseClick(disable, Qt::LeftButton);
    EXPECT_EQ(fake.calls.last(), "Disable");
    EXPECT_TRUE(enable->isEnabled());
    EXPECT_FALSE(disable->isEnabled());
    EXPECT_TRUE(find<QLabel>("hostState")->text().endsWith(": disabled"));

    fake.failing = "Enable";
    QTest::mouseClick(enable, Qt::LeftButton);
    EXPECT_TRUE(enable->isEnabled());  // still disabled: the plugin refused
    EXPECT_TRUE(find<QPlainTextEdit>("callLog")->toPlainText().contains("Enable() failed (4355)"));

    QTest::mouseClick(find<QPushButton>("configureButton"), Qt::LeftButton);
    EXPECT_EQ(fake.calls.last(), "Configure");
}

TEST_F(HostWindowTest, ClosingWhileThePluginShowsAWindowWaitsForIt) {
    bool closed = true;
    fake.duringConfigure = [&] { closed = window.close(); };
    QTest::mouseClick(find<QPushButton>("configureButton"), Qt::LeftButton);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(fake.calls.contains("Term"));
    EXPECT_TRUE(find<QPlainTextEdit>("callLog")->toPlainText().contains("close its window first"));
    EXPECT_TRUE(window.close());
    EXPECT_EQ(fake.calls.last(), "Term");
}

TEST_F(HostWindowTest, ShowsTheInputLevelsTheHelperReceives) {
    ASSERT_NE(fake.helper, nullptr);
    for (int slot = 1; slot <= 512; ++slot) {
        QMetaObject::invokeMethod(fake.helper, "DMXC_DMXIn_SetChannel", Q_ARG(int, slot),
                                  Q_ARG(int, (slot * 7) % 256));
    }
    auto* grid = find<LevelGrid>("inputLevels");
    QTRY_COMPARE(grid->level(2), 14);
    EXPECT_EQ(grid->level(512), (512 * 7) % 256);
    EXPECT_EQ(find<QLabel>("inputSummary")->text(), "512 levels received, highest slot 512");
    // What a person points at.
    const QRect cell(0, 0, grid->width() / LevelGrid::kColumns, grid->height() / 16);
    EXPECT_EQ(grid->slotAt(cell.center() + QPoint(cell.width(), 0)), 2);
    EXPECT_EQ(grid->slotAt(QPoint(grid->width() - 2, grid->height() - 2)), 512);

    const char* out = std::getenv("QEL_PNG_DIR");
    window.grab().save(QString(out ? out : ".") + "/host_window.png");
}

}  // namespace
