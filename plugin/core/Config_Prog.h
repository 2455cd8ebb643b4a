// Follows a firmware upgrade of the unit that the main window has started: polls the
// library's progress every 250 ms, shows it, notices a stall, reports the outcome, and
// lets the person close the window once the upgrade has ended (not before: the unit
// must not be talked to while it is being reprogrammed).
#pragma once

#include "core/ClosingDialog.h"
#include "core/ProgressWatch.h"

#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qel {

class Config_Prog : public ClosingDialog {
    Q_OBJECT
  public:
    inline static const QString kName = QStringLiteral("Config_Prog");

    explicit Config_Prog(QWidget* parent = nullptr);

  protected:
    void Initialise() override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void TimerUpdate();
    void Show();
    // The upgrade has ended (or the poll failed): nothing more to wait for.
    void Stop();

    ProgressWatch watch_;
    bool busy_ = false;
    QTimer* timer_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* percent_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* configuring_ = nullptr;
    QLabel* success_ = nullptr;
    QLabel* wait_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace qel
