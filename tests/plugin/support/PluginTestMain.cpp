// main() of every plugin test program: an offscreen QApplication, and every settings
// store in a temporary folder, so that no test reads or writes the user's own.
#include "core/RegistryFile.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir config;
    if (!config.isValid()) return 2;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    for (QSettings::Format format :
         {QSettings::NativeFormat, QSettings::IniFormat, qel::RegistryFile::Format()}) {
        QSettings::setPath(format, QSettings::UserScope, config.path());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
