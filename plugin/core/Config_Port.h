// The connection window: pick the interface port, connect or disconnect. It opens no
// port itself: every connect and disconnect is asked of the window that opened it.
#pragma once

#include "forms/HCF_View.h"

#include <QPointer>

class QComboBox;
class QGroupBox;
class QLabel;

namespace qel {

class FDF_Port;
class FDF_PortEI;
class HCF_Combo;
class ImageButton;

class Config_Port : public HCF_Dialog {
    Q_OBJECT

  public:
    explicit Config_Port(QWidget* parent = nullptr);

  private:
    // Takes the port manager handed over (set-up runs with or without one).
    void Initialise() override;
    void Setup();
    void PortChosen(int32_t value);
    void PlugClick(bool connect);
    // The images and the port list as the port's state says.
    void ShowState(bool ready);
    FDF_Port& Port() const;

    QPointer<FDF_Port> port_;
    FDF_PortEI* opener_ = nullptr;
    bool resetting_ = false;
    HCF_Combo* ports_;
    QComboBox* connection_;
    QComboBox* portList_;
    ImageButton* connected_;
    ImageButton* disconnected_;
    ImageButton* exit_;
};

}  // namespace qel
