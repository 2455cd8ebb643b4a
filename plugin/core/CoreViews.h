// The plugin's views are made by name through the form controller; each registers once.
#pragma once

namespace qel {

// The main window, the connection window and the device information window. Safe to call
// more than once.
void RegisterCoreViews();

}  // namespace qel
