#include "core/QtUiServices.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace qel {
namespace {

using namespace std::chrono_literals;

// Runs `act` on the first modal dialog that appears.
void WhenDialogShows(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start(10);
}

QMessageBox* Box(QWidget* w) {
    return qobject_cast<QMessageBox*>(w);
}

TEST(QtUiServicesTest, MessageBoxShowsTitleTextIconAndButtons) {
    QtUiServices ui;
    QString title;
    QString text;
    QMessageBox::Icon icon{};
    WhenDialogShows([&](QWidget* w) {
        title = Box(w)->windowTitle();
        text = Box(w)->text();
        icon = Box(w)->icon();
        Box(w)->button(QMessageBox::Retry)->click();
    });
    EXPECT_EQ(ui.messageBox(QStringLiteral("Device Discovery"),
                            QStringLiteral("Local device is not responding"), MsgIcon::Question,
                            MsgButtons::RetryCancel),
              MsgAnswer::Retry);
    EXPECT_EQ(title, QStringLiteral("Device Discovery"));
    EXPECT_EQ(text, QStringLiteral("Local device is not responding"));
    EXPECT_EQ(icon, QMessageBox::Question);
}

TEST(QtUiServicesTest, ClosingTheBoxCountsAsCancelOrNo) {
    QtUiServices ui;
    WhenDialogShows([](QWidget* w) { w->close(); });
    EXPECT_EQ(ui.messageBox(QStringLiteral("T"), QStringLiteral("x"), MsgIcon::Question,
                            MsgButtons::RetryCancel),
              MsgAnswer::Cancel);
    WhenDialogShows([](QWidget* w) { w->close(); });
    EXPECT_EQ(ui.messageBox(QStringLiteral("T"), QStringLiteral("x"), MsgIcon::Question,
                            MsgButtons::YesNo),
              MsgAnswer::No);
}

TEST(QtUiServicesTest, EmptyTitleShowsTheApplicationTitle) {
    QtUiServices ui;
    QString title;
    WhenDialogShows([&](QWidget* w) {
        title = w->windowTitle();
        Box(w)->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(ui.messageBox({}, QStringLiteral("x"), MsgIcon::Critical, MsgButtons::Ok),
              MsgAnswer::Ok);
    EXPECT_EQ(title, QStringLiteral("Norvane-QEL.out"));
}

TEST(QtUiServicesTest, InputBoxGivesTheTextOrNothing) {
    QtUiServices ui;
    WhenDialogShows([](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        dialog->setTextValue(QStringLiteral("typed"));
        dialog->accept();
    });
    EXPECT_EQ(ui.inputBox(QStringLiteral("T"), QStringLiteral("Label"), QStringLiteral("old")),
              std::optional<QString>(QStringLiteral("typed")));
    WhenDialogShows([](QWidget* w) { qobject_cast<QInputDialog*>(w)->reject(); });
    EXPECT_EQ(ui.inputBox(QStringLiteral("T"), QStringLiteral("Label"), {}), std::nullopt);
}

TEST(QtUiServicesTest, BusyPointerIsAState) {
    QtUiServices ui;
    ui.setBusyPointer(true);
    ui.setBusyPointer(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.setBusyPointer(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(ui.busyPointer());
}

TEST(QtUiServicesTest, WaitKeepsEventsRunningAndNestsInsideItself) {
    QtUiServices ui;
    bool innerDone = false;
    QTimer::singleShot(5ms, [&] {
        ui.waitProcessingEvents(50ms);  // a second wait inside the first
        innerDone = true;
    });
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    const auto start = std::chrono::steady_clock::now();
    ui.waitProcessingEvents(30ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    EXPECT_TRUE(innerDone);
    EXPECT_GE(ticks, 3);  // other timers kept firing during both waits
}

}  // namespace
}  // namespace qel
