// The port manager: which interface unit the plugin talks to, opening and releasing it,
// and finding the unit used last time again at start-up.
#pragma once

#include "core/DEV_Status.h"

#include "forms/HCF_Data.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace qel {

class FDF_Port : public QObject, public HCF_Data {
    Q_OBJECT

  public:
    explicit FDF_Port(QObject* parent = nullptr);
    // Releases a port that is still open.
    ~FDF_Port() override;

    QString DataClass() const override { return QStringLiteral("FDF_Port"); }

    int Index() const { return index_; }
    // Chooses port `value` (1-based); refused while the port is open.
    void SetIndex(int value);
    DEV_Status& IState() { return status_; }
    const QString& PortName() const { return name_; }

    // A port is chosen; when none is, looks for the one used last time first.
    bool Ready();
    bool InUse() const { return inUse_; }
    // Chooses the port named in "PortUsed" when the library lists it.
    bool FindLast();
    // Opens the chosen port, probes the unit and remembers the port.
    void Seize();
    void Release();

    // Reads the library's port list again; returns the number of ports.
    int Items();
    // Port name i (1-based) of the last Items(); empty outside the list.
    QString Item(int i) const;

  private:
    QString name_;
    bool inUse_ = false;
    bool ready_ = false;
    int index_ = 0;
    QStringList list_{QString()};
    bool nameStored_ = false;
    DEV_Status status_;
};

}  // namespace qel
