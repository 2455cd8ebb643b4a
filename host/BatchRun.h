// The host's flow without a person: start the plugin, send levels, check that they reach
// the unit, configure, switch to input and check that levels come back, then stop. Each
// step is printed; the result is the program's exit code.
#pragma once

#include "PluginCatalog.h"

#include <QString>

#include <cstdio>
#include <vector>

class HostSession;
class ModalPilot;

class BatchRun {
  public:
    BatchRun(const PluginCatalog& catalog, QString pluginName, std::FILE* out = stdout);

    // 0 when every check passed, 1 when one failed, 2 when there was no plugin to run.
    int run();

    // What failed, one line each.
    const QStringList& failures() const { return failures_; }

  private:
    void say(const QString& text);
    bool check(bool ok, const QString& what);
    void wait(int ms);
    bool configureWithMode(HostSession& session, ModalPilot& pilot, int mode);
    void sendLevels(HostSession& session);
    void checkUnitOutput(HostSession& session);
    void receiveInput(HostSession& session);

    const PluginCatalog& catalog_;
    QString pluginName_;
    std::FILE* out_;
    QStringList failures_;
    int checks_ = 0;
};
