// The plugin's main window: connect and disconnect, the mode, and the way to every other
// window of the plugin. It carries out every connect and disconnect, also those the
// connection window asks for.
#pragma once

#include "core/FDF_PortEI.h"
#include "forms/HCF_View.h"

#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace qel {

class ImageButton;
class UDC_Control;

class User_Main : public HCF_Dialog, public FDF_PortEI {
    Q_OBJECT

  public:
    explicit User_Main(QWidget* parent = nullptr);

    // Connect: opens the chosen port (or lets the person choose one first).
    void Seize() override;
    // Disconnect.
    void Release() override;

    // Sets every element from the port's state.
    void UpdateView();

    QMenu* PopUpMenu() const { return popUp_; }

  private:
    void Initialise() override;
    void Setup();
    UDC_Control& Control() const;

    // The person's ways in: each reports its own failures under its own location.
    void Connect(const QString& procedure);
    void Disconnect();
    void OpenView(const QString& procedure, const QString& view, QObject* data);
    void SelectProgFile();
    void ModeClick(int index);
    void DeviceClick();
    void DevicePopUp(const QPoint& where);

    template <typename Status>
    void UpdatePrompt(Status& status, const QString& title, const QString& text);
    void PluginUpdatePrompt();
    void FirmwareUpdatePrompt();
    // A failed connect or disconnect leaves both plug images usable and says so.
    void ConnectFailed();
    // Runs a connect or disconnect: a failure to reach the unit leaves the window
    // disconnected, a failing port is told under its own title first.
    void RunConnection(const QString& location, const std::function<void()>& action);

    QPointer<UDC_Control> control_;

    QAction* menuFileOpen_;
    QAction* menuExit_;
    QAction* menuSettings_;
    QAction* menuConnect_;
    QAction* menuDisconnect_;
    QAction* menuDeviceInfo_;
    QAction* menuRemoteManager_;
    QAction* menuHelpAbout_;
    QAction* menuHelpUpdate_;
    QMenu* popUp_;
    QAction* popUpConnection_;
    QAction* popUpDeviceInfo_;
    QAction* popUpReprogram_;
    ImageButton* device_;
    ImageButton* plugOff_;
    ImageButton* plugOn_;
    ImageButton* frameOff_;
    ImageButton* frameOn_;
    QRadioButton* modes_[2];
    QPushButton* rdm_;
    QLabel* webSite_;
    QLabel* status_;
};

}  // namespace qel
