// Makes a line edit a masked entry field. The wrapper owns all typing: the field shows
// the mask's literals and placeholders, one character is highlighted where the next
// key goes, keys that the mask refuses beep, and a finished entry is reported once,
// when the field loses the focus.
//
//   hours_ = new HCF_Text(this);
//   hours_->Assign(ui->Text_Hours);
//   hours_->Mask("09999999;1");          // before Text; clears the field
//   hours_->Text(QString::number(h));
//   connect(hours_, &HCF_Text::AfterUpdate, this, &Device_Lamp::hoursEntered);
#pragma once

#include "forms/MaskEntry.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <QLineEdit>
class QWidget;
class QKeyEvent;
class QMouseEvent;

namespace qel {

class HCF_Text : public QObject {
    Q_OBJECT
  public:
    explicit HCF_Text(QObject* parent = nullptr);
    ~HCF_Text() override;

    // Attaches a line edit. Any other control is refused with a message ("Type "X" not
    // handled") and leaves the wrapper as it was.
    void Assign(QWidget* control);
    QLineEdit* TextBox() const { return box_; }

    // Installs a mask. A bad second field is refused with a message and the previous
    // mask stays. The field is emptied: write Text afterwards.
    void Mask(const QString& mask);

    // Shows a value in the field.
    void Text(const QString& value);
    // The entered value after a finished entry; the written value (with the literals
    // that are not part of the value) after a write.
    QString Text() const;

    // The control's name without a leading "Text_".
    QString Name() const;
    void SetFocus();
    // Shows again the text the field had when the last entry began.
    void Revert();

    bool Complete() const { return entry_.complete(); }

  signals:
    // An entry was finished (the field lost the focus) with this value.
    void AfterUpdate(const QString& text);
    // The field became complete (all input positions filled) or stopped being so.
    void StateChange(bool complete);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void detach();
    bool keyPress(QKeyEvent* event);
    void mousePress(QMouseEvent* event);
    void focusIn();
    void focusOut();
    void apply(const MaskEntry::Effects& effects);

    QPointer<QLineEdit> box_;
    MaskEntry entry_;
    // The field is its window's focus widget (it stays so while another window is active).
    bool focused_ = false;
};

}  // namespace qel
