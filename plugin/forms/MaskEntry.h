// The typing model of a masked entry field, apart from any widget: what the field shows,
// which single character is highlighted, what has been typed, and when an entry is
// complete, finished or refused. The field wrapper feeds it focus changes and keys and
// carries out the effects it reports.
#pragma once

#include "forms/InputMask.h"

#include <QString>

#include <optional>

namespace qel {

class MaskEntry {
  public:
    enum class Key { Escape, Left, Right, Up, Down, Home, End, Delete, Backspace, Character };

    // What an event asks of the field besides showing display() and selection().
    struct Effects {
        bool beep = false;
        std::optional<bool> stateChange;  // the field became complete (true) or not (false)
        std::optional<QString> finished;  // an entry was finished with this value
        bool refused = false;             // a required position was left empty
    };

    // Installs a mask. Whatever was typed or written under the previous one is dropped.
    void setMask(const InputMask& mask);
    const InputMask& mask() const { return mask_; }

    // Shows a value in the field.
    Effects write(const QString& value);
    // The value: after a finished entry the entered value, after a write the written
    // value with the literals that are not part of the value.
    QString value() const;

    // Restores the text shown when the entry began. The editing state stays as it was.
    Effects revert();

    Effects focusIn();
    Effects focusOut();
    Effects key(Key key, QChar typed = {});
    // The caret was put somewhere by other means (a mouse click). During an entry it
    // moves on from a literal to the next input position.
    void placeCaret(int index);

    const QString& display() const { return display_; }
    int selectionStart() const { return selStart_; }
    int selectionLength() const { return selLength_; }
    bool editing() const { return editing_; }
    bool complete() const { return complete_; }
    int filledCount() const { return filled_; }
    int caret() const { return caret_; }

  private:
    void begin(Effects& fx);
    void selectOneAtCaret();
    void restoreSaved(Effects& fx);
    void countFilled();
    void evaluateState(Effects& fx);
    void clearAt(int index, Effects& fx);

    InputMask mask_;
    QString buffer_;   // code 0 where nothing has been entered
    QString display_;  // what the field shows
    QString saved_;    // what the field showed when the entry began
    int caret_ = 0;
    int selStart_ = 0;
    int selLength_ = 0;
    int filled_ = 0;
    bool editing_ = false;
    bool complete_ = false;
};

}  // namespace qel
