// Where the plugin's own code was loaded from.
#pragma once

#include <QString>

namespace qel {

// The folder of the module (plugin or program) that holds the plugin's code; empty when
// the loader cannot say.
QString ModuleFolder();

}  // namespace qel
