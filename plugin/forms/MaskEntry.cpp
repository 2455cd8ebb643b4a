#include "forms/MaskEntry.h"

#include <algorithm>

namespace qel {

namespace {

// A field shows its text only up to the first code 0, as a text box does.
QString shownPart(const QString& buffer) {
    const qsizetype nul = buffer.indexOf(QChar(0));
    return nul < 0 ? buffer : buffer.left(nul);
}

}  // namespace

void MaskEntry::setMask(const InputMask& mask) {
    mask_ = mask;
    buffer_.clear();
    display_.clear();
    saved_.clear();
    caret_ = selStart_ = selLength_ = filled_ = 0;
    editing_ = complete_ = false;
}

MaskEntry::Effects MaskEntry::write(const QString& text) {
    Effects fx;
    QString value = text;
    // The value is cut to the positions it can occupy: every position when the literals
    // are part of it, the input positions otherwise.
    const int room = mask_.literalsInValue ? mask_.length() : mask_.inputCount();
    if (room > 0 && value.size() > room) value.truncate(room);
    if (!mask_.literalsInValue) {
        for (int i = 0; i < mask_.length(); ++i)
            if (!mask_.isInput(i)) value = value.left(i) + mask_.literals[i] + value.mid(i);
    }
    buffer_ = QString(mask_.length(), QChar(0));
    buffer_.replace(0, std::min<qsizetype>(value.size(), buffer_.size()),
                    value.left(buffer_.size()));
    display_ = shownPart(buffer_);
    caret_ = selStart_ = selLength_ = 0;
    countFilled();
    evaluateState(fx);
    return fx;
}

QString MaskEntry::value() const {
    QString v = buffer_;
    while (!v.isEmpty() && v.back() == QChar(0))
        v.chop(1);
    return v;
}

void MaskEntry::restoreSaved(Effects& fx) {
    display_ = saved_;
    selStart_ = std::min(selStart_, static_cast<int>(display_.size()));
    selLength_ = 0;
    buffer_ = saved_.left(mask_.length());
    if (buffer_.size() < mask_.length())
        buffer_.append(QString(mask_.length() - buffer_.size(), QChar(0)));
    countFilled();
    evaluateState(fx);
}

MaskEntry::Effects MaskEntry::revert() {
    Effects fx;
    restoreSaved(fx);
    return fx;
}

void MaskEntry::countFilled() {
    // Counted over the input positions, so that literals in a written or restored text
    // do not count towards (or against) a complete entry.
    filled_ = 0;
    for (int i = 0; i < std::min<int>(mask_.length(), buffer_.size()); ++i)
        filled_ += mask_.isInput(i) && buffer_[i] != QChar(0);
}

void MaskEntry::evaluateState(Effects& fx) {
    const int needed = mask_.inputCount();
    if (needed == 0) return;
    if (complete_ == (filled_ == needed)) return;
    complete_ = !complete_;
    // Two crossings within one event cancel out: the field is as it was.
    if (fx.stateChange)
        fx.stateChange.reset();
    else
        fx.stateChange = complete_;
}

void MaskEntry::begin(Effects& fx) {
    saved_ = display_;
    buffer_ = QString(mask_.length(), QChar(0));
    display_ = mask_.literals;
    for (int i = 0; i < mask_.length(); ++i)
        if (mask_.isInput(i)) display_[i] = mask_.placeholder;
    caret_ = mask_.firstInput();
    if (mask_.fillFromRight) {
        const int fromRight = mask_.inputBefore(mask_.length() - 1);
        if (fromRight >= 0) caret_ = fromRight;
    }
    if (caret_ < 0) caret_ = 0;
    selectOneAtCaret();
    filled_ = 0;
    editing_ = true;
    // A fresh entry holds nothing yet: a field that was complete is no longer.
    evaluateState(fx);
}

void MaskEntry::selectOneAtCaret() {
    selStart_ = std::clamp(caret_, 0, static_cast<int>(display_.size()));
    selLength_ = selStart_ < display_.size() ? 1 : 0;
}

void MaskEntry::placeCaret(int index) {
    caret_ = std::clamp(index, 0, mask_.length());
    if (!editing_) {
        selStart_ = std::min(caret_, static_cast<int>(display_.size()));
        selLength_ = 0;
        return;
    }
    // A click on a literal lands on the next place that can be typed into.
    if (!mask_.isInput(caret_)) {
        const int after = mask_.inputAfter(caret_);
        if (after >= 0) caret_ = after;
    }
    selectOneAtCaret();
}

MaskEntry::Effects MaskEntry::focusIn() {
    Effects fx;
    if (editing_) {
        selectOneAtCaret();
        return fx;
    }
    if (filled_ == 0) begin(fx);
    selStart_ = std::clamp(caret_, 0, static_cast<int>(display_.size()));
    selLength_ = display_.size() - selStart_;
    evaluateState(fx);
    return fx;
}

MaskEntry::Effects MaskEntry::focusOut() {
    Effects fx;
    if (filled_ == 0) {
        // Leaving without typing anything gives the old text back and ends the entry.
        restoreSaved(fx);
        editing_ = false;
        return fx;
    }
    if (!editing_) return fx;
    QString value;
    for (int i = 0; i < mask_.length(); ++i) {
        if (!mask_.isInput(i)) {
            if (mask_.literalsInValue) value.append(mask_.literals[i]);
            continue;
        }
        const QChar c = i < buffer_.size() ? buffer_[i] : QChar(0);
        if (c == QChar(0) || c == u' ') {
            if (!(mask_.codes[i] & MaskFlag::Optional)) {
                fx.refused = true;
                return fx;
            }
            continue;
        }
        value.append(c);
    }
    buffer_ = value;
    editing_ = false;
    fx.finished = value;
    return fx;
}

void MaskEntry::clearAt(int index, Effects& fx) {
    display_[index] = mask_.placeholder;
    if (buffer_[index] != QChar(0)) {
        buffer_[index] = QChar(0);
        --filled_;
        evaluateState(fx);
    }
}

MaskEntry::Effects MaskEntry::key(Key key, QChar typed) {
    Effects fx;
    switch (key) {
        case Key::Escape:
            if (editing_) {
                restoreSaved(fx);
                editing_ = false;
                selStart_ = selLength_ = 0;
            } else {
                fx.beep = true;
            }
            return fx;
        case Key::Left: {
            // At the first input position the caret stays where it is.
            const int before = mask_.inputBefore(caret_);
            if (before >= 0) caret_ = before;
            selectOneAtCaret();
            return fx;
        }
        case Key::Right: {
            const int after = mask_.inputAfter(caret_);
            caret_ = after >= 0 ? after : std::min(caret_ + 1, mask_.length());
            selectOneAtCaret();
            return fx;
        }
        case Key::Up:
        case Key::Down:
            selectOneAtCaret();
            return fx;
        case Key::Home:
        case Key::End: {
            const int to =
                key == Key::Home ? mask_.firstInput() : mask_.inputBefore(mask_.length());
            if (to >= 0) caret_ = to;
            selectOneAtCaret();
            return fx;
        }
        default:
            break;
    }

    if (!editing_) begin(fx);
    // A text restored while the entry goes on may be shorter than the mask.
    for (qsizetype i = display_.size(); i < mask_.length(); ++i)
        display_.append(mask_.isInput(i) ? mask_.placeholder : mask_.literals[i]);
    if (key == Key::Delete) {
        if (mask_.isInput(caret_))
            clearAt(caret_, fx);
        else
            fx.beep = true;
    } else if (key == Key::Backspace) {
        const int target = mask_.inputBefore(caret_);
        if (target >= 0) {
            clearAt(target, fx);
            caret_ = target;
        } else {
            fx.beep = true;
        }
    } else {
        const std::optional<QChar> accepted = mask_.isInput(caret_) && !typed.isSurrogate()
                                                  ? InputMask::accept(typed, mask_.codes[caret_])
                                                  : std::nullopt;
        if (!accepted) {
            fx.beep = true;
        } else {
            display_[caret_] = *accepted;
            const bool wasEmpty = buffer_[caret_] == QChar(0);
            buffer_[caret_] = *accepted;
            if (wasEmpty) {
                ++filled_;
                evaluateState(fx);
            }
            const int next = mask_.inputAfter(caret_);
            caret_ = next >= 0 ? next : caret_ + 1;
        }
    }
    selectOneAtCaret();
    return fx;
}

}  // namespace qel
