// Placeholder for REPROG (Part 1.5) until the firmware work lands: both entry points
// fail cleanly with a code of the table and a last-error text.
#include "reprog.h"

#include "failure.h"

namespace qelio {

void StartReprogram(const std::string&) { throw Failure("REPROG.ERROR_UNKNOWN"); }

int32_t ProgressState() { throw Failure("REPROG.ERROR_UNKNOWN"); }

}  // namespace qelio
