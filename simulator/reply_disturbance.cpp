#include "reply_disturbance.h"

#include <cctype>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "frame_codec.h"
#include "parse_count.h"

namespace qelsim {

std::vector<TimedByte> ScheduleReply(const Bytes& frame, const ReplyDisturbance& d) {
    std::vector<TimedByte> out;
    if (d.silence) return out;
    Duration at{};
    for (uint8_t b : d.noise) {
        at += d.perByteDelay;
        out.push_back({at, b});
    }
    size_t count = frame.size();
    if (d.cutAfter >= 0 && static_cast<size_t>(d.cutAfter) < count) count = d.cutAfter;
    for (size_t i = 0; i < count; ++i) {
        at += d.perByteDelay;
        if (static_cast<int>(i) == d.pauseBefore) at += d.pause;
        uint8_t b = frame[i];
        if (d.wrongEndMarker && i + 1 == frame.size()) b = static_cast<uint8_t>(~kEndMarker);
        out.push_back({at, b});
    }
    return out;
}

namespace {

// Byte positions are kept as int.
constexpr unsigned long kMaxByteIndex = std::numeric_limits<int>::max();

bool ParseHex(const std::string& text, Bytes* out) {
    if (text.empty() || text.size() % 2) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
            return false;
        }
        out->push_back(static_cast<uint8_t>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
    }
    return true;
}

}  // namespace

bool ParseDisturbance(const std::string& text, ReplyDisturbance* d, std::string* error) {
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        auto eq = item.find('=');
        std::string key = item.substr(0, eq);
        std::string value = eq == std::string::npos ? "" : item.substr(eq + 1);
        bool ok = true;
        if (key == "silence") {
            d->silence = true;
        } else if (key == "wrong-end") {
            d->wrongEndMarker = true;
        } else if (key == "noise") {
            ok = ParseHex(value, &d->noise);
        } else if (key == "delay") {
            ok = ParseDuration(value, &d->perByteDelay);
        } else if (key == "cut") {
            unsigned long n = 0;
            ok = ParseCount(value, kMaxByteIndex, 10, &n);
            if (ok) d->cutAfter = static_cast<int>(n);
        } else if (key == "pause") {
            auto colon = value.find(':');
            unsigned long at = 0;
            ok = colon != std::string::npos &&
                 ParseCount(value.substr(0, colon), kMaxByteIndex, 10, &at) &&
                 ParseDuration(value.substr(colon + 1), &d->pause);
            if (ok) d->pauseBefore = static_cast<int>(at);
        } else {
            ok = false;
        }
        if (!ok) {
            *error = "bad reply disturbance '" + item + "'";
            return false;
        }
    }
    return true;
}

}  // namespace qelsim
