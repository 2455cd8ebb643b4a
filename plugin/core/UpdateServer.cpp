#include "core/UpdateServer.h"

#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "core/Text.h"
#include "core/WebPages.h"

namespace qel {
namespace {

bool IsHostName(const QString& host) {
    if (host.isEmpty()) return false;
    for (QChar c : host) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('/') ||
            c == QLatin1Char('@'))
            return false;
    }
    return true;
}

std::optional<uint16_t> PortOf(const QString& text) {
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port < 1 || port > 65535 || text.startsWith(QLatin1Char('+'))) return std::nullopt;
    return static_cast<uint16_t>(port);
}

}  // namespace

std::optional<ServerAddress> ParseServerAddress(const QString& text) {
    const QString address = text.trimmed();
    ServerAddress server;
    QString portText;
    if (address.startsWith(QLatin1Char('['))) {
        const qsizetype close = address.indexOf(QLatin1Char(']'));
        if (close < 0) return std::nullopt;
        server.host = address.mid(1, close - 1);
        const QString rest = address.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':'))) return std::nullopt;
            portText = rest.mid(1);
        }
    } else if (address.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = address.indexOf(QLatin1Char(':'));
        server.host = address.left(colon);
        portText = address.mid(colon + 1);
    } else {
        // A name, or an IPv6 address without brackets and so without a port.
        server.host = address;
    }
    if (!IsHostName(server.host)) return std::nullopt;
    if (!portText.isNull()) {
        const auto port = PortOf(portText);
        if (!port) return std::nullopt;
        server.port = *port;
    }
    return server;
}

ServerAddress UpdateServer() {
    QString text = qEnvironmentVariable(kUpdateServerVariable);
    if (text.trimmed().isEmpty())
        text = AUF_Registry::LoadText(kUpdateServerSetting, WebPages::kServerHost);
    const auto server = ParseServerAddress(text);
    if (!server)
        ErrTrap::LocalError(QStringLiteral("The update server address ") + Quote(text) +
                            QStringLiteral(" is not valid"));
    return *server;
}

QString HostLine(const ServerAddress& server) {
    const QString host = server.host.contains(QLatin1Char(':'))
                             ? QStringLiteral("[") + server.host + QStringLiteral("]")
                             : server.host;
    if (server.port == 80) return host;
    return host + QStringLiteral(":") + QString::number(server.port);
}

}  // namespace qel
