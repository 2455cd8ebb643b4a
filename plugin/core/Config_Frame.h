// The unit's DMX output timing (frame rate, break and mark-after-break) and its RDM
// response time-out. The unit owns the values and their limits: a value is written as
// soon as the person finishes an entry, the unit enforces the ranges and the dependency
// between frame rate and time-out, and the window shows what the unit made of it.
#pragma once

#include "core/ClosingDialog.h"

#include <QString>

#include <array>

class QPushButton;

namespace qel {

class HCF_Text;

class Config_Frame : public ClosingDialog {
    Q_OBJECT
  public:
    inline static const QString kName = QStringLiteral("Config_Frame");

    explicit Config_Frame(QWidget* parent = nullptr);

  protected:
    void Initialise() override;

  private:
    // One setting of the unit and the field that shows it.
    struct Setting {
        QString key;   // the field is "Input_" + key
        QString item;  // its name in the defaults' message
        int defaultValue;
        int (*get)(int item);  // item 1 current, 2 minimum, 3 maximum
        void (*set)(int value);
        HCF_Text* field = nullptr;
    };
    enum Index { FrameRate, BreakTime, MarkTime, DelayTime };

    void Entered(Index index, const QString& text);
    void Defaults();
    // Writes a value; false when the unit refused it as out of range.
    static bool Write(const Setting& setting, int value);
    static int Shown(const Setting& setting);

    std::array<Setting, 4> settings_;
    QPushButton* defaults_ = nullptr;
};

}  // namespace qel
