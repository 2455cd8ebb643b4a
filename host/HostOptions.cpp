#include "HostOptions.h"

#include <QDir>

#include <cstdlib>

QString HostOptions::usage() {
    return QStringLiteral(
        "Usage: qel-host [options] [plugin-folder]\n"
        "Loads the output plugins of plugin-folder (default: Plugins beside the program)\n"
        "and drives the first one, or the one named with --plugin.\n"
        "\n"
        "  --simulate        run on the simulated unit instead of real units\n"
        "  --rig NAME        the simulated unit's rig (implies --simulate)\n"
        "  --batch           no window: run the host's calls, print what happened, and\n"
        "                    exit with 0 when everything behaved\n"
        "  --loopback        the unit's output is wired back to its input (a cable, or\n"
        "                    the simulated rig \"loopback\", which it selects when no rig\n"
        "                    is given): --batch then checks the levels on the line\n"
        "  --plugin NAME     the plugin to drive (file name or product name)\n"
        "  --settings DIR    keep settings under DIR instead of the user's own\n"
        "  --help            this text\n");
}

HostOptions ParseHostOptions(const QStringList& arguments) {
    HostOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto value = [&](QString* target) {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith("--")) {
                options.error = arg + " needs a value";
                return;
            }
            *target = arguments[++i];
        };
        if (arg == "--simulate") {
            options.simulate = true;
        } else if (arg == "--rig") {
            value(&options.rig);
            options.simulate = true;
        } else if (arg == "--batch") {
            options.batch = true;
        } else if (arg == "--loopback") {
            options.loopback = true;
        } else if (arg == "--plugin") {
            value(&options.pluginName);
        } else if (arg == "--settings") {
            value(&options.settingsDir);
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg.startsWith('-')) {
            options.error = "unknown option " + arg;
        } else if (options.pluginFolder.isEmpty()) {
            options.pluginFolder = arg;
        } else {
            options.error = "more than one plugin folder given: " + arg;
        }
        if (!options.error.isEmpty()) break;
    }
    return options;
}

void ApplyHostEnvironment(const HostOptions& options) {
    if (options.simulate) {
        setenv("QELIO32_DRIVER", "sim", 1);
        const QString rig = options.rig.isEmpty() && options.loopback ? "loopback" : options.rig;
        if (!rig.isEmpty()) setenv("QELIO32_SIM_RIG", rig.toLocal8Bit(), 1);
    }
    if (!options.settingsDir.isEmpty()) {
        QDir().mkpath(options.settingsDir);
        setenv("XDG_CONFIG_HOME", QDir(options.settingsDir).absolutePath().toLocal8Bit(), 1);
    }
    // A run without a person shows nothing, also where a display is at hand.
    if (options.batch && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}
