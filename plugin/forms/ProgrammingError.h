// A call that only a mistake in the plugin's own code can make (a wrapper attached twice,
// a controller used before it was linked, a file type that cannot exist). The host must
// not go down for it: the person is told in a message box, the log records it, and the
// caller refuses the call and returns.
#pragma once

#include "core/UiServices.h"

#include <QString>

namespace qel {

void ProgrammingError(const QString& title, const QString& text, MsgIcon icon);

}  // namespace qel
