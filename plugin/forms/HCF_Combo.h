// Makes a drop-down list a list of (value, text) entries that is read and set by value
// and reports a selection change with the selected value.
//
//   sensors_ = new HCF_Combo(this);
//   sensors_->Initialise(ui->ComboSensor);
//   sensors_->AddItem(1, "Lamp temperature");
//   connect(sensors_, &HCF_Combo::Change, this, &Device_Sensor::sensorChosen);
//   sensors_->Value(1);                  // selects and reports Change(1)
//
// Keys: Enter moves on to the next control, Escape goes back to the entry the list had
// when it got the focus, the arrows step through the entries; other keys do nothing.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

#include <QComboBox>

namespace qel {

class HCF_Combo : public QObject {
    Q_OBJECT
  public:
    explicit HCF_Combo(QObject* parent = nullptr);
    ~HCF_Combo() override;

    // Attaches the list, once. A second call is a programming error and is refused; a
    // null list is ignored.
    void Initialise(QComboBox* list);
    QComboBox* LinkBox() const { return box_; }

    // The value of the selected entry (0 when none is selected).
    int32_t Value() const;
    // Selects the first entry with this value and reports Change like a click. A value
    // that no entry has is told in a message and raised as error 9 to the caller; the
    // selection stays.
    void Value(int32_t value);
    QString Text() const;
    bool HasItem(int32_t value) const;
    void AddItem(int32_t value, const QString& text);
    int Items() const;
    // Selects again the entry the list had when it last got or lost the focus, without
    // reporting Change.
    void Revert();

  signals:
    void Change(int32_t value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void picked();
    void step(int by);
    bool keyPress(class QKeyEvent* event);

    QPointer<QComboBox> box_;
    int saved_ = -1;
    bool suppress_ = false;
    bool initialised_ = false;
};

}  // namespace qel
