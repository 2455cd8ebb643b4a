// Where the update check asks: the maker's update server by default, the setting
// "UpdateServer" when a person has stored one, and the environment variable
// QEL_UPDATE_SERVER above both, so that a test or a person can point the check at a
// server of their own. Each names "host" or "host:port" ("[::1]:8080" for IPv6).
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace qel {

inline constexpr const char* kUpdateServerVariable = "QEL_UPDATE_SERVER";
inline const QString kUpdateServerSetting = QStringLiteral("UpdateServer");

struct ServerAddress {
    QString host;
    uint16_t port = 80;

    bool operator==(const ServerAddress&) const = default;
};

// Reads "host" or "host:port"; nothing for an empty host, a port that is not 1..65535,
// or a host with spaces or control characters.
std::optional<ServerAddress> ParseServerAddress(const QString& text);

// The server to ask. An address that cannot be read fails with a local error naming it.
ServerAddress UpdateServer();

// The name for the request's "Host: " line: the host, with its port when not 80.
QString HostLine(const ServerAddress& server);

}  // namespace qel
