#include "core/UiServices.h"

#include "core/QtUiServices.h"

namespace qel {
namespace {

UiServices* g_active = nullptr;

}  // namespace

UiServices& Ui() {
    if (g_active != nullptr) return *g_active;
    static QtUiServices qt;
    return qt;
}

void SetUi(UiServices* services) {
    g_active = services;
}

ScopedUi::ScopedUi(UiServices& services) : previous_(g_active) {
    g_active = &services;
}

ScopedUi::~ScopedUi() {
    g_active = previous_;
}

}  // namespace qel
