#include "BatchRun.h"

#include "HostSession.h"
#include "ModalPilot.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

#include <array>

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

// Input polls run every 200 ms: this leaves room for several.
constexpr int kInputWaitMs = 1200;
// What the line carries during the input check, slot 1 first.
constexpr std::array<uint8_t, 8> kInputLevels = {11, 22, 33, 44, 55, 66, 77, 88};

QByteArray ExpectedOutput() {
    QByteArray levels(24, '\0');
    for (const LevelCase& c : kLevels) {
        if (!c.accepted) continue;
        if (c.slot > levels.size()) levels.resize(c.slot, '\0');
        levels[c.slot - 1] = static_cast<char>(c.level);
    }
    return levels;
}

QString Slots(const QByteArray& levels) {
    QStringList set;
    for (int i = 0; i < levels.size(); ++i) {
        if (levels[i] != 0) set << QString("%1=%2").arg(i + 1).arg(static_cast<uint8_t>(levels[i]));
    }
    return QString("%1 slots, %2").arg(levels.size()).arg(set.isEmpty() ? "all 0" : set.join(' '));
}

}  // namespace

BatchRun::BatchRun(const PluginCatalog& catalog, BatchOptions options, std::FILE* out)
    : catalog_(catalog), options_(std::move(options)), out_(out) {}

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
    const PluginEntry* entry = catalog_.find(options_.pluginName);
    if (entry == nullptr) {
        say("no plugin to run");
        return 2;
    }

    HostSession session(*entry);
    QObject::connect(&session, &HostSession::called,
                     [this](const PluginCall& call) { say("call " + call.describe()); });
    ModalPilot pilot([this](const QString& text) { say("  (person) " + text); });

    // A first start may need the person to connect; output comes first.
    pilot.chooseMode(0);
    QElapsedTimer clock;
    clock.start();
    if (!check(session.start(), "PluginName, Init and Enable")) {
        if (!session.error().isEmpty()) say(session.error());
        return 1;
    }
    say(QString("  started in %1 ms").arg(clock.elapsed()));
    // Whatever mode the plugin was left in, output runs first; the mode goes back at the end.
    configureWithMode(session, pilot, 0);
    const int originalMode = pilot.modeSeen() < 0 ? 0 : pilot.modeSeen();
    if (options_.loopback && !line_.attach()) check(false, "a look at the line: " + line_.error());

    say("output:");
    sendLevels(session);
    checkLine("after SetChannel");
    check(session.configure(), "Configure while output runs");
    checkLine("after Configure");

    say("input:");
    if (configureWithMode(session, pilot, 1)) receiveInput(session);

    // Back to the mode the person had chosen.
    configureWithMode(session, pilot, originalMode);
    check(session.disable(), "Disable");
    check(session.stop(), "Term");

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
    const bool ok =
        check(session.configure(), QString("Configure, mode %1").arg(mode ? "In" : "Out"));
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

void BatchRun::checkLine(const QString& when) {
    if (!options_.loopback || !line_.attached()) return;
    const QByteArray expected = ExpectedOutput();
    // The unit sends what it was given at once; a frame or two is all it may take.
    QByteArray levels;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const auto record = line_.receivedRecord();
        if (record && record->size() >= 2 && static_cast<uint8_t>(record->at(0)) <= 1 &&
            record->at(1) == 0) {
            levels = record->mid(2);
            if (levels == expected) break;
        }
        wait(20);
    }
    say("  the line carries " + Slots(levels));
    check(levels == expected, "the unit sends the levels the host set, " + when);
}

void BatchRun::receiveInput(HostSession& session) {
    HostHelper& helper = session.helper();
    if (options_.loopback && line_.attached()) {
        // The plugin no longer sends: the host puts its own frame on the line.
        QByteArray frame(reinterpret_cast<const char*>(kInputLevels.data()), kInputLevels.size());
        if (!line_.sendFrame(0, frame)) check(false, "a frame on the line: " + line_.error());
    }
    helper.reset();
    wait(kInputWaitMs);
    QByteArray received;
    for (int slot = 1; slot <= helper.highestSlot(); ++slot)
        received.append(static_cast<char>(helper.level(slot)));
    say(QString("  %1 levels received; ").arg(helper.deliveries()) + Slots(received));
    if (options_.loopback && line_.attached()) {
        const QByteArray expected(reinterpret_cast<const char*>(kInputLevels.data()),
                                  kInputLevels.size());
        check(received == expected, "the plugin delivers the levels on the line to the helper");
        line_.stopFrame();
    } else if (options_.expectInput) {
        check(helper.deliveries() > 0, "the plugin delivers received levels to the helper");
    }
    const auto refused = session.plugin()->SetChannel(1, 10);
    check(refused.has_value() && !*refused, "SetChannel refused while in input mode");
}
