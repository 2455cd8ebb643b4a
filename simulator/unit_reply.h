// What the unit answers to one command: a status byte and the reply data.
#pragma once

#include <cstdint>

#include "bytes.h"

namespace qelsim {

struct UnitReply {
    uint8_t status = 0;
    Bytes data;
};

}  // namespace qelsim
