// Colour values written as 0xBBGGRR (red in the low byte), as the views' colour rules
// give them.
#pragma once

#include <QColor>

#include <cstdint>

namespace qel {

inline QColor ColorFromBgr(uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace qel
