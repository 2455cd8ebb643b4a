#include "core/LibraryBinding.h"

#include "core/SharedLibraryBinding.h"

namespace qel {
namespace {

LibraryBinding* g_installed = nullptr;

}  // namespace

LibraryBinding& Library() {
    if (g_installed != nullptr) return *g_installed;
    static SharedLibraryBinding shared;
    return shared;
}

void SetLibrary(LibraryBinding* binding) {
    g_installed = binding;
}

}  // namespace qel
