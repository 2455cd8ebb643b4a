// The device information window: the unit's name, serial number, hardware and firmware
// revisions with the build, and its RDM unique ID. A click anywhere closes it.
#pragma once

#include "forms/HCF_View.h"

class QLabel;

namespace qel {

class System_Info : public HCF_Dialog {
    Q_OBJECT

  public:
    explicit System_Info(QWidget* parent = nullptr);

    // The unit's own RDM UID as shown: "4A 53 : 00 00 12 34".
    static QString UidText(const QByteArray& uid);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void Initialise() override;
    QLabel* Value(const QString& name, const QString& caption, int row);

    QLabel* heading_;
    QLabel* serial_;
    QLabel* hardware_;
    QLabel* firmware_;
    QLabel* uid_;
};

}  // namespace qel
