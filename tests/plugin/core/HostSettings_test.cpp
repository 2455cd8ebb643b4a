#include "core/HostSettings.h"
#include "core/PluginError.h"
#include "support/GTestQt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace qel {
namespace {

using namespace HostSettings;

const QString kApp = QStringLiteral("TestHost");
const QString kSection = QStringLiteral("Plugins\\Norvane-QEL.out.so");

class HostSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { QFile::remove(File()); }
    void TearDown() override { QFile::remove(File()); }
    static QString File() {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, kApp).fileName();
    }
};

TEST_F(HostSettingsTest, RoundTripUnderTheSection) {
    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("DMXInActive"), QStringLiteral("False")),
              QStringLiteral("False"));
    SaveSetting(kApp, kSection, QStringLiteral("DMXInActive"), QStringLiteral("True"));
    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("DMXInActive")), QStringLiteral("True"));
    EXPECT_EQ(GetSetting(QStringLiteral("OtherHost"), kSection, QStringLiteral("DMXInActive")),
              QString());
    QSettings raw(QSettings::IniFormat, QSettings::UserScope, kApp);
    EXPECT_EQ(raw.value(QStringLiteral("Plugins/Norvane-QEL.out.so/DMXInActive")).toString(),
              QStringLiteral("True"));
}

TEST_F(HostSettingsTest, DamagedFileGivesTheDefault) {
    QDir().mkpath(QFileInfo(File()).absolutePath());
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Plugins]\nNorvane-QEL.out.so\\DMXInActive=a, b\n\x01\x02garbage[[\n");
    file.close();
    EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("DMXInActive"), QStringLiteral("False")),
              QStringLiteral("False"));
}

TEST_F(HostSettingsTest, EmptyNamesAreRefused) {
    for (const auto& [app, section, key] : {std::tuple{QString(), kSection, QStringLiteral("K")},
                                            std::tuple{kApp, QString(), QStringLiteral("K")},
                                            std::tuple{kApp, kSection, QString()}}) {
        try {
            SaveSetting(app, section, key, QStringLiteral("v"));
            ADD_FAILURE();
        } catch (const PluginError& e) {
            EXPECT_EQ(e.number(), kErrInvalidCall);
        }
    }
}

}  // namespace
}  // namespace qel
