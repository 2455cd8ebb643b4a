#include "support/ModalScript.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace qel::test {
namespace {
constexpr int kTickMs = 10;
constexpr int kPatienceTicks = 300;  // 3 s in front with no step for it
}  // namespace

ModalScript::ModalScript() {
    connect(&timer_, &QTimer::timeout, this, &ModalScript::look);
    timer_.start(kTickMs);
}

ModalScript::~ModalScript() {
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps did not run, the first for "
                                << steps_.front().name.toStdString();
}

ModalScript& ModalScript::when(const QString& name, std::function<void(QWidget*)> step) {
    steps_.push_back({name, std::move(step)});
    return *this;
}

void ModalScript::look() {
    if (running_) return;
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) {
        front_ = nullptr;
        return;
    }
    const QString name = window->objectName().isEmpty()
                             ? QString::fromLatin1(window->metaObject()->className())
                             : window->objectName();
    if (window != front_) {
        front_ = window;
        frontTicks_ = 0;
        seen << name;
    }
    if (!steps_.empty() && steps_.front().name == name) {
        Step step = steps_.front();
        steps_.pop_front();
        frontTicks_ = 0;
        // Outside this timer's slot: the step may open a modal window of its own.
        running_ = true;
        QPointer<QWidget> target(window);
        QTimer::singleShot(0, this, [this, step, target] {
            running_ = false;
            if (target) step.action(target);
        });
        return;
    }
    if (++frontTicks_ > kPatienceTicks) {
        ADD_FAILURE() << "modal window " << name.toStdString() << " was not expected";
        window->close();
        frontTicks_ = 0;
    }
}

void ClickOn(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString();
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void Choose(QWidget* window, const char* actionName) {
    auto* action = window->findChild<QAction*>(actionName);
    ASSERT_NE(action, nullptr) << actionName;
    ASSERT_TRUE(action->isVisible() && action->isEnabled()) << actionName;
    action->trigger();
}

}  // namespace qel::test
