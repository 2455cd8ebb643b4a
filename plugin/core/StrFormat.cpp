#include "core/StrFormat.h"

#include "core/PluginError.h"

namespace qel {

QString HexString(const QByteArray& bytes, const QString& separator) {
    QString out;
    out.reserve(bytes.size() * (2 + separator.size()));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += separator;
        out += QStringLiteral("%1")
                   .arg(static_cast<uint8_t>(bytes[i]), 2, 16, QLatin1Char('0'))
                   .toUpper();
    }
    return out;
}

int32_t Word16(const QByteArray& bytes, int position, bool isSigned) {
    if (position < 1 || position + 1 > bytes.size()) throw RunTimeError(kErrSubscript);
    const int32_t value =
        static_cast<uint8_t>(bytes[position - 1]) * 256 + static_cast<uint8_t>(bytes[position]);
    return isSigned && value >= 32768 ? value - 65536 : value;
}

}  // namespace qel
