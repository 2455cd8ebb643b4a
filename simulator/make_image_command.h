// `qel-sim make-image`: writes a firmware image file that a simulated unit accepts, or a
// corrupt or foreign one that it refuses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qelsim {

// Arguments after "make-image". Returns the exit status; messages go to `err`.
int RunMakeImage(const std::vector<std::string>& args, std::ostream& err);

}  // namespace qelsim
