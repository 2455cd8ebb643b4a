#include "core/UpdateRequest.h"

namespace qel {
namespace {

// A value from the computer (a distribution's name, a locale text) must not be able to
// end its line and smuggle in headers of its own.
QString OneLine(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
    }
    return text;
}

}  // namespace

QByteArray BuildUpdateRequest(const QString& host, const UpdateRequestFacts& facts) {
    const QString crlf = QStringLiteral("\r\n");
    const QString request =
        QStringLiteral("GET ") + QStringLiteral("/support/updates.php?") +
        QStringLiteral("current=") + OneLine(facts.appVersion) + QStringLiteral("&software=") +
        OneLine(facts.productCode) + QStringLiteral("&firmware=1") + QStringLiteral(" HTTP/1.1") +
        crlf + QStringLiteral("Host: ") + OneLine(host) + crlf + QStringLiteral("User-Agent: ") +
        OneLine(facts.longName) + QStringLiteral(" (") + OneLine(facts.winVersion) +
        QStringLiteral("; ") + OneLine(facts.servicePack) + QStringLiteral("; ") +
        OneLine(facts.language) + QStringLiteral("-") + OneLine(facts.country) +
        QStringLiteral(")") + crlf + crlf;
    return request.toLatin1();
}

}  // namespace qel
