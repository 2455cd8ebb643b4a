// The maker's web pages the plugin opens in the person's browser.
#pragma once

#include <QString>

namespace qel::WebPages {

inline const QString kServer = QStringLiteral("https://www.norvane.co.uk");
inline QString Product() {
    return kServer + QStringLiteral("/product/");
}
inline QString Support() {
    return kServer + QStringLiteral("/support");
}

}  // namespace qel::WebPages
