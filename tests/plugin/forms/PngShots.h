// Saves what a widget shows as a PNG beside the test programs (build/test-png/), for a
// person to look at.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QWidget>

inline QString saveShot(QWidget& widget, const QString& name) {
    const QString dir =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../test-png/forms");
    QDir().mkpath(dir);
    const QString path = QDir(dir).absoluteFilePath(name + QStringLiteral(".png"));
    return widget.grab().save(path) ? path : QString();
}
