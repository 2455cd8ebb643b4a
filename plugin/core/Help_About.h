// The About window: the plugin's title, its version and the device-interface library's
// version, and the maker's home page. A click anywhere but on the link closes it.
#pragma once

#include "core/ClosingDialog.h"

#include <QString>

#include <array>

class QLabel;

namespace qel {

class Help_About : public ClosingDialog {
    Q_OBJECT
  public:
    inline static const QString kName = QStringLiteral("Help_About");

    explicit Help_About(QWidget* parent = nullptr);

  protected:
    void Initialise() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    std::array<QLabel*, 5> info_{};
    QLabel* link_ = nullptr;
};

}  // namespace qel
