// The levels a simulated unit's output frame should carry, for comparing with what it sent.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

namespace qel::test {

// `length` slots at zero except the (slot, level) pairs in `set`; slots count from 1.
inline std::string Levels(std::initializer_list<std::pair<int, int>> set, int length) {
    std::string levels(length, '\0');
    for (auto [slot, level] : set)
        levels[slot - 1] = static_cast<char>(level);
    return levels;
}

}  // namespace qel::test
