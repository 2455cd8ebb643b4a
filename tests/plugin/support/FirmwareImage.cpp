#include "support/FirmwareImage.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace qel::test {

QString MakeFirmwareImage(const QString& path, const QStringList& options) {
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/qel-sim"),
               QStringList{QStringLiteral("make-image")} + options + QStringList{path});
    const bool made = tool.waitForFinished(20000) && tool.exitCode() == 0;
    if (!made)
        ADD_FAILURE() << "qel-sim make-image failed: " << tool.readAllStandardError().toStdString();
    return path;
}

}  // namespace qel::test
