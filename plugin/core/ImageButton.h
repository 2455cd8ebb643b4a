// A picture that acts as a button: a left click is clicked(), a right click asks for
// the picture's pop-up menu. Disabled, it shows its picture dimmed and takes no clicks.
#pragma once

#include <QLabel>
#include <QPixmap>

namespace qel {

class ImageButton : public QLabel {
    Q_OBJECT

  public:
    ImageButton(const QString& name, const QPixmap& picture, QWidget* parent = nullptr);

  signals:
    void clicked();
    void popUpRequested(const QPoint& globalPosition);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void showPicture();

    QPixmap picture_;
    bool pressed_ = false;
};

}  // namespace qel
