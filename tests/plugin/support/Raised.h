// The plugin error a call raises.
#pragma once

#include "core/PluginError.h"

#include <cstdint>
#include <optional>

namespace qel::test {

// The number of the plugin error that `f` raises, or 0 when it raises none; the error
// itself goes to `caught` when given.
template <typename F>
int32_t Raised(F&& f, std::optional<PluginError>* caught = nullptr) {
    try {
        f();
    } catch (const PluginError& e) {
        if (caught != nullptr) caught->emplace(e);
        return e.number();
    }
    return 0;
}

}  // namespace qel::test
