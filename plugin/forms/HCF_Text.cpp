#include "forms/HCF_Text.h"

#include "core/ErrHandler.h"
#include "core/UiServices.h"
#include "forms/ProgrammingError.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace qel {

namespace {

bool ActivationOnly(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

bool ModifierOnly(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
            return true;
        default:
            return false;
    }
}

}  // namespace

HCF_Text::HCF_Text(QObject* parent) : QObject(parent) {}

HCF_Text::~HCF_Text() {
    detach();
}

void HCF_Text::detach() {
    if (box_) box_->removeEventFilter(this);
    box_ = nullptr;
    focused_ = false;
}

void HCF_Text::Assign(QWidget* control) {
    auto* box = qobject_cast<QLineEdit*>(control);
    if (!box) {
        const QString type =
            control ? control->metaObject()->className() : QStringLiteral("Nothing");
        ProgrammingError(QStringLiteral("InputFilter Class"),
                         QStringLiteral("Type \"%1\" not handled").arg(type), MsgIcon::Critical);
        return;
    }
    detach();
    box_ = box;
    // Nothing may reach the text except through the wrapper: no pasting by menu, mouse
    // or drop, no input method composing.
    box_->setContextMenuPolicy(Qt::NoContextMenu);
    box_->setDragEnabled(false);
    box_->setAcceptDrops(false);
    box_->setAttribute(Qt::WA_InputMethodEnabled, false);
    box_->installEventFilter(this);
    focused_ = box_->hasFocus();
}

void HCF_Text::Mask(const QString& mask) {
    QString refusal;
    const std::optional<InputMask> parsed = InputMask::parse(mask, &refusal);
    if (!parsed) {
        ProgrammingError(QString(), refusal, MsgIcon::None);
        return;
    }
    entry_.setMask(*parsed);
    apply({});
}

void HCF_Text::Text(const QString& value) {
    apply(entry_.write(value));
}

QString HCF_Text::Text() const {
    return entry_.value();
}

QString HCF_Text::Name() const {
    const QString name = box_ ? box_->objectName() : QString();
    if (name.size() > 5 && name.startsWith(QLatin1String("Text_"))) return name.mid(5);
    return name;
}

void HCF_Text::SetFocus() {
    if (box_) box_->setFocus(Qt::OtherFocusReason);
}

void HCF_Text::Revert() {
    apply(entry_.revert());
}

void HCF_Text::apply(const MaskEntry::Effects& fx) {
    if (box_) {
        if (box_->text() != entry_.display()) box_->setText(entry_.display());
        if (entry_.selectionLength() > 0)
            box_->setSelection(entry_.selectionStart(), entry_.selectionLength());
        else
            box_->setCursorPosition(entry_.selectionStart());
    }
    if (fx.beep) Ui().beep();
    if (fx.stateChange) emit StateChange(*fx.stateChange);
    if (fx.finished) emit AfterUpdate(*fx.finished);
    if (fx.refused) {
        Ui().messageBox(QString(), QStringLiteral("Data not appropriate for Input Mask"),
                        MsgIcon::None, MsgButtons::Ok);
        SetFocus();
    }
}

void HCF_Text::focusIn() {
    focused_ = true;
    apply(entry_.focusIn());
}

void HCF_Text::focusOut() {
    focused_ = false;
    apply(entry_.focusOut());
}

bool HCF_Text::keyPress(QKeyEvent* e) {
    const int key = e->key();
    // Moving on (Tab, Enter for the default button), modifiers, copying and mnemonics
    // belong to the window.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
        key == Qt::Key_Enter || ModifierOnly(key) || e->matches(QKeySequence::Copy))
        return false;
    using Key = MaskEntry::Key;
    const auto special = [&]() -> std::optional<Key> {
        switch (key) {
            case Qt::Key_Escape:
                return Key::Escape;
            case Qt::Key_Left:
                return Key::Left;
            case Qt::Key_Right:
                return Key::Right;
            case Qt::Key_Up:
                return Key::Up;
            case Qt::Key_Down:
                return Key::Down;
            case Qt::Key_Home:
                return Key::Home;
            case Qt::Key_End:
                return Key::End;
            case Qt::Key_Delete:
                return Key::Delete;
            case Qt::Key_Backspace:
                return Key::Backspace;
            default:
                return std::nullopt;
        }
    }();
    if (special) {
        apply(entry_.key(*special));
        return true;
    }
    const QString text = e->text();
    const bool shortcut =
        e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (shortcut || text.isEmpty() || text.front().category() == QChar::Other_Control)
        return true;  // no character: nothing to type, and nothing for the text box either
    for (QChar ch : text)
        apply(entry_.key(Key::Character, ch));
    return true;
}

void HCF_Text::mousePress(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (!box_->hasFocus()) box_->setFocus(Qt::MouseFocusReason);
    entry_.placeCaret(box_->cursorPositionAt(e->position().toPoint()));
    apply({});
}

bool HCF_Text::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_) return false;
    // Every event passes here (paint, timers): the handler is made only for those handled.
    const auto guarded = [this](auto&& body) {
        ErrTrap::Handler handler{QStringLiteral("HCF_Text.") + Name()};
        handler.runInEvent(body);
    };
    switch (event->type()) {
        case QEvent::KeyPress: {
            bool consumed = false;
            guarded([&] { consumed = keyPress(static_cast<QKeyEvent*>(event)); });
            return consumed;
        }
        case QEvent::FocusIn: {
            // A window coming back to the front gives no new focus to its field.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            guarded([&] {
                if (!ActivationOnly(reason) || !focused_) focusIn();
            });
            return false;
        }
        case QEvent::FocusOut:
            guarded([&] {
                if (!ActivationOnly(static_cast<QFocusEvent*>(event)->reason())) focusOut();
            });
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            guarded([&] { mousePress(static_cast<QMouseEvent*>(event)); });
            return true;
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return true;
        default:
            return false;
    }
}

}  // namespace qel
