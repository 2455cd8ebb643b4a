#include "core/QtUiServices.h"

#include "core/AppInfo.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

namespace qel {
namespace {

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MsgAnswer QtUiServices::messageBox(const QString& title, const QString& text, MsgIcon icon,
                                   MsgButtons buttons) {
    QMessageBox box(ToQt(icon), title.isEmpty() ? AppInfo::kAppTitle : title, text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            break;
        case MsgButtons::RetryCancel:
            box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    // The message must be seen even while the busy pointer is up.
    const bool wasBusy = busy_;
    if (wasBusy) setBusyPointer(false);
    const int answer = box.exec();
    if (wasBusy) setBusyPointer(true);
    switch (answer) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Retry:
            return MsgAnswer::Retry;
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        default:
            break;
    }
    if (buttons == MsgButtons::YesNo) return MsgAnswer::No;
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return MsgAnswer::Cancel;
}

std::optional<QString> QtUiServices::inputBox(const QString& title, const QString& prompt,
                                              const QString& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(),
                                         title.isEmpty() ? AppInfo::kAppTitle : title, prompt,
                                         QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

void QtUiServices::beep() {
    QApplication::beep();
}

void QtUiServices::setBusyPointer(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void QtUiServices::waitProcessingEvents(std::chrono::milliseconds duration) {
    if (duration.count() <= 0 || QCoreApplication::instance() == nullptr) return;
    // A nested loop sleeps until the timer or an event arrives. A command started from
    // an event inside this loop may run its own wait; this one returns after it.
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace qel
