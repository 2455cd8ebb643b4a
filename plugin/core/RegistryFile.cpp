#include "core/RegistryFile.h"

#include <QIODevice>

namespace qel::RegistryFile {
namespace {

QString Escape(const QString& text, bool isName) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\')) {
            out += QStringLiteral("\\\\");
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else if (c == QLatin1Char('\r')) {
            out += QStringLiteral("\\r");
        } else if (isName && c == QLatin1Char('=')) {
            out += QStringLiteral("\\=");
        } else {
            out += c;
        }
    }
    // A name must not pass for a comment.
    if (isName && (out.startsWith(QLatin1Char(';')) || out.startsWith(QLatin1Char('#')))) {
        out.prepend(QLatin1Char('\\'));
    }
    return out;
}

// Splits an escaped line at its first unescaped '=' and unescapes both halves.
bool Split(const QString& line, QString& name, QString& value) {
    QString* target = &name;
    bool found = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            const QChar next = line[++i];
            *target += next == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
                       : next == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                                                  : next;
        } else if (c == QLatin1Char('=') && !found) {
            found = true;
            target = &value;
        } else {
            *target += c;
        }
    }
    return found && !name.isEmpty();
}

}  // namespace

bool Read(QIODevice& device, QSettings::SettingsMap& map) {
    const QString text = QString::fromUtf8(device.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        QString name;
        QString value;
        // A line without a name is damage; the values around it still count.
        if (Split(line, name, value)) map.insert(name, value);
    }
    return true;
}

bool Write(QIODevice& device, const QSettings::SettingsMap& map) {
    QString text = QStringLiteral("; one value a line: name=kind:data (sz, dword, binary)\n");
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        text += Escape(it.key(), true) + QLatin1Char('=') + Escape(it.value().toString(), false) +
                QLatin1Char('\n');
    }
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

QSettings::Format Format() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("reg"), Read, Write, Qt::CaseSensitive);
    return format;
}

}  // namespace qel::RegistryFile
