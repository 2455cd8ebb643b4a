// Whole numbers written in rig files, disturbances and command lines.
#pragma once

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace qelsim {

// Reads a number from 0 to `max` that is all of `text`, in `base` as strtoul takes it (0:
// a "0x" prefix means hexadecimal). A minus sign or a number beyond `max` is refused
// instead of wrapped or cut down.
inline bool ParseCount(const std::string& text, unsigned long max, int base, unsigned long* value) {
    size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    if (first < text.size() && text[first] == '-') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text.c_str(), &end, base);
    if (end == text.c_str() || *end != 0 || errno == ERANGE || v > max) return false;
    *value = v;
    return true;
}

}  // namespace qelsim
