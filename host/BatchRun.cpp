#include "BatchRun.h"

#include "HostSession.h"
#include "ModalPilot.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

namespace {

struct LevelCase {
    int slot;
    int level;
    bool accepted;
};

// Inside the frame, growing it, replacing a level, the last slot, and the calls the
// plugin must refuse.
constexpr LevelCase kLevels[] = {
    {1, 255, true},   {2, 128, true},  {3, 64, true},   {24, 10, true},
    {30, 200, true},  {30, 100, true}, {512, 77, true}, {0, 10, false},
    {513, 10, false}, {1, 256, false}, {1, -1, false},
};

// Input polls run every 200 ms; this leaves room for several.
constexpr int kInputWaitMs = 1200;

}  // namespace

BatchRun::BatchRun(const PluginCatalog& catalog, QString pluginName, std::FILE* out)
    : catalog_(catalog), pluginName_(std::move(pluginName)), out_(out) {}

void BatchRun::say(const QString& text) {
    std::fprintf(out_, "%s\n", qPrintable(text));
    std::fflush(out_);
}

bool BatchRun::check(bool ok, const QString& what) {
    ++checks_;
    say(QString(ok ? "  ok: " : "  FAILED: ") + what);
    if (!ok) failures_ << what;
    return ok;
}

void BatchRun::wait(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

int BatchRun::run() {
    say("plugins in " + catalog_.folder() + ":");
    for (const PluginEntry& entry : catalog_.entries()) {
        say("  " + entry.fileName + " (" + entry.title() + ")");
    }
    for (const QString& skipped : catalog_.skipped())
        say("  skipped " + skipped);
    const PluginEntry* entry = catalog_.find(pluginName_);
    if (entry == nullptr) {
        say("no plugin to run");
        return 2;
    }

    HostSession session(*entry);
    QObject::connect(&session, &HostSession::called,
                     [this](const PluginCall& call) { say("call " + call.describe()); });
    ModalPilot pilot([this](const QString& text) { say("  (person) " + text); });

    // A first start may need the person to connect; output mode is what comes first.
    pilot.chooseMode(0);
    QElapsedTimer clock;
    clock.start();
    if (!check(session.start(), "PluginName, Init and Enable")) {
        if (!session.error().isEmpty()) say(session.error());
        return 1;
    }
    say(QString("  started in %1 ms").arg(clock.elapsed()));
    // Whatever mode the plugin was left in, run output first and put it back at the end.
    configureWithMode(session, pilot, 0);
    const int originalMode = pilot.modeSeen() < 0 ? 0 : pilot.modeSeen();

    sendLevels(session);
    checkUnitOutput(session);
    check(session.configure(), "Configure while output runs");
    checkUnitOutput(session);

    receiveInput(session);

    if (originalMode != 0) configureWithMode(session, pilot, originalMode);
    check(session.disable(), "Disable");
    const auto term = session.plugin()->Term();
    check(term.has_value(), "Term");
    session.stop();

    if (!pilot.messages().isEmpty()) {
        say("messages shown to the person:");
        for (const QString& message : pilot.messages())
            say("  " + message);
    }
    say(failures_.isEmpty()
            ? QString("PASSED: %1 checks").arg(checks_)
            : QString("FAILED: %1 of %2 checks").arg(failures_.size()).arg(checks_));
    return failures_.isEmpty() ? 0 : 1;
}

bool BatchRun::configureWithMode(HostSession& session, ModalPilot& pilot, int mode) {
    pilot.chooseMode(mode);
    const bool ok = check(session.configure(), QString("Configure, mode %1").arg(mode));
    pilot.chooseMode(-1);
    return ok;
}

void BatchRun::sendLevels(HostSession& session) {
    for (const LevelCase& c : kLevels) {
        const auto result = session.plugin()->SetChannel(c.slot, c.level);
        check(result.has_value() && *result == c.accepted,
              QString("SetChannel(%1, %2) %3")
                  .arg(c.slot)
                  .arg(c.level)
                  .arg(c.accepted ? "taken" : "refused"));
    }
}

void BatchRun::checkUnitOutput(HostSession&) {}

void BatchRun::receiveInput(HostSession&) {}
