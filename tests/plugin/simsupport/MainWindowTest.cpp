#include "simsupport/MainWindowTest.h"

#include "core/AUF_Registry.h"
#include "core/CoreViews.h"
#include "core/HostSettings.h"
#include "forms/HCF_Form.h"

#include <QWidget>

namespace qel::test {

MainWindowTest::MainWindowTest(const QString& hostName, const std::string& rig)
    : host(hostName), unit(rig) {
    RegisterCoreViews();
    // Nothing known from an earlier test: no port, no newer versions, no image folder.
    for (const char* name : {"PortUsed", "Latest_Software", "ModelFirmware-3", "SourceDir"})
        AUF_Registry::SaveValue(name, QString());
    HostSettings::SaveSetting(host, kSection, "DMXInActive", "False");
    control.Initialise(nullptr, host, kSection);
}

void MainWindowTest::OpenMain() {
    HCF_Form root;
    root.OpenForm("User_Main", true, &control);
}

void MainWindowTest::Connect(QWidget* main) {
    control.Port().SetIndex(1);
    ClickOn(main->findChild<QWidget*>("Image_PlugOff"));
}

}  // namespace qel::test
