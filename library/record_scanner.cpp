#include "record_scanner.h"

#include "bytes.h"
#include "failure.h"

namespace qelio {

bool RecordScanner::Take(char c) {
    if (c == ' ') return false;
    if (c == '\r' || c == '\n') {
        Restart();  // a digit left over from an odd count is dropped here
        return false;
    }
    if (!pending_) {
        high_ = c;
        pending_ = true;
        return false;
    }
    pending_ = false;
    const uint8_t byte = HexPairToByte(high_, c);
    // Nothing may land past the record: a longer line is not an image line at all.
    if (count_ == kRecordSize) throw Failure(kind::kDataError);
    buffer_[count_++] = byte;
    return count_ == kRecordSize;
}

uint16_t RecordScanner::Number() const {
    return static_cast<uint16_t>(LittleEndian(buffer_.data(), 2));
}

void RecordScanner::Restart() {
    count_ = 0;
    pending_ = false;
}

}  // namespace qelio
