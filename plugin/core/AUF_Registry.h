// The plugin's own settings store: named values of three kinds (text, integer
// 0..2147483647, Boolean) under the user's settings for "Norvane Ltd" /
// "Norvane-QEL.out". Names are trimmed, an empty name is "Default", and names that
// differ only in case name the same value.
//
// Failures (a refused type, a file that cannot be written, a value edited by hand into
// something unreadable) are shown at once in a critical message box and never leave
// these functions: saving then writes nothing, loading gives the default, and the
// caller carries on.
#pragma once

#include <QString>
#include <QVariant>

namespace qel::AUF_Registry {

// "Software\Norvane Ltd\Norvane-QEL.out": how the store is named in messages.
QString SettingsKey();

// Writes `value` (a QString, an integer type, or bool); true when it was written.
bool SaveValue(const QString& name, const QVariant& value);

// The stored value in its own kind (QString, int or bool), or `defaultValue` when
// there is none, it is empty, or it cannot be read.
QVariant LoadValue(const QString& name, const QVariant& defaultValue = {});

// The same, converted to the kind the caller keeps. A stored value that does not
// convert (text that is no number, for an integer) is a failure: shown, and the default.
QString LoadText(const QString& name, const QString& defaultValue = {});
int LoadInt(const QString& name, int defaultValue = 0);
bool LoadBool(const QString& name, bool defaultValue = false);

// Where the values live on this machine.
QString FilePath();

namespace detail {
// A failure of the store, with the text the user is shown.
struct Failure {
    QString text;
};
// SettingsKey for any company and title; throws Failure.
QString SettingsKey(const QString& company, const QString& title);
}  // namespace detail

}  // namespace qel::AUF_Registry
