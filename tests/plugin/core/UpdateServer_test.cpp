#include "core/UpdateServer.h"
#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "core/WebPages.h"
#include "support/GTestQt.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qel {

// Found by the test framework next to the type it prints.
void PrintTo(const ServerAddress& a, std::ostream* os) {
    *os << a.host.toStdString() << ':' << a.port;
}

namespace {

TEST(UpdateServerTest, Addresses) {
    struct Row {
        const char* text;
        std::optional<ServerAddress> address;
    };
    const Row rows[] = {
        {"www.example.org", ServerAddress{"www.example.org", 80}},
        {"  127.0.0.1:8080 ", ServerAddress{"127.0.0.1", 8080}},
        {"localhost:65535", ServerAddress{"localhost", 65535}},
        {"[::1]:81", ServerAddress{"::1", 81}},
        {"[::1]", ServerAddress{"::1", 80}},
        {"::1", ServerAddress{"::1", 80}},
        {"", std::nullopt},
        {":80", std::nullopt},
        {"host:", std::nullopt},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:+80", std::nullopt},
        {"host:http", std::nullopt},
        {"a host:80", std::nullopt},
        {"user@host", std::nullopt},
        {"host/path", std::nullopt},
        {"[::1]x", std::nullopt},
        {"[::1", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParseServerAddress(QString::fromLatin1(row.text)), row.address) << row.text;
    }
}

TEST(UpdateServerTest, HostLineNamesThePortWhenNot80) {
    EXPECT_EQ(HostLine({"www.example.org", 80}), QStringLiteral("www.example.org"));
    EXPECT_EQ(HostLine({"127.0.0.1", 8080}), QStringLiteral("127.0.0.1:8080"));
    EXPECT_EQ(HostLine({"::1", 81}), QStringLiteral("[::1]:81"));
}

TEST(UpdateServerTest, EnvironmentOverSettingOverTheMakersServer) {
    test::ScriptedUi ui;
    unsetenv(kUpdateServerVariable);
    EXPECT_EQ(UpdateServer(), (ServerAddress{WebPages::kServerHost, 80}));

    AUF_Registry::SaveValue(kUpdateServerSetting, QStringLiteral("updates.example.org:8000"));
    EXPECT_EQ(UpdateServer(), (ServerAddress{"updates.example.org", 8000}));

    setenv(kUpdateServerVariable, "127.0.0.1:5555", 1);
    EXPECT_EQ(UpdateServer(), (ServerAddress{"127.0.0.1", 5555}));

    setenv(kUpdateServerVariable, "127.0.0.1:none", 1);
    try {
        UpdateServer();
        ADD_FAILURE() << "an address that cannot be read was used";
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), ErrTrap::ErrSYS_Local);
        EXPECT_EQ(ErrTrap::ErrText(ErrTrap::ErrSYS_Local),
                  QStringLiteral("The update server address \"127.0.0.1:none\" is not valid"));
    }
    unsetenv(kUpdateServerVariable);
    AUF_Registry::SaveValue(kUpdateServerSetting, QString());
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qel
