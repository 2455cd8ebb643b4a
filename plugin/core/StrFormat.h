// Byte strings shown as hexadecimal text, and 16-bit big-endian fields read from them.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace qel {

// Each byte as two upper-case hex digits, `separator` between neighbours.
QString HexString(const QByteArray& bytes, const QString& separator);

// The big-endian pair at `position` (1-based): 0..65535, or -32768..32767 when
// `isSigned`. A pair that is not wholly inside `bytes` fails with the subscript error.
int32_t Word16(const QByteArray& bytes, int position, bool isSigned);

}  // namespace qel
