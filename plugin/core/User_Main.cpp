#include "core/User_Main.h"

#include "core/AUF_Registry.h"
#include "core/AUF_WebLink.h"
#include "core/Client.h"
#include "core/CoreArt.h"
#include "core/ErrHandler.h"
#include "core/ImageButton.h"
#include "core/ModuleFolder.h"
#include "core/Text.h"
#include "core/UDC_Control.h"
#include "core/UiServices.h"
#include "core/WebPages.h"
#include "core/WinRes.h"
#include "forms/CDW_FileFind.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace qel {

using namespace ErrTrap;

namespace {

const QString kName = QStringLiteral("User_Main");

QAction* Item(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

// The folder of the plugin module: where a firmware file is looked for first.
QString PluginFolder() {
    const QString folder = ModuleFolder();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

}  // namespace

User_Main::User_Main(QWidget* parent) : HCF_Dialog(parent) {
    setObjectName(kName);
    setWindowTitle(QStringLiteral("  Norvane DMX-QEL Plugin"));

    auto* bar = new QMenuBar(this);
    bar->setObjectName("MenuBar");
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName("Menu_File");
    menuFileOpen_ = Item(file, "Menu_FileOpen", QStringLiteral("&Load"));
    menuExit_ = Item(file, "Menu_Exit", QStringLiteral("&Exit"));
    QMenu* connection = bar->addMenu(QStringLiteral("&Connection"));
    connection->setObjectName("Menu_Connection");
    menuSettings_ = Item(connection, "Menu_Settings", QStringLiteral("&Settings"));
    menuConnect_ = Item(connection, "Menu_Connect", QStringLiteral("&Connect"));
    menuDisconnect_ = Item(connection, "Menu_Disconnect", QStringLiteral("&Disconnect"));
    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName("Menu_Tools");
    menuDeviceInfo_ = Item(tools, "Menu_DeviceInfo", QStringLiteral("&Device Info"));
    menuRemoteManager_ = Item(tools, "Menu_RemoteManager", QStringLiteral("&Remote Manager"));
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName("Menu_Help");
    menuHelpAbout_ = Item(help, "Menu_HelpAbout", QStringLiteral("&About"));
    menuHelpUpdate_ = Item(help, "Menu_HelpUpdate", QStringLiteral("&Updates"));

    popUp_ = new QMenu(this);
    popUp_->setObjectName("PopUp_Device");
    popUpConnection_ = Item(popUp_, "PopUp_Connection", QStringLiteral("&Connection"));
    popUpDeviceInfo_ = Item(popUp_, "PopUp_DeviceInfo", QStringLiteral("&Device Info"));
    popUpReprogram_ = Item(popUp_, "PopUp_Reprogram", QStringLiteral("&Reprogram"));

    device_ = new ImageButton("Image_Device", CoreArt::Device(), this);
    device_->setToolTip(QStringLiteral("Local Device"));
    plugOff_ = new ImageButton("Image_PlugOff", CoreArt::Plug(false), this);
    plugOff_->setToolTip(QStringLiteral("Connect to Equipment"));
    plugOn_ = new ImageButton("Image_PlugOn", CoreArt::Plug(true), this);
    plugOn_->setToolTip(QStringLiteral("Disconnect from Equipment"));
    frameOff_ = new ImageButton("Image_FrameOff", CoreArt::FrameSettings(false), this);
    frameOff_->setToolTip(QStringLiteral("DMX and RDM Frame Settings"));
    frameOn_ = new ImageButton("Image_FrameOn", CoreArt::FrameSettings(true), this);
    frameOn_->setToolTip(QStringLiteral("DMX and RDM Frame Settings"));

    auto* modeFrame = new QGroupBox(QStringLiteral("Mode"), this);
    modeFrame->setObjectName("Frame_Mode");
    auto* modeLayout = new QHBoxLayout(modeFrame);
    const QString modeNames[2] = {QStringLiteral("Out"), QStringLiteral("In")};
    for (int i = 0; i < 2; ++i) {
        modes_[i] = new QRadioButton(modeNames[i], modeFrame);
        modes_[i]->setObjectName(QStringLiteral("Option_Mode%1").arg(i));
        modeLayout->addWidget(modes_[i]);
        connect(modes_[i], &QRadioButton::clicked, this, [this, i] { ModeClick(i); });
    }

    rdm_ = new QPushButton(this);
    rdm_->setObjectName("Command_RDM");
    webSite_ = new QLabel(QStringLiteral("<a href=\"product\">Norvane Web Site</a>"), this);
    webSite_->setObjectName("Label_WebSite");
    webSite_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName("StatusBar");
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel(statusBar);
    status_->setObjectName("Panel_Status");
    statusBar->addWidget(status_, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(device_, 0, 0, 2, 1);
    grid->addWidget(plugOff_, 0, 1);
    grid->addWidget(plugOn_, 0, 1);
    grid->addWidget(frameOff_, 0, 2);
    grid->addWidget(frameOn_, 0, 2);
    grid->addWidget(modeFrame, 1, 1, 1, 2);
    grid->addWidget(rdm_, 0, 3, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addLayout(grid);
    layout->addWidget(webSite_, 0, Qt::AlignRight);
    layout->addWidget(statusBar);

    // Before anything else: the size adjustment, and the button's caption.
    WinRes::AdjustForm(this);
    rdm_->setText(QStringLiteral("Configure RDM\nFixtures\n"));

    connect(menuFileOpen_, &QAction::triggered, this, &User_Main::SelectProgFile);
    connect(popUpReprogram_, &QAction::triggered, this, &User_Main::SelectProgFile);
    connect(menuExit_, &QAction::triggered, this, &QWidget::close);
    connect(menuSettings_, &QAction::triggered, this, [this] {
        OpenView(QStringLiteral(".Menu_Settings_Click"), QStringLiteral("Config_Port"),
                 control_ ? &control_->Port() : nullptr);
    });
    connect(popUpConnection_, &QAction::triggered, this, [this] {
        OpenView(QStringLiteral(".PopUp_Connection_Click"), QStringLiteral("Config_Port"),
                 control_ ? &control_->Port() : nullptr);
    });
    connect(menuConnect_, &QAction::triggered, this,
            [this] { Connect(QStringLiteral(".Menu_Connect_Click")); });
    connect(menuDisconnect_, &QAction::triggered, this, &User_Main::Disconnect);
    connect(plugOff_, &ImageButton::clicked, this,
            [this] { Connect(QStringLiteral(".Image_Plug_Click")); });
    connect(plugOn_, &ImageButton::clicked, this, &User_Main::Disconnect);
    connect(menuDeviceInfo_, &QAction::triggered, this, [this] {
        OpenView(QStringLiteral(".Menu_DeviceInfo_Click"), QStringLiteral("System_Info"),
                 control_ ? &control_->Port().IState() : nullptr);
    });
    connect(popUpDeviceInfo_, &QAction::triggered, this, [this] {
        OpenView(QStringLiteral(".PopUp_DeviceInfo_Click"), QStringLiteral("System_Info"),
                 control_ ? &control_->Port().IState() : nullptr);
    });
    const auto remote = [this] {
        OpenView(QStringLiteral(" - Remote Device Management"), QStringLiteral("Device_Select"),
                 nullptr);
    };
    connect(menuRemoteManager_, &QAction::triggered, this, remote);
    connect(rdm_, &QPushButton::clicked, this, remote);
    connect(frameOn_, &ImageButton::clicked, this, [this] {
        OpenView(QStringLiteral(" - DMX Setup Click"), QStringLiteral("Config_Frame"), nullptr);
    });
    connect(menuHelpAbout_, &QAction::triggered, this, [this] {
        OpenView(QStringLiteral(".Menu_HelpAbout_Click"), QStringLiteral("Help_About"), nullptr);
    });
    connect(menuHelpUpdate_, &QAction::triggered, this, [this] {
        OpenView(QStringLiteral(".Menu_HelpUpdate_Click"), QStringLiteral("Help_Update"),
                 control_ ? &control_->Port().IState() : nullptr);
    });
    connect(device_, &ImageButton::clicked, this, &User_Main::DeviceClick);
    connect(device_, &ImageButton::popUpRequested, this, &User_Main::DevicePopUp);
    connect(webSite_, &QLabel::linkActivated, this,
            [this] { OpenWebLink(this, WebPages::Product()); });

    // Until a controller arrives nothing is connected.
    plugOn_->hide();
    frameOn_->hide();
    status_->setText(QStringLiteral("Disconnected"));
}

UDC_Control& User_Main::Control() const {
    if (control_.isNull()) throw RunTimeError(kErrObjectNotSet);
    return *control_;
}

void User_Main::Initialise() {
    Handler h{kName + QStringLiteral(".Control (Set)")};
    h.run([&] {
        HCF_Form* form = Form();
        if (!form->DataIsSet()) return;
        if (form->DataClass() != QLatin1String("UDC_Control")) {
            LocalError(QStringLiteral("Class Object ") + Quote(form->DataClass()) +
                       QStringLiteral(" not handled"));
        }
        control_ = form->Data<UDC_Control>();
        Setup();
    });
}

void User_Main::Setup() {
    Handler h{kName + QStringLiteral(".Initialise")};
    h.run([&] {
        modes_[Control().Mode() == 1 ? 1 : 0]->setChecked(true);
        UpdateView();
        PluginUpdatePrompt();
    });
}

void User_Main::UpdateView() {
    Handler h{kName + QStringLiteral(".UpdateView")};
    h.run([&] {
        const bool connected = Control().Port().InUse();
        menuFileOpen_->setEnabled(connected);
        menuSettings_->setEnabled(!connected);
        menuConnect_->setVisible(!connected);
        menuDisconnect_->setVisible(connected);
        menuDeviceInfo_->setEnabled(connected);
        menuRemoteManager_->setEnabled(connected);
        popUpConnection_->setVisible(!connected);
        popUpDeviceInfo_->setVisible(connected);
        popUpReprogram_->setVisible(connected);
        plugOff_->setVisible(!connected);
        plugOn_->setVisible(connected);
        frameOff_->setVisible(!connected);
        frameOn_->setVisible(connected);
        rdm_->setEnabled(connected);
        status_->setText(connected ? QStringLiteral("Connected") : QStringLiteral("Disconnected"));
    });
}

void User_Main::Seize() {
    plugOff_->setEnabled(false);
    try {
        FDF_Port& port = Control().Port();
        if (port.Ready()) {
            status_->setText(QStringLiteral("Searching..."));
            status_->repaint();
            Ui().setBusyPointer(true);
            struct Normal {
                ~Normal() { Ui().setBusyPointer(false); }
            } normal;
            port.Seize();
            FirmwareUpdatePrompt();
        } else {
            // The person picks a port there, and the connection window connects
            // through this again.
            Form()->OpenForm(QStringLiteral("Config_Port"), true, &port);
        }
    } catch (...) {
        plugOff_->setEnabled(true);
        UpdateView();
        throw;
    }
    plugOff_->setEnabled(true);
    UpdateView();
}

void User_Main::Release() {
    plugOn_->setEnabled(false);
    struct Enable {
        ImageButton* image;
        ~Enable() { image->setEnabled(true); }
    } enable{plugOn_};
    Control().Port().Release();
    UpdateView();
}

void User_Main::ConnectFailed() {
    plugOff_->setEnabled(true);
    plugOn_->setEnabled(true);
    UpdateView();
    status_->setText(QStringLiteral("Disconnected"));
}

void User_Main::RunConnection(const QString& location, const std::function<void()>& action) {
    Handler h{location,
              {On(ErrSYS_Comms).then([this](const PluginError&) { ConnectFailed(); }),
               On(ErrAPI_Connection)
                   .show(QStringLiteral("Local Device Connection"))
                   .then([this](const PluginError&) { ConnectFailed(); })}};
    h.runInEvent(action);
}

void User_Main::Connect(const QString& procedure) {
    RunConnection(kName + procedure, [this] { Seize(); });
}

void User_Main::Disconnect() {
    RunConnection(kName + QStringLiteral(" - Action Port Release"), [this] { Release(); });
}

void User_Main::OpenView(const QString& procedure, const QString& view, QObject* data) {
    Handler h{kName + procedure};
    h.runInEvent([&] {
        Form()->OpenForm(view, true, data);
        UpdateView();
    });
}

void User_Main::ModeClick(int index) {
    Handler h{kName + QStringLiteral(".Option_Mode_Click")};
    h.runInEvent([&] { Control().SetMode(index); });
}

void User_Main::DeviceClick() {
    if (control_ && control_->Port().InUse()) {
        OpenView(QStringLiteral(".Image_Device_Click"), QStringLiteral("System_Info"),
                 &control_->Port().IState());
    }
}

void User_Main::DevicePopUp(const QPoint& where) {
    UpdateView();
    popUp_->popup(where);
}

// Both status objects answer Updates and Hush the same way.
template <typename Status>
void User_Main::UpdatePrompt(Status& status, const QString& title, const QString& text) {
    // A stored version that cannot be read is told by the status object itself; it must
    // not cost the person the window, or every opening fails the same way.
    Handler h{kName + QStringLiteral(".UpdatePrompt"), {Otherwise().show().absorb()}};
    if (!h.run([&] { return status.Updates(); }).value_or(false)) return;
    const QString question = text + QStringLiteral("\nDo you want to download it now");
    if (Ui().messageBox(title, question, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes) {
        OpenWebLink(this, WebPages::Support());
    } else {
        status.Hush();
    }
}

void User_Main::PluginUpdatePrompt() {
    UpdatePrompt(Control().SState(), QStringLiteral("DMXControl Plugin Upgrade"),
                 QStringLiteral("A more recent version of this Plugin is available."));
}

void User_Main::FirmwareUpdatePrompt() {
    UpdatePrompt(Control().Port().IState(), QStringLiteral("Firmware Upgrade"),
                 QStringLiteral("A more recent version of the firmware is available for your "
                                "interface."));
}

void User_Main::SelectProgFile() {
    Handler h{kName + QStringLiteral(".SelectProgFile"),
              {Otherwise().show(QStringLiteral("Firmware Upload")).passOn()}};
    h.runInEvent([&] {
        CDW_FileFind find;
        find.AddFilter(QStringLiteral("Flash Files "), QStringLiteral("FUD"));
        find.AddFilter(QStringLiteral("All Files "), QStringLiteral("*"));
        find.Caption(QStringLiteral("Firmware Program File"));
        find.FilePath(AUF_Registry::LoadText(QStringLiteral("SourceDir"), PluginFolder()));
        for (uint32_t option : {0x80000u, 0x200000u, 0x2u, 0x100000u, 0x4u, 0x200u, 0x1000000u}) {
            find.AddOption(option);
        }
        find.Search(this, false);
        if (find.FileCount() == 0) return;
        AUF_Registry::SaveValue(QStringLiteral("SourceDir"), find.FilePath());
        const QString path = QDir(find.FilePath()).filePath(find.FileName(1));
        // Nobody would follow an upgrade without its window: it must exist first.
        if (!HCF_Form::IsRegistered(QStringLiteral("Config_Prog"))) {
            LocalError(QStringLiteral("Form ") + Quote(QStringLiteral("Config_Prog")) +
                       QStringLiteral(" not found"));
        }
        Client::QEL_ReProgram(path);
        Form()->OpenForm(QStringLiteral("Config_Prog"), true);
        Control().Port().IState().Probe(true);
        UpdateView();
    });
}

}  // namespace qel
