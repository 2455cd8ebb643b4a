#include "forms/ProgrammingError.h"

#include <QtGlobal>

namespace qel {

void ProgrammingError(const QString& title, const QString& text, MsgIcon icon) {
    qCritical("Programming error%s%s: %s (call refused)", title.isEmpty() ? "" : " in ",
              qPrintable(title), qPrintable(text));
    Ui().messageBox(title, text, icon, MsgButtons::Ok);
}

}  // namespace qel
