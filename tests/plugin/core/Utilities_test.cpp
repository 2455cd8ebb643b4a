#include "core/AUF_WebLink.h"
#include "core/FDF_Class.h"
#include "core/PluginError.h"
#include "core/StrFormat.h"
#include "core/Text.h"
#include "support/GTestQt.h"

#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(StrFormatTest, HexString) {
    EXPECT_EQ(HexString(QByteArray("\x0A\xFF\x03", 3), QStringLiteral(" ")),
              QStringLiteral("0A FF 03"));
    EXPECT_EQ(HexString(QByteArray("\x05", 1), QStringLiteral("xyz")), QStringLiteral("05"));
    EXPECT_EQ(HexString(QByteArray("\x00\xab", 2), QStringLiteral("x")), QStringLiteral("00xAB"));
    EXPECT_EQ(HexString(QByteArray(), QStringLiteral(":")), QString());
}

TEST(StrFormatTest, Word16) {
    const QByteArray bytes("\xFF\xFE\x01\x02", 4);
    EXPECT_EQ(Word16(bytes, 1, false), 65534);
    EXPECT_EQ(Word16(bytes, 1, true), -2);
    EXPECT_EQ(Word16(bytes, 2, false), 0xFE01);
    EXPECT_EQ(Word16(bytes, 3, true), 0x0102);
    EXPECT_EQ(Word16(QByteArray("\x80\x00", 2), 1, true), -32768);
    EXPECT_EQ(Word16(QByteArray("\x7F\xFF", 2), 1, true), 32767);
}

TEST(StrFormatTest, Word16NeverReadsPastTheBytes) {
    for (int position : {0, -1, 4, 5}) {
        try {
            Word16(QByteArray("\x01\x02\x03\x04", 4), position, false);
            ADD_FAILURE() << position;
        } catch (const PluginError& e) {
            EXPECT_EQ(e.number(), kErrSubscript);
        }
    }
}

TEST(TextTest, Quote) {
    EXPECT_EQ(QStringLiteral("Form ") + Quote(QStringLiteral("X")) + QStringLiteral(" not found"),
              QStringLiteral("Form \"X\" not found"));
    EXPECT_EQ(Quote(QString()), QStringLiteral("\"\""));
}

TEST(TextTest, Field) {
    struct Row {
        const char* s;
        int n;
        const char* expected;
    };
    const Row rows[] = {
        {"a;b;c", 2, "b"}, {"a;b;c", 3, "c"},  {"a;b;c", 4, ""}, {"a;b;c", 1, "a"},
        {"abc", 0, "abc"}, {"abc", -3, "abc"}, {"a;;c", 2, ""},  {"a;b;", 3, ""},
        {"", 1, ""},       {";x", 1, ""},      {";x", 2, "x"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Field(QString::fromUtf8(row.s), row.n, QLatin1Char(';')),
                  QString::fromUtf8(row.expected))
            << row.s << " " << row.n;
    }
}

TEST(FdfClassTest, IsObjectSet) {
    QObject object;
    QObject* none = nullptr;
    EXPECT_TRUE(IsObjectSet(&object));
    EXPECT_FALSE(IsObjectSet(none));
    EXPECT_TRUE(IsObjectSet(QVariant::fromValue(&object)));
    EXPECT_FALSE(IsObjectSet(QVariant::fromValue(none)));
    EXPECT_FALSE(IsObjectSet(QVariant()));
    EXPECT_FALSE(IsObjectSet(QVariant(42)));
    EXPECT_FALSE(IsObjectSet(QVariant(QStringLiteral("obj"))));
    QPointer<QObject> gone;
    {
        QObject temporary;
        gone = &temporary;
        EXPECT_TRUE(IsObjectSet(gone));
    }
    EXPECT_FALSE(IsObjectSet(gone));
    EXPECT_FALSE(IsObjectSet(std::shared_ptr<int>()));
}

class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

TEST(WebLinkTest, AsksTheDesktopToOpenTheAddress) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    OpenWebLink(nullptr, QStringLiteral("https://example.invalid/support/"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0], QUrl(QStringLiteral("https://example.invalid/support/")));
}

}  // namespace
}  // namespace qel

#include "Utilities_test.moc"
