#include "core/AUF_WebLink.h"

#include <QDesktopServices>
#include <QUrl>

namespace qel {

void OpenWebLink(QWidget* /*owner: the desktop places the browser itself*/,
                 const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

}  // namespace qel
