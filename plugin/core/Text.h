// Small text helpers for messages and separated lists.
#pragma once

#include <QChar>
#include <QString>

namespace qel {

// `s` between double quotes, as names appear in messages.
QString Quote(const QString& s);

// The n-th (1-based) field of `s`, fields separated by `separator`. n of 1 or less
// gives the first field; a field past the last separator is empty.
QString Field(const QString& s, int n, QChar separator);

}  // namespace qel
