// The request the update check sends to the maker's update server: one plain HTTP/1.1
// GET that names this plugin's version and product code, and a User-Agent that tells
// the server about the computer it runs on.
#pragma once

#include <QByteArray>
#include <QString>

namespace qel {

// What the request reports; the system-status object knows every one of them.
struct UpdateRequestFacts {
    QString appVersion;   // "1.0.71"
    QString productCode;  // "203"
    QString longName;     // company name, a space, application title
    QString winVersion;
    QString servicePack;
    QString language;
    QString country;
};

// The request, each line ended by CR LF, then an empty line. `host` goes into the
// "Host: " line as it is. Characters that would end a line early (control characters)
// become spaces, and text outside Latin-1 becomes "?".
QByteArray BuildUpdateRequest(const QString& host, const UpdateRequestFacts& facts);

}  // namespace qel
