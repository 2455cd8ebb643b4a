// Opening a web page in the user's browser.
#pragma once

#include <QString>

class QWidget;

namespace qel {

// Asks the desktop to open `address`; what it answers is not examined.
void OpenWebLink(QWidget* owner, const QString& address);

}  // namespace qel
