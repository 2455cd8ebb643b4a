#include "ModalPilot.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWidget>

namespace {

constexpr int kLookIntervalMs = 20;

QString StatusText(QWidget* window) {
    if (auto* bar = window->findChild<QStatusBar*>()) {
        if (!bar->currentMessage().isEmpty()) return bar->currentMessage();
        // A status bar with a permanent panel shows its text in a label.
        const auto labels = bar->findChildren<QWidget*>();
        for (QWidget* child : labels) {
            const QVariant text = child->property("text");
            if (text.isValid() && !text.toString().isEmpty()) return text.toString();
        }
    }
    return {};
}

QAction* Action(QWidget* window, const char* name) {
    auto* action = window->findChild<QAction*>(name);
    return action != nullptr && action->isVisible() && action->isEnabled() ? action : nullptr;
}

void Click(QWidget* target) {
    const QPointF centre = QRectF(target->rect()).center();
    const QPointF global = target->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace

ModalPilot::ModalPilot(Report report, QObject* parent) : QObject(parent), report_(report) {
    connect(&timer_, &QTimer::timeout, this, &ModalPilot::look);
    timer_.start(kLookIntervalMs);
}

// Every action is queued rather than run from the timer: an action may open another
// modal window, whose event loop must not run inside this timer's slot.
void ModalPilot::later(std::function<void()> action) {
    busy_ = true;
    QTimer::singleShot(0, this, [this, action] {
        busy_ = false;
        action();
    });
}

void ModalPilot::look() {
    if (busy_) return;
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) return;
    if (!steps_.contains(window)) {
        steps_.insert(window, 0);
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, this, [this](QObject* gone) { steps_.remove(gone); });
        if (qobject_cast<QMessageBox*>(window) == nullptr) {
            report_("window " + window->objectName() + " opened");
        }
    }
    step_ = steps_.value(window);
    act(window);
    if (steps_.contains(window)) steps_[window] = step_;
}

// A window that closes starts afresh when it opens again.
bool ModalPilot::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide) {
        steps_.remove(watched);
        watched->removeEventFilter(this);
    }
    return false;
}

void ModalPilot::act(QWidget* window) {
    if (qobject_cast<QMessageBox*>(window) != nullptr) {
        answerMessage(window);
    } else if (window->objectName() == QLatin1String("User_Main")) {
        driveMain(window);
    } else if (window->objectName() == QLatin1String("Config_Port")) {
        drivePort(window);
    } else {
        report_("closing " + window->objectName());
        QPointer<QWidget> target(window);
        later([target] {
            if (target) target->close();
        });
    }
}

void ModalPilot::answerMessage(QWidget* widget) {
    auto* box = static_cast<QMessageBox*>(widget);
    QString text = box->windowTitle() + ": " + box->text();
    text.replace('\n', ' ');
    messages_ << text;
    QAbstractButton* answer = box->escapeButton();
    if (answer == nullptr && !box->buttons().isEmpty()) answer = box->buttons().constLast();
    report_("message \"" + text + "\", answered " +
            (answer ? answer->text().remove('&') : QString("by closing")));
    QPointer<QMessageBox> target(box);
    QPointer<QAbstractButton> button(answer);
    later([target, button] {
        if (button) {
            button->click();
        } else if (target) {
            target->reject();
        }
    });
}

void ModalPilot::driveMain(QWidget* main) {
    if (modeSeen_ < 0) {
        for (int mode = 0; mode < 2; ++mode) {
            auto* option = main->findChild<QAbstractButton*>(QString("Option_Mode%1").arg(mode));
            if (option != nullptr && option->isChecked()) modeSeen_ = mode;
        }
    }
    const QString status = StatusText(main);
    QPointer<QWidget> target(main);
    if (step_ == 0 && status != QLatin1String("Connected")) {
        if (QAction* connectAction = Action(main, "Menu_Connect")) {
            step_ = 1;
            report_("User_Main shows \"" + status + "\": Connection / Connect");
            QPointer<QAction> action(connectAction);
            later([action] {
                if (action) action->trigger();
            });
            return;
        }
    }
    if (step_ <= 1 && modeWish_ >= 0) {
        step_ = 2;
        const QString name = QString("Option_Mode%1").arg(modeWish_);
        if (auto* option = main->findChild<QAbstractButton*>(name)) {
            report_("User_Main: mode \"" + option->text() + "\"");
            QPointer<QAbstractButton> button(option);
            later([button] {
                if (button) button->click();
            });
        } else {
            report_("User_Main has no " + name);
        }
        modeWish_ = -1;
        return;
    }
    report_("User_Main shows \"" + status + "\": closing it");
    step_ = 3;
    later([target] {
        if (target) target->close();
    });
}

void ModalPilot::drivePort(QWidget* port) {
    QPointer<QWidget> target(port);
    if (step_ == 0) {
        step_ = 1;
        auto* ports = port->findChild<QComboBox*>("Combo_Port");
        QWidget* plug = port->findChild<QWidget*>("Image_Disconnected");
        if (ports == nullptr || ports->count() == 0 || plug == nullptr) {
            report_("Config_Port lists no port");
        } else {
            report_("Config_Port: port \"" + ports->itemText(0) + "\", plug");
            QPointer<QComboBox> list(ports);
            QPointer<QWidget> image(plug);
            later([list, image] {
                if (list) {
                    list->setCurrentIndex(0);
                    emit list->activated(0);
                }
                if (image && image->isVisible() && image->isEnabled()) Click(image);
            });
            return;
        }
    }
    report_("closing Config_Port");
    later([target] {
        if (target) target->close();
    });
}
