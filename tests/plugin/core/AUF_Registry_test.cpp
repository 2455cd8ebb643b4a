#include "core/AUF_Registry.h"
#include "core/RegistryFile.h"
#include "support/ScriptedUi.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace qel {
namespace {

using namespace AUF_Registry;

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { QFile::remove(FilePath()); }
    void TearDown() override { QFile::remove(FilePath()); }

    QString FileText() {
        QFile file(FilePath());
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll());
    }

    void WriteFile(const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(FilePath()).absolutePath());
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // The one critical message shown since the last call, with no title of its own.
    QString Failure() {
        if (ui.messages.size() != 1) {
            ADD_FAILURE() << ui.messages.size() << " messages";
            ui.messages.clear();
            return {};
        }
        const test::ShownMessage m = ui.messages.front();
        ui.messages.clear();
        EXPECT_EQ(m.icon, MsgIcon::Critical);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_TRUE(m.title.isEmpty());
        return m.text;
    }

    test::ScriptedUi ui;
};

TEST_F(RegistryTest, KeyPath) {
    EXPECT_EQ(SettingsKey(), QStringLiteral("Software\\Norvane Ltd\\Norvane-QEL.out"));
    EXPECT_TRUE(FilePath().contains(QStringLiteral("Norvane Ltd")));
    EXPECT_TRUE(FilePath().contains(QStringLiteral("Norvane-QEL.out")));
}

TEST_F(RegistryTest, KeyNeedsCompanyAndTitle) {
    const auto text = [](const QString& company, const QString& title) {
        try {
            detail::SettingsKey(company, title);
        } catch (const detail::Failure& f) {
            return f.text;
        }
        return QString();
    };
    EXPECT_EQ(text({}, QStringLiteral("T")), QStringLiteral("Application Company Name not set"));
    EXPECT_EQ(text(QStringLiteral("C"), {}), QStringLiteral("Application Title is not set"));
}

