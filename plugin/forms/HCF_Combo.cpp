#include "forms/HCF_Combo.h"

#include "core/ErrHandler.h"
#include "core/PluginError.h"
#include "forms/ProgrammingError.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

namespace qel {

HCF_Combo::HCF_Combo(QObject* parent) : QObject(parent) {}

HCF_Combo::~HCF_Combo() {
    if (box_) box_->removeEventFilter(this);
}

void HCF_Combo::Initialise(QComboBox* list) {
    if (initialised_) {
        ProgrammingError(QStringLiteral("HCF_Combo.Initialise"),
                         QStringLiteral("Instance may not be re-assigned"), MsgIcon::Critical);
        return;
    }
    if (!list) return;
    box_ = list;
    initialised_ = true;
    saved_ = box_->currentIndex();
    box_->installEventFilter(this);
    // These come from the event loop: a failing Change handler ends there.
    connect(box_, &QComboBox::activated, this, [this] {
        ErrTrap::Handler handler{QStringLiteral("HCF_Combo.Click")};
        handler.runInEvent([&] { picked(); });
    });
    connect(box_, &QComboBox::editTextChanged, this, [this] {
        ErrTrap::Handler handler{QStringLiteral("HCF_Combo.Change")};
        handler.runInEvent([&] {
            if (!suppress_) emit Change(Value());
        });
    });
}

int32_t HCF_Combo::Value() const {
    if (!box_ || box_->currentIndex() < 0) return 0;
    return box_->currentData().toInt();
}

void HCF_Combo::Value(int32_t value) {
    const int index = box_ ? box_->findData(value) : -1;
    if (index < 0) {
        const QString source = QStringLiteral("HCF_Combo.Value (Let)");
        Ui().messageBox(source, QStringLiteral("Index value %1 not found in list").arg(value),
                        MsgIcon::Critical, MsgButtons::Ok);
        throw PluginError(kErrSubscript, source, RunTimeDescription(kErrSubscript));
    }
    box_->setCurrentIndex(index);
    picked();
}

QString HCF_Combo::Text() const {
    return box_ ? box_->currentText() : QString();
}

bool HCF_Combo::HasItem(int32_t value) const {
    return box_ && box_->findData(value) >= 0;
}

void HCF_Combo::AddItem(int32_t value, const QString& text) {
    if (!box_) {
        ProgrammingError(QStringLiteral("HCF_Combo.AddItem"),
                         QStringLiteral("Object not yet initialised"), MsgIcon::None);
        return;
    }
    box_->addItem(text, value);
}

int HCF_Combo::Items() const {
    return box_ ? box_->count() : 0;
}

void HCF_Combo::Revert() {
    if (!box_) return;
    suppress_ = true;
    box_->setCurrentIndex(saved_ < box_->count() ? saved_ : -1);
    suppress_ = false;
}

void HCF_Combo::picked() {
    if (suppress_ || !box_ || box_->currentText().isEmpty()) return;
    emit Change(Value());
}

void HCF_Combo::step(int by) {
    const int to = box_->currentIndex() + by;
    if (to < 0 || to >= box_->count()) return;
    box_->setCurrentIndex(to);
    picked();
}

bool HCF_Combo::keyPress(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // On to the next control, as Tab would; the window's default button is not
            // pressed from inside the list.
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(box_, &tab);
            return true;
        }
        case Qt::Key_Escape:
            Revert();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Up:
            if (e->modifiers() & Qt::AltModifier) return false;  // opens the list
            step(-1);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Down:
            if (e->modifiers() & Qt::AltModifier) return false;
            step(+1);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_F4:
            return false;
        default:
            return true;
    }
}

bool HCF_Combo::eventFilter(QObject* watched, QEvent* event) {
    // A list being destroyed before this object (a view's children go in the order they
    // were made) still sends events, the focus leaving it among them, from a destructor
    // where it is no longer a list: those are not for us, and it must not even be
    // looked at as a list. Asking its class first is safe at any stage.
    auto* list = qobject_cast<QComboBox*>(watched);
    if (list == nullptr || list != box_) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            saved_ = box_->currentIndex();
            return false;
        case QEvent::KeyPress: {
            bool consumed = true;
            ErrTrap::Handler handler{QStringLiteral("HCF_Combo.KeyPress")};
            handler.runInEvent([&] { consumed = keyPress(static_cast<QKeyEvent*>(event)); });
            return consumed;
        }
        default:
            return false;
    }
}

}  // namespace qel
