#include "core/UpdateRequest.h"
#include "support/GTestQt.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

UpdateRequestFacts Facts() {
    UpdateRequestFacts f;
    f.appVersion = QStringLiteral("1.0.71");
    f.productCode = QStringLiteral("203");
    f.longName = QStringLiteral("Norvane Ltd Norvane-QEL.out");
    f.winVersion = QStringLiteral("Windows XP");
    f.servicePack = QStringLiteral("Service Pack 3");
    f.language = QStringLiteral("English");
    f.country = QStringLiteral("United Kingdom");
    return f;
}

TEST(UpdateRequestTest, ByteForByte) {
    EXPECT_EQ(BuildUpdateRequest(QStringLiteral("www.norvane.co.uk"), Facts()),
              QByteArray("GET /support/updates.php?current=1.0.71&software=203&firmware=1 "
                         "HTTP/1.1\r\n"
                         "Host: www.norvane.co.uk\r\n"
                         "User-Agent: Norvane Ltd Norvane-QEL.out (Windows XP; Service Pack 3; "
                         "English-United Kingdom)\r\n"
                         "\r\n"));
}

TEST(UpdateRequestTest, EmptyFactsKeepTheLayout) {
    UpdateRequestFacts f = Facts();
    f.servicePack.clear();
    f.country.clear();
    const QByteArray request = BuildUpdateRequest(QStringLiteral("h"), f);
    EXPECT_TRUE(
        request.contains("User-Agent: Norvane Ltd Norvane-QEL.out (Windows XP; ; English-)\r\n"))
        << request.toStdString();
}

TEST(UpdateRequestTest, NoValueCanEndALineOrAddAHeader) {
    UpdateRequestFacts f = Facts();
    f.winVersion = QStringLiteral("Linux\r\nX-Evil: 1");
    f.language = QStringLiteral("Fran\u00e7ais\t\u65e5");
    const QByteArray request = BuildUpdateRequest(QStringLiteral("host\r\nX: y"), f);
    EXPECT_EQ(request.count("\r\n"), 4) << request.toStdString();
    EXPECT_TRUE(request.contains("Host: host  X: y\r\n"));
    EXPECT_TRUE(
        request.contains("(Linux  X-Evil: 1; Service Pack 3; Fran\xe7"
                         "ais ?-United Kingdom)"))
        << request.toStdString();
    EXPECT_TRUE(request.endsWith(")\r\n\r\n"));
}

}  // namespace
}  // namespace qel
