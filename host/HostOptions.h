// The host program's command line.
#pragma once

#include <QString>
#include <QStringList>

struct HostOptions {
    QString pluginFolder;   // empty: the Plugins folder beside the program
    QString pluginName;     // empty: the first plugin found
    bool simulate = false;  // run on the simulated unit
    QString rig;            // simulated unit's rig; empty: its default
    bool batch = false;     // no person: run the flow, print what happened
    bool loopback = false;  // the unit's output is wired to its input: check both ways
    QString settingsDir;    // empty: the user's own settings
    bool help = false;
    QString error;  // set when the command line is wrong

    static QString usage();
};

// `arguments` without the program name.
HostOptions ParseHostOptions(const QStringList& arguments);

// Puts the options into the environment the plugin and its library read when they load
// (QELIO32_DRIVER, QELIO32_SIM_RIG, XDG_CONFIG_HOME, and an off-screen display for a
// non-interactive run where none is chosen). Must run before the application object.
void ApplyHostEnvironment(const HostOptions& options);
