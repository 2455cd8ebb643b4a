#include "core/Config_Port.h"

#include "core/CoreArt.h"
#include "core/ErrHandler.h"
#include "core/FDF_Port.h"
#include "core/FDF_PortEI.h"
#include "core/ImageButton.h"
#include "core/Text.h"
#include "core/UiServices.h"
#include "core/WinRes.h"
#include "forms/HCF_Combo.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qel {

using namespace ErrTrap;

Config_Port::Config_Port(QWidget* parent) : HCF_Dialog(parent) {
    setObjectName("Config_Port");
    setWindowTitle(QStringLiteral("  Connect to Equipment"));

    ports_ = new HCF_Combo(this);
    auto* frame = new QGroupBox(QStringLiteral("Connection Details"), this);
    frame->setObjectName("Frame_Connection");
    auto* grid = new QGridLayout(frame);
    auto* connectionLabel = new QLabel(QStringLiteral("Connection:"), frame);
    connectionLabel->setObjectName("Label_Connection");
    connection_ = new QComboBox(frame);
    connection_->setObjectName("Combo_Connection");
    connection_->addItem(QStringLiteral("USB Port"));
    connection_->setCurrentIndex(0);
    auto* portLabel = new QLabel(QStringLiteral("Port:"), frame);
    portLabel->setObjectName("Label_Port");
    portList_ = new QComboBox(frame);
    portList_->setObjectName("Combo_Port");
    portList_->setMinimumContentsLength(18);
    ports_->Initialise(portList_);
    grid->addWidget(connectionLabel, 0, 0);
    grid->addWidget(connection_, 0, 1);
    grid->addWidget(portLabel, 1, 0);
    grid->addWidget(portList_, 1, 1);

    connected_ = new ImageButton("Image_Connected", CoreArt::Plug(true), this);
    connected_->setToolTip(QStringLiteral("Disconnect from Equipment"));
    disconnected_ = new ImageButton("Image_Disconnected", CoreArt::Plug(false), this);
    disconnected_->setToolTip(QStringLiteral("Connect to Equipment"));
    exit_ = new ImageButton("Image_Exit", CoreArt::Exit(), this);
    exit_->setToolTip(QStringLiteral("Close"));
    auto* instruction = new QLabel(QStringLiteral("Define Connection Settings"), this);
    instruction->setObjectName("Label_Instruction");

    auto* images = new QHBoxLayout;
    images->addWidget(connected_);
    images->addWidget(disconnected_);
    images->addStretch(1);
    images->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction);
    layout->addWidget(frame);
    layout->addLayout(images);
    connected_->hide();
    disconnected_->setEnabled(false);

    connect(ports_, &HCF_Combo::Change, this, &Config_Port::PortChosen);
    connect(disconnected_, &ImageButton::clicked, this, [this] { PlugClick(true); });
    connect(connected_, &ImageButton::clicked, this, [this] { PlugClick(false); });
    connect(exit_, &ImageButton::clicked, this, &QWidget::close);
    WinRes::AdjustForm(this);
}

FDF_Port& Config_Port::Port() const {
    if (port_.isNull()) throw RunTimeError(kErrObjectNotSet);
    return *port_;
}

void Config_Port::Initialise() {
    Handler h{objectName() + QStringLiteral(".Control (Set)"),
              {On(ErrAPI_Connection).show(QStringLiteral("Connection Port")).passOn()}};
    h.run([&] {
        HCF_Form* form = Form();
        if (form->DataIsSet()) {
            if (form->DataClass() != QLatin1String("FDF_Port")) {
                LocalError(QStringLiteral("Class Object ") + Quote(form->DataClass()) +
                           QStringLiteral(" not handled"));
            }
            port_ = form->Data<FDF_Port>();
        }
        opener_ = dynamic_cast<FDF_PortEI*>(form->Ancestor(1));
        Setup();
    });
}

void Config_Port::Setup() {
    Handler h{objectName() + QStringLiteral(".Initialise"),
              {On(ErrAPI_PortStatus).then([this](const PluginError& e) {
                   // The library names no ports while one is open: close it and try again,
                   // once; a library that still refuses is a failure like any other.
                   if (resetting_) throw e;
                   const struct Resetting {
                       bool& flag;
                       explicit Resetting(bool& f) : flag(f) { flag = true; }
                       ~Resetting() { flag = false; }
                   } resetting{resetting_};
                   Port().Release();
                   Ui().messageBox(QStringLiteral("Connection Port"),
                                   QStringLiteral("Resetting Connection"), MsgIcon::Exclamation,
                                   MsgButtons::Ok);
                   Setup();
               }),
               On(ErrAPI_Connection).passOn()}};
    h.run([&] {
        FDF_Port& port = Port();
        bool ready = port.Ready();
        const int count = port.Items();
        portList_->clear();
        for (int i = 1; i <= count; ++i)
            ports_->AddItem(i, port.Item(i));
        if (port.Index() >= 1 && port.Index() <= count) {
            const QSignalBlocker quiet(ports_);
            ports_->Value(port.Index());
        } else {
            // No port chosen yet: the list shows none, so that the person picks one.
            portList_->setCurrentIndex(-1);
            ready = false;
        }
        ShowState(ready);
    });
}

void Config_Port::ShowState(bool ready) {
    const bool inUse = Port().InUse();
    portList_->setEnabled(!inUse);
    if (ready) {
        connected_->setVisible(inUse);
        disconnected_->setVisible(!inUse);
        disconnected_->setEnabled(true);
    } else {
        connected_->setVisible(false);
        disconnected_->setVisible(true);
        disconnected_->setEnabled(false);
    }
}

void Config_Port::PortChosen(int32_t value) {
    Handler h{objectName() + QStringLiteral(".Combo_Port_Click")};
    h.runInEvent([&] {
        Port().SetIndex(value);
        disconnected_->setEnabled(Port().Ready());
    });
}

void Config_Port::PlugClick(bool connect) {
    const QString local = QStringLiteral("Local connection");
    Handler h{objectName() + QStringLiteral(" - Action Connect Click"),
              {On(ErrSYS_Local).show().absorb(),
               On(ErrSYS_Comms).then([this](const PluginError&) { BugOut(ErrSYS_Comms); }),
               On(ErrAPI_Connection).ask(local).then([this](const PluginError&) {
                   BugOut(ErrSYS_Comms);
               }),
               On(0).show().passOn(),
               Otherwise().show(local).then([this](const PluginError& e) { BugOut(e); })}};
    h.runInEvent([&] {
        h.step([&] {
            if (opener_ == nullptr) throw RunTimeError(kErrObjectNotSet);
            if (connect) {
                opener_->Seize();
            } else {
                opener_->Release();
            }
        });
        ShowState(Port().Ready());
    });
}

}  // namespace qel
