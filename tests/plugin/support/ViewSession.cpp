#include "support/ViewSession.h"

#include "core/PluginError.h"
#include "forms/HCF_Form.h"
#include "forms/HCF_View.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace qel::test {
namespace {

// Stands for the window that opens the view under test.
class Opener : public HCF_Dialog {
  public:
    explicit Opener(QWidget* parent) : HCF_Dialog(parent) {}
};

const QString kOpener = QStringLiteral("Test_Opener");

}  // namespace

int32_t OpenModal(const QString& name, QObject* data,
                  const std::function<void(QWidget& view)>& step, int limitMs) {
    if (!HCF_Form::IsRegistered(kOpener)) HCF_Form::RegisterView<Opener>(kOpener);
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* view = HCF_Form::LoadedView(name);
        if (!view || !view->isVisible()) return;
        poll.stop();
        if (step) step(*view);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << name.toStdString() << " stayed open";
        for (QWidget* w : QApplication::topLevelWidgets()) {
            // A window that refuses to close while it works is hidden instead.
            if (!w->close()) w->hide();
        }
    });
    watchdog.start(limitMs);
    int32_t raised = 0;
    QTimer openerShown;
    openerShown.setInterval(1);
    QObject::connect(&openerShown, &QTimer::timeout, [&] {
        QWidget* opener = HCF_Form::LoadedView(kOpener);
        if (!opener || !opener->isVisible()) return;
        openerShown.stop();
        poll.start();
        try {
            HCF_Form::FormOf(opener)->OpenForm(name, true, data);
        } catch (const PluginError& e) {
            raised = e.number();
        }
        poll.stop();
        opener->close();
    });
    openerShown.start();
    HCF_Form root;
    root.OpenForm(kOpener, true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return raised;
}

void ExpectShownOnce(const ScriptedUi& ui, const char* title) {
    if (!title) {
        EXPECT_TRUE(ui.messages.empty());
        return;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QString::fromLatin1(title));
}

void TypeInto(QLineEdit* field, const QString& keys) {
    if (!field) return;
    field->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QTest::keyClicks(field, keys);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : field, Qt::Key_Tab);
    QCoreApplication::processEvents();
}

void Pause(int ms) {
    QTest::qWait(ms);
}

QString SaveShot(QWidget& widget, const QString& folder, const QString& name) {
    const QString dir =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../test-png/") + folder;
    QDir().mkpath(dir);
    const QString path = QDir(dir).absoluteFilePath(name + QStringLiteral(".png"));
    return widget.grab().save(path) ? QDir::cleanPath(path) : QString();
}

}  // namespace qel::test
