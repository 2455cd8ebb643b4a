// qel-host: a small stand-in for a lighting host. It loads the output plugins of its
// Plugins folder and drives one of them, with a window for a person or, with --batch,
// on its own, printing what happened.
#include "BatchRun.h"
#include "HostOptions.h"
#include "HostSession.h"
#include "HostWindow.h"
#include "PluginCatalog.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// Without a screen, Qt's off-screen display says for every window that it cannot raise
// it; a run without a person has no use for that.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    g_defaultHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const HostOptions options = ParseHostOptions(arguments);
    if (options.help) {
        std::fputs(qPrintable(HostOptions::usage()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "qel-host: %s\n\n%s", qPrintable(options.error),
                     qPrintable(HostOptions::usage()));
        return 2;
    }
    ApplyHostEnvironment(options);

    if (options.batch) g_defaultHandler = qInstallMessageHandler(QuietOffscreen);
    QApplication app(argc, argv);
    QApplication::setApplicationName(HostSession::kHostName);

    const PluginCatalog catalog(options.pluginFolder.isEmpty() ? PluginCatalog::defaultFolder()
                                                               : options.pluginFolder);
    if (options.batch) {
        BatchOptions batch;
        batch.pluginName = options.pluginName;
        batch.loopback = options.loopback;
        batch.expectInput = options.simulate;
        return BatchRun(catalog, batch).run();
    }

    const PluginEntry* entry = catalog.find(options.pluginName);
    if (entry == nullptr) {
        std::fprintf(stderr, "qel-host: no plugin%s in %s\n",
                     options.pluginName.isEmpty() ? "" : qPrintable(" named " + options.pluginName),
                     qPrintable(catalog.folder()));
        for (const QString& skipped : catalog.skipped()) {
            std::fprintf(stderr, "  %s\n", qPrintable(skipped));
        }
        return 1;
    }
    HostSession session(*entry);
    HostWindow window(session);
    window.resize(window.sizeHint().expandedTo(QSize(1100, 760)));
    window.show();
    for (const QString& skipped : catalog.skipped())
        window.note("Skipped " + skipped);
    QTimer::singleShot(0, &window, &HostWindow::startPlugin);
    return app.exec();
}
