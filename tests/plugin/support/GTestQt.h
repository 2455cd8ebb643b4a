// Readable test failures for Qt values.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '[' << b.toHex(' ').toStdString() << ']';
}
inline void PrintTo(const QVariant& v, std::ostream* os) {
    *os << v.typeName() << '(' << v.toString().toStdString() << ')';
}
