#include "core/Text.h"

namespace qel {

QString Quote(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString Field(const QString& s, int n, QChar separator) {
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype next = s.indexOf(separator, start);
        if (next < 0) return {};
        start = next + 1;
    }
    const qsizetype end = s.indexOf(separator, start);
    return s.mid(start, end < 0 ? -1 : end - start);
}

}  // namespace qel
