#include "core/UpdateReply.h"
#include "support/GTestQt.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qel {
namespace {

using Outcome = UpdateReply::Outcome;
using Pairs = std::vector<std::pair<QString, QString>>;

Pairs PairsOf(const UpdateReply& reply) {
    Pairs pairs;
    for (const UpdatePair& p : reply.pairs)
        pairs.emplace_back(p.key, p.value);
    return pairs;
}

QByteArray Ok(const QByteArray& headers, const QByteArray& body) {
    return "HTTP/1.1 200 OK\r\n" + headers + "\r\n" + body;
}

TEST(UpdateReplyTest, Replies) {
    const QString software = QStringLiteral("Software");
    const QString firmware = QStringLiteral("Firmware");
    struct Row {
        const char* what;
        QByteArray reply;
        bool serverClosed;
        Outcome outcome;
        QString status;
        Pairs pairs;
        const char* problem = "";
    };
    const Row rows[] = {
        {"body with its length",
         Ok("Content-Type: text/plain\r\nContent-Length: 32\r\n",
            "Software=1.0.72&Firmware=0.3.012"),
         false,
         Outcome::Ok,
         "200",
         {{software, "1.0.72"}, {firmware, "0.3.012"}}},
        {"body up to the close",
         Ok("", "Software=1.0.72"),
         true,
         Outcome::Ok,
         "200",
         {{software, "1.0.72"}}},
        {"body lines are trimmed and joined",
         Ok("", "  Software=1.0.72\r\n\r\n  &Firmware = 2 \r\n"),
         true,
         Outcome::Ok,
         "200",
         {{software, "1.0.72"}, {firmware, "2"}}},
        {"the length cuts what follows",
         Ok("Content-Length: 15\r\n", "Software=1.0.72GARBAGE"),
         false,
         Outcome::Ok,
         "200",
         {{software, "1.0.72"}}},
        {"header lines are trimmed, blank means spaces only",
         "HTTP/1.1 200 OK \r\n  Content-Length: 10  \r\n   \r\nSoftware=2",
         false,
         Outcome::Ok,
         "200",
         {{software, "2"}}},
        {"empty body", Ok("Content-Length: 0\r\n", ""), false, Outcome::Ok, "200", {}},
        {"a second '=' ends the value",
         Ok("", "Software=1.0=72"),
         true,
         Outcome::Ok,
         "200",
         {{software, "1.0"}}},
        {"chunked",
         Ok("Transfer-Encoding: chunked\r\n",
            "10\r\nSoftware=1.0.72&\r\ne;name=x\r\nFirmware=0.3.0\r\n0\r\n\r\n"),
         false,
         Outcome::Ok,
         "200",
         {{software, "1.0.72"}, {firmware, "0.3.0"}}},
        {"404",
         "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found",
         false,
         Outcome::ServerError,
         "404",
         {}},
        {"404 status line alone", "HTTP/1.1 404", true, Outcome::ServerError, "404", {}},
        {"status that is no number", "HTTP/1.1 abc\r\n\r\n", true, Outcome::ServerError, "abc", {}},
        {"no second field",
         "HTTP/1.1\r\n\r\nSoftware=9.9.9",
         true,
         Outcome::Unreadable,
         "",
         {},
         "the server sent no status code"},
        {"two spaces: the second field is empty",
         "HTTP/1.1  200 OK\r\n\r\nSoftware=9.9.9",
         true,
         Outcome::Unreadable,
         "",
         {},
         "the server sent no status code"},
        {"nothing at all", "", true, Outcome::Unreadable, "", {}, "the server sent no status code"},
        {"header never ends",
         "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n",
         true,
         Outcome::Unreadable,
         "200",
         {},
         "the reply is incomplete"},
        {"line ends without CR",
         "HTTP/1.1 200 OK\nContent-Length: 3\n\nabc",
         true,
         Outcome::Unreadable,
         "200",
         {},
         "the reply is incomplete"},
        {"shorter than its length",
         Ok("Content-Length: 40\r\n", "Software=9.9.9"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "the reply is incomplete"},
        {"length that is no number",
         Ok("Content-Length: many\r\n", "Software=9.9.9"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "the reply's length is not a number"},
        {"negative length",
         Ok("Content-Length: -1\r\n", "Software=9.9.9"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "the reply's length is not a number"},
        {"no length and no close",
         Ok("", "Software=9.9.9"),
         false,
         Outcome::Unreadable,
         "200",
         {},
         "the reply is incomplete"},
        {"chunk size that is no number",
         Ok("Transfer-Encoding: chunked\r\n", "zz\r\nSoftware=9.9.9\r\n0\r\n\r\n"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "a chunk of the reply is broken"},
        {"chunk longer than it says",
         Ok("Transfer-Encoding: chunked\r\n", "2\r\nSoftware=9.9.9\r\n0\r\n\r\n"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "a chunk of the reply is broken"},
        {"chunk size of too many digits",
         Ok("Transfer-Encoding: chunked\r\n", "000000001\r\nS\r\n0\r\n\r\n"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "a chunk of the reply is broken"},
        {"chunks without the last one",
         Ok("Transfer-Encoding: chunked\r\n", "e\r\nSoftware=9.9.9\r\n"),
         true,
         Outcome::Unreadable,
         "200",
         {},
         "the reply is incomplete"},
    };
    for (const Row& row : rows) {
        const UpdateReply reply = ParseUpdateReply(row.reply, row.serverClosed);
        EXPECT_EQ(reply.outcome, row.outcome) << row.what;
        EXPECT_EQ(reply.status, row.status) << row.what;
        EXPECT_EQ(PairsOf(reply), row.pairs) << row.what;
        EXPECT_EQ(reply.problem, QString::fromLatin1(row.problem)) << row.what;
    }
}

TEST(UpdateReplyTest, PartsThatCannotBeStoredAreLeftOutOneByOne) {
    const QByteArray body =
        "novalue&&=x&a b=1&../Evil=1&Evil/x=2&Evil\\x=2&Soft\x01ware=1&"
        "Software=1.0.72&Note=\x07&Firmware=0.3.012&";
    const UpdateReply reply = ParseUpdateReply(Ok("", body), true);
    EXPECT_EQ(reply.outcome, Outcome::Ok);
    EXPECT_EQ(PairsOf(reply), (Pairs{{"Software", "1.0.72"}, {"Firmware", "0.3.012"}}));
    EXPECT_EQ(reply.skipped, (QStringList{"novalue", "=x", "a b=1", "../Evil=1", "Evil/x=2",
                                          "Evil\\x=2", QString::fromLatin1("Soft\x01ware=1"),
                                          QString::fromLatin1("Note=\x07")}));
}

TEST(UpdateReplyTest, Keys) {
    EXPECT_TRUE(IsUpdateKey("Software"));
    EXPECT_TRUE(IsUpdateKey("Model_2-Firmware.x"));
    EXPECT_TRUE(IsUpdateKey(QString(64, QLatin1Char('k'))));
    for (const QString& bad :
         {QString(), QString(65, QLatin1Char('k')), QStringLiteral("a b"), QStringLiteral("a/b"),
          QStringLiteral("a\\b"), QStringLiteral("a\tb"), QStringLiteral("a=b"),
          QStringLiteral("Gr\u00fc\u00dfe"), QStringLiteral("a;b"), QStringLiteral("[General]")}) {
        EXPECT_FALSE(IsUpdateKey(bad)) << bad.toStdString();
    }
}

TEST(UpdateReplyTest, OnlyTheFirstBlockIsRead) {
    // A long body without a length: more than the block holds cannot be read whole.
    const QByteArray head = Ok("", "Software=1.0.72&Pad=");
    QByteArray huge = head + QByteArray(kUpdateReplyBlock, 'x');
    UpdateReply reply = ParseUpdateReply(huge, true);
    EXPECT_EQ(reply.outcome, Outcome::Unreadable);
    EXPECT_EQ(reply.problem, QStringLiteral("the reply is too long"));
    EXPECT_TRUE(reply.pairs.empty());

    // Exactly the block, closed by the server: read whole.
    QByteArray exact = head + QByteArray(kUpdateReplyBlock - head.size(), 'x');
    reply = ParseUpdateReply(exact, true);
    EXPECT_EQ(reply.outcome, Outcome::Ok);
    ASSERT_EQ(reply.pairs.size(), 2u);
    EXPECT_EQ(reply.pairs[1].value.size(), kUpdateReplyBlock - head.size());

    // A header that does not end within the block.
    QByteArray longHeader = "HTTP/1.1 200 OK\r\nX: " + QByteArray(3000, 'h') + "\r\n\r\nSoftware=2";
    reply = ParseUpdateReply(longHeader, true);
    EXPECT_EQ(reply.problem, QStringLiteral("the reply is too long"));

    // A body with its length inside the block is read, whatever follows the block.
    QByteArray withLength =
        Ok("Content-Length: 15\r\n", "Software=1.0.72") + QByteArray(kUpdateReplyBlock * 2, 'z');
    reply = ParseUpdateReply(withLength, false);
    EXPECT_EQ(reply.outcome, Outcome::Ok);
    EXPECT_EQ(PairsOf(reply), (Pairs{{"Software", "1.0.72"}}));

    // A length that reaches past the block.
    QByteArray pastTheBlock = Ok("Content-Length: 5000\r\n", "Software=1.0.72&P=") +
                              QByteArray(kUpdateReplyBlock * 2, 'z');
    reply = ParseUpdateReply(pastTheBlock, false);
    EXPECT_EQ(reply.problem, QStringLiteral("the reply is too long"));
}

TEST(UpdateReplyTest, WhenTheReplyIsComplete) {
    struct Row {
        QByteArray received;
        bool complete;
    };
    const Row rows[] = {
        {"", false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n", false},
        {"HTTP/1.1 404 Not Found\r\n\r\n", true},
        {"HTTP/1.1\r\n\r\n", true},
        {Ok("Content-Length: 5\r\n", "abc"), false},
        {Ok("Content-Length: 5\r\n", "abcde"), true},
        {Ok("Content-Length: x\r\n", ""), true},
        {Ok("", "Software=1"), false},
        {Ok("Transfer-Encoding: chunked\r\n", "3\r\nabc\r\n"), false},
        {Ok("Transfer-Encoding: chunked\r\n", "3\r\nabc\r\n0\r\n"), true},
        {Ok("Transfer-Encoding: chunked\r\n", "q\r\n"), true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UpdateReplyComplete(row.received), row.complete) << row.received.toStdString();
    }
}

}  // namespace
}  // namespace qel
