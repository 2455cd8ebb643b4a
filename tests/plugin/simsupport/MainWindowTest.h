// The plugin's main window opened as the host opens it, with a simulated unit behind the
// library: the ground the tests that use the windows as a person does stand on.
#pragma once

#include "core/UDC_Control.h"
#include "simsupport/SimUnitLibrary.h"
#include "support/ModalScript.h"
#include "support/OpenedLinks.h"
#include "support/ScriptedUi.h"

#include <QString>

#include <gtest/gtest.h>

#include <string>

class QWidget;

namespace qel::test {

class MainWindowTest : public ::testing::Test {
  protected:
    // `host` names the host whose shared settings the plugin uses; `rig` is the rig name
    // or text of the simulated units.
    explicit MainWindowTest(const QString& host, const std::string& rig = "default");

    // Opens the main window as the host interface does, runs the queued steps while it
    // is open, and returns when it has closed.
    void OpenMain();
    // Picks unit 1 and clicks the plug, as a person connects.
    void Connect(QWidget* main);

    static inline const QString kSection = QStringLiteral("Plugins\\Norvane-QEL.out.so");
    const QString host;

    ScriptedUi ui;
    SimUnitLibrary unit;
    UDC_Control control;
    ModalScript script;
    OpenedLinks links;
};

}  // namespace qel::test
