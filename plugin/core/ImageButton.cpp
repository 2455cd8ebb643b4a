#include "core/ImageButton.h"

#include <QEvent>
#include <QIcon>
#include <QMouseEvent>

namespace qel {

ImageButton::ImageButton(const QString& name, const QPixmap& picture, QWidget* parent)
    : QLabel(parent), picture_(picture) {
    setObjectName(name);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    showPicture();
}

void ImageButton::showPicture() {
    setPixmap(isEnabled() ? picture_ : QIcon(picture_).pixmap(picture_.size(), QIcon::Disabled));
}

void ImageButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) showPicture();
    QLabel::changeEvent(event);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    if (event->button() == Qt::RightButton) emit popUpRequested(event->globalPosition().toPoint());
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit clicked();
}

}  // namespace qel
