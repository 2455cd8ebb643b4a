#include "core/LibraryBinding.h"

#include "core/SharedLibraryBinding.h"

#include <utility>

namespace qel {
namespace {

LibraryBinding* g_installed = nullptr;

}  // namespace

LibraryBinding& Library() {
    if (g_installed != nullptr) return *g_installed;
    static SharedLibraryBinding shared;
    return shared;
}

LibraryBinding* SetLibrary(LibraryBinding* binding) {
    return std::exchange(g_installed, binding);
}

}  // namespace qel
