#include "core/WinRes.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

#include <cmath>

namespace qel::WinRes {
namespace {

int Scaled(int value) {
    return static_cast<int>(std::lround(value * kFactor));
}

void ScaleFont(QWidget* w) {
    QFont font = w->font();
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * kFactor);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(Scaled(font.pixelSize()));
    }
    w->setFont(font);
}

void ScalePosition(QWidget* w) {
    w->move(Scaled(w->x()), Scaled(w->y()));
}

void ScaleGeometry(QWidget* w) {
    w->setGeometry(Scaled(w->x()), Scaled(w->y()), Scaled(w->width()), Scaled(w->height()));
}

bool IsImage(const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr && !label->pixmap().isNull();
}

bool TakesNoAdjustment(const QWidget* w) {
    return qobject_cast<const QRadioButton*>(w) || qobject_cast<const QProgressBar*>(w) ||
           qobject_cast<const QStatusBar*>(w) || qobject_cast<const QMenuBar*>(w) ||
           qobject_cast<const QMenu*>(w) || qobject_cast<const QToolBar*>(w);
}

bool IsTextControl(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QGroupBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QPushButton*>(w) || qobject_cast<const QDateTimeEdit*>(w);
}

// Controls of the plugin's own making, and Qt's parts of other controls, differ in
// whether Qt calls them internal: the scroll bars of a list belong to the list.
bool IsOwnControl(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QDateTimeEdit*>(p) || qobject_cast<const QTextEdit*>(p) ||
            qobject_cast<const QPlainTextEdit*>(p)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void AdjustControl(QWidget* w, double twipsPerPixel) {
    if (w == nullptr || TakesNoAdjustment(w)) return;
    if (auto* slider = qobject_cast<QSlider*>(w)) {
        ScaleGeometry(slider);
        const int shift = static_cast<int>(std::lround(25.0 / twipsPerPixel));
        if (slider->orientation() == Qt::Horizontal) {
            slider->move(slider->x(), slider->y() + shift);
        } else {
            slider->move(slider->x() + shift, slider->y());
        }
    } else if (IsImage(w)) {
        ScalePosition(w);
    } else if (IsTextControl(w)) {
        ScaleGeometry(w);
        ScaleFont(w);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setGeometry(Scaled(combo->x()), Scaled(combo->y()), Scaled(combo->width()),
                           combo->height());
        ScaleFont(combo);
        combo->resize(combo->width(), combo->sizeHint().height());
    } else if (qobject_cast<QAbstractItemView*>(w)) {
        ScalePosition(w);
        ScaleFont(w);
    } else {
        ScaleGeometry(w);
    }
}

void AdjustForm(QWidget* form) {
    if (form == nullptr) return;
    AdjustForm(form, 1440.0 / form->logicalDpiX());
}

void AdjustForm(QWidget* form, double twipsPerPixel) {
    if (form == nullptr || twipsPerPixel != kTwipsPerPixelAdjusted || form->layout() != nullptr) {
        return;
    }
    const QList<QWidget*> controls = form->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->isWindow() || !IsOwnControl(control)) continue;
        // Controls that a layout places are sized by it.
        if (control->parentWidget() != nullptr && control->parentWidget()->layout() != nullptr) {
            continue;
        }
        AdjustControl(control, twipsPerPixel);
    }
    form->resize(Scaled(form->width()), form->height());
    form->resize(form->width(), Scaled(form->height()));
}

}  // namespace qel::WinRes
