// Where the maker's pages live: the web server that people are sent to for support,
// the product page and the home page, and that answers the update check.
#pragma once

#include <QString>

namespace qel::MakerWeb {

// The maker's web server, without a trailing "/".
inline const QString kServerHost = QStringLiteral("www.norvane.co.uk");
inline const QString kServer = QStringLiteral("http://") + kServerHost;

// A page of the maker's web server; `path` begins with "/".
inline QString Page(const QString& path) {
    return kServer + path;
}

}  // namespace qel::MakerWeb
