// The plugin's views are made by name through the form controller; each registers once.
#pragma once

namespace qel {

// The main window, the connection, device information, frame timing, firmware upgrade,
// update and About windows. Safe to call more than once.
void RegisterCoreViews();

}  // namespace qel
