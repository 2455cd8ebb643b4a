// The host's flow without a person: start the plugin, send levels, configure, switch to
// input and receive levels, switch back, stop. Each step is printed; the result is the
// program's exit code. With a unit whose output is wired to its input, the levels are
// checked on the line itself: what the unit sends, and what the plugin receives.
#pragma once

#include "LineMonitor.h"
#include "PluginCatalog.h"

#include <QString>
#include <QStringList>

#include <cstdio>

class HostSession;
class ModalPilot;

struct BatchOptions {
    QString pluginName;
    bool loopback = false;
    // Input is expected without a loopback too (the simulated unit feeds its input).
    bool expectInput = false;
};

class BatchRun {
  public:
    BatchRun(const PluginCatalog& catalog, BatchOptions options, std::FILE* out = stdout);

    // 0 when every check passed, 1 when one failed, 2 when there was no plugin to run.
    int run();

  private:
    void say(const QString& text);
    bool check(bool ok, const QString& what);
    void wait(int ms);
    bool configureWithMode(HostSession& session, ModalPilot& pilot, int mode);
    void sendLevels(HostSession& session);
    void checkLine(const QString& when);
    void receiveInput(HostSession& session);

    const PluginCatalog& catalog_;
    BatchOptions options_;
    std::FILE* out_;
    LineMonitor line_;
    QStringList failures_;
    int checks_ = 0;
};