TEST_F(RegistryTest, NothingStoredGivesTheDefaultQuietly) {
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed"), QString()), QVariant(QString()));
    EXPECT_EQ(LoadValue(QStringLiteral("DeviceModel"), 5), QVariant(5));
    EXPECT_FALSE(QFileInfo::exists(FilePath()));
    SaveValue(QStringLiteral("Other"), 1);
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed"), QStringLiteral("none")),
              QVariant(QStringLiteral("none")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, ValuesComeBackInTheirKind) {
    struct Row {
        const char* name;
        QVariant value;
        QVariant expected;
    };
    const Row rows[] = {
        {"PortUsed", QStringLiteral("DMX-QEL A"), QStringLiteral("DMX-QEL A")},
        {"SourceDir", QStringLiteral("/home/ü/fw=1;x\\y\nz"),
         QStringLiteral("/home/ü/fw=1;x\\y\nz")},
        {"DeviceModel", 258, 258},
        {"Zero", 0, 0},
        {"Largest", std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()},
        {"Short", QVariant::fromValue<short>(12), 12},
        {"Wide", QVariant::fromValue<qlonglong>(77), 77},
        {"Yes", true, true},
        {"No", false, false},
        {"Numeric text", QStringLiteral("12"), QStringLiteral("12")},
        {"Device_Sensor_\u00B0Units", 1, 1},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(SaveValue(QString::fromUtf8(row.name), row.value)) << row.name;
    }
    for (const Row& row : rows) {
        const QVariant loaded = LoadValue(QString::fromUtf8(row.name), QStringLiteral("default"));
        EXPECT_EQ(loaded, row.expected) << row.name;
        EXPECT_EQ(loaded.typeId(), row.expected.typeId()) << row.name;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, NamesAreTrimmedEmptyIsDefaultAndCaseDoesNotMatter) {
    SaveValue(QStringLiteral("  PortUsed  "), QStringLiteral("P1"));
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed")), QVariant(QStringLiteral("P1")));
    EXPECT_EQ(LoadValue(QStringLiteral("portused")), QVariant(QStringLiteral("P1")));

    SaveValue(QString(), true);
    EXPECT_TRUE(FileText().contains(QStringLiteral("Default=binary:01")));
    EXPECT_EQ(LoadValue(QStringLiteral(""), false), QVariant(true));
    EXPECT_EQ(LoadValue(QStringLiteral("   "), false), QVariant(true));
}

TEST_F(RegistryTest, IntegerIsStoredAsAnInteger) {
    SaveValue(QStringLiteral("DeviceModel"), 258);
    EXPECT_TRUE(FileText().contains(QStringLiteral("DeviceModel=dword:258")));
    SaveValue(QStringLiteral("DeviceModel"), QStringLiteral("258"));
    EXPECT_TRUE(FileText().contains(QStringLiteral("DeviceModel=sz:258")));
}

TEST_F(RegistryTest, EmptyValueGivesTheDefault) {
    SaveValue(QStringLiteral("PortUsed"), QString());
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed"), QStringLiteral("dflt")),
              QVariant(QStringLiteral("dflt")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, RefusedValuesWriteNothing) {
    struct Row {
        QVariant value;
        const char* message;
    };
    const Row rows[] = {
        {3.5, "Data type \"Double\" not handled"},
        {QVariant::fromValue<float>(1.5f), "Data type \"Single\" not handled"},
        {QDate(2020, 1, 1), "Data type \"Date\" not handled"},
        {QVariant(), "Data type \"Empty\" not handled"},
        {QByteArray("ab"), "Data type \"Byte()\" not handled"},
        {-1, "Overflow"},
        {QVariant::fromValue<qlonglong>(2147483648LL), "Overflow"},
        {QVariant::fromValue<qulonglong>(~0ULL), "Overflow"},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(SaveValue(QStringLiteral("X"), row.value));
        EXPECT_EQ(Failure(), QString::fromUtf8(row.message));
    }
    EXPECT_FALSE(QFileInfo::exists(FilePath()));
}

TEST_F(RegistryTest, StoreThatCannotBeWrittenIsReported) {
    QTemporaryDir dir;
    const QString blocked = dir.filePath(QStringLiteral("a-file"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // A folder where a file is: nothing can be created below it.
    QSettings::setPath(RegistryFile::Format(), QSettings::UserScope, blocked);
    const bool saved = SaveValue(QStringLiteral("PortUsed"), QStringLiteral("x"));
    QSettings::setPath(RegistryFile::Format(), QSettings::UserScope,
                       qEnvironmentVariable("XDG_CONFIG_HOME"));
    EXPECT_FALSE(saved);
    const QString text = Failure();
    EXPECT_TRUE(text == QStringLiteral("Could not open/create registry section "
                                       "\"Software\\Norvane Ltd\\Norvane-QEL.out\"") ||
                text == QStringLiteral("Registry Value \"PortUsed\" update failed"))
        << text.toStdString();
}

TEST_F(RegistryTest, DamagedFileNeverBreaksTheOtherValues) {
    WriteFile(
        "; hand edited\n"
        "PortUsed=sz:Port A\n"
        "this line is garbage\n"
        "=sz:no name\n"
        "Big=dword:2147483648\n"
        "Huge=dword:99999999999999999999999\n"
        "Padded=dword:000000000042\n"
        "Letters=dword:12ab\n"
        "Negative=dword:-5\n"
        "Odd=foo:1\n"
        "NoKind=plain\n"
        "BadBool=binary:zz\n"
        "Blank=sz:\r\n"
        "DeviceModel=dword:7\n");
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed")), QVariant(QStringLiteral("Port A")));
    EXPECT_EQ(LoadValue(QStringLiteral("DeviceModel")), QVariant(7));
    EXPECT_EQ(LoadValue(QStringLiteral("Padded")), QVariant(42));
    EXPECT_EQ(LoadValue(QStringLiteral("Blank"), QStringLiteral("d")),
              QVariant(QStringLiteral("d")));
    EXPECT_TRUE(ui.messages.empty());

    struct Row {
        const char* name;
        const char* message;
    };
    const Row rows[] = {
        {"Big", "Overflow"},
        {"Huge", "Overflow"},
        {"Letters", "Type mismatch"},
        {"Negative", "Type mismatch"},
        {"Odd", "Registry Data type not handled"},
        {"NoKind", "Registry Data type not handled"},
        {"BadBool", "Type mismatch"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LoadValue(QString::fromUtf8(row.name), QStringLiteral("dflt")),
                  QVariant(QStringLiteral("dflt")))
            << row.name;
        EXPECT_EQ(Failure(), QString::fromUtf8(row.message)) << row.name;
    }

    // Writing keeps every value that could be read, damaged ones included.
    SaveValue(QStringLiteral("New"), 1);
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed")), QVariant(QStringLiteral("Port A")));
    EXPECT_TRUE(FileText().contains(QStringLiteral("Odd=foo:1")));
}

TEST_F(RegistryTest, BinaryGarbageFileReadsAsDefaults) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919) % 256));
    WriteFile(junk);
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed"), QStringLiteral("d")).isValid(), true);
    ui.messages.clear();
    EXPECT_TRUE(SaveValue(QStringLiteral("PortUsed"), QStringLiteral("after")));
    EXPECT_EQ(LoadValue(QStringLiteral("PortUsed")), QVariant(QStringLiteral("after")));
}

TEST_F(RegistryTest, TypedLoadsConvertOrReport) {
    SaveValue(QStringLiteral("Text"), QStringLiteral("abc"));
    SaveValue(QStringLiteral("Number"), QStringLiteral(" 12 "));
    SaveValue(QStringLiteral("Int"), 258);
    SaveValue(QStringLiteral("Flag"), true);
    SaveValue(QStringLiteral("Word"), QStringLiteral("false"));

    EXPECT_EQ(LoadText(QStringLiteral("Int")), QStringLiteral("258"));
    EXPECT_EQ(LoadText(QStringLiteral("Flag")), QStringLiteral("True"));
    EXPECT_EQ(LoadText(QStringLiteral("Missing"), QStringLiteral("m")), QStringLiteral("m"));
    EXPECT_EQ(LoadInt(QStringLiteral("Number")), 12);
    EXPECT_EQ(LoadInt(QStringLiteral("Missing"), -1), -1);
    EXPECT_TRUE(LoadBool(QStringLiteral("Flag")));
    EXPECT_FALSE(LoadBool(QStringLiteral("Word"), true));
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(LoadInt(QStringLiteral("Text"), 9), 9);
    EXPECT_EQ(Failure(), QStringLiteral("Type mismatch"));
    EXPECT_TRUE(LoadBool(QStringLiteral("Text"), true));
    EXPECT_EQ(Failure(), QStringLiteral("Type mismatch"));
}

TEST(RegistryFileTest, ReadKeepsEachLinesKindAndData) {
    QByteArray text = "a\\=b=sz:x\\ny\n\\;c=dword:1\n#comment\n;comment\n";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    QSettings::SettingsMap map;
    EXPECT_TRUE(RegistryFile::Read(buffer, map));
    ASSERT_EQ(map.size(), 2);
    EXPECT_EQ(map.value(QStringLiteral("a=b")).toString(), QStringLiteral("sz:x\ny"));
    EXPECT_EQ(map.value(QStringLiteral(";c")).toString(), QStringLiteral("dword:1"));

    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(RegistryFile::Write(out, map));
    out.close();
    QSettings::SettingsMap again;
    QBuffer in(&written);
    in.open(QIODevice::ReadOnly);
    RegistryFile::Read(in, again);
    EXPECT_EQ(again, map);
}

}  // namespace
}  // namespace qel
