// Plays the person in front of modal windows: each step runs when a modal window of its
// name (object name, or class name for Qt's own dialogs) is in front. A modal window no
// step expects fails the test and is closed after a while, so that no test hangs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

namespace qel::test {

class ModalScript : public QObject {
    Q_OBJECT

  public:
    ModalScript();
    ~ModalScript() override;

    // Queues a step for the next modal window named `name`.
    ModalScript& when(const QString& name, std::function<void(QWidget*)> step);
    // Steps that have not run yet.
    size_t pending() const { return steps_.size(); }
    // Names of the modal windows met, in order.
    QStringList seen;

  private:
    struct Step {
        QString name;
        std::function<void(QWidget*)> action;
    };
    void look();

    QTimer timer_;
    std::deque<Step> steps_;
    QPointer<QWidget> front_;
    int frontTicks_ = 0;
    bool running_ = false;
};

// A left click in the middle of a widget, as a person makes it.
void ClickOn(QWidget* widget);
// Triggers the menu item of this object name in `window`; fails the test when it is
// missing, hidden or disabled.
void Choose(QWidget* window, const char* actionName);

}  // namespace qel::test
