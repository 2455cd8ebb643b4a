// The maker's web pages the plugin opens in the person's browser, and the web server's
// name, which also answers the update check.
#pragma once

#include <QString>

namespace qel::WebPages {

inline const QString kServerHost = QStringLiteral("www.norvane.co.uk");
inline const QString kServer = QStringLiteral("https://") + kServerHost;
inline QString Home() {
    return kServer + QStringLiteral("/");
}
inline QString Product() {
    return kServer + QStringLiteral("/product/");
}
inline QString Support() {
    return kServer + QStringLiteral("/support");
}
// The support pages' own folder, which the update window's link opens.
inline QString SupportFolder() {
    return kServer + QStringLiteral("/support/");
}

}  // namespace qel::WebPages
