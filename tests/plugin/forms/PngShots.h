// Saves what a widget shows as a PNG in the build tree, for a person to look at.
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

inline QString saveShot(QWidget& widget, const QString& name) {
    QDir().mkpath(QStringLiteral(QEL_PNG_DIR));
    const QString path = QStringLiteral(QEL_PNG_DIR) + QLatin1Char('/') + name + ".png";
    return widget.grab().save(path) ? path : QString();
}
