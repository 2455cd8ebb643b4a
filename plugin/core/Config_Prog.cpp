#include "core/Config_Prog.h"

#include "core/Client.h"
#include "core/ErrHandler.h"
#include "core/UiServices.h"
#include "core/ViewArt.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qel {

Config_Prog::Config_Prog(QWidget* parent) : ClosingDialog(parent) {
    setWindowTitle(QStringLiteral("Firmware Upgrade"));

    bar_ = new QProgressBar;
    bar_->setObjectName(QStringLiteral("Progress_Upload"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    percent_ = new QLabel(QStringLiteral("0 %"));
    percent_->setObjectName(QStringLiteral("Label_Percent"));
    percent_->setMinimumWidth(48);
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("Label_Status"));
    QFont bold = status_->font();
    bold.setBold(true);
    status_->setFont(bold);
    configuring_ = new QLabel(QStringLiteral("The unit is installing its new firmware"));
    configuring_->setObjectName(QStringLiteral("Label_Configuring"));
    configuring_->setVisible(false);
    success_ = new QLabel;
    success_->setObjectName(QStringLiteral("Image_Success"));
    success_->setPixmap(ViewArt::SuccessMark());
    success_->setVisible(false);
    wait_ = new QLabel(QStringLiteral("Please Wait"));
    wait_->setObjectName(QStringLiteral("Label_Wait"));

    close_ = new QPushButton(QStringLiteral("Close"));
    close_->setObjectName(QStringLiteral("Button_Close"));
    close_->setToolTip(QStringLiteral("Close Window"));
    close_->setEnabled(false);
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("TimerUpdate"));
    timer_->setInterval(ProgressWatch::kPollMs);
    connect(timer_, &QTimer::timeout, this, &Config_Prog::TimerUpdate);

    auto* progress = new QHBoxLayout;
    progress->addWidget(bar_, 1);
    progress->addWidget(percent_);
    auto* texts = new QVBoxLayout;
    texts->addWidget(status_);
    texts->addWidget(configuring_);
    texts->addWidget(wait_);
    auto* middle = new QHBoxLayout;
    middle->addLayout(texts, 1);
    middle->addWidget(success_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(progress);
    layout->addLayout(middle);
    layout->addLayout(bottom);
    setMinimumWidth(360);
}

void Config_Prog::Initialise() {
    timer_->start();
}

void Config_Prog::TimerUpdate() {
    using namespace ErrTrap;
    const QString uploadTitle = QStringLiteral("Firmware image upload");
    // The opener reports what this window has not shown already.
    const auto close = [this](const PluginError& e) { BugOut(e); };
    Handler h{kName + QStringLiteral(".TimerUpdate_Timer"),
              {On(ErrAPI_Connection, ErrAPI_Response_Missing).then(close),
               On(ErrAPI_DeviceMissig, ErrAPI_ProgFile_Compat, ErrAPI_ProgFile_Corrupt)
                   .show(uploadTitle)
                   .then(close),
               On(ErrSYS_Local).show().absorb(), Otherwise().show().absorb()}};
    h.runInEvent([&] {
        int32_t progress = 0;
        try {
            progress = Client::QEL_ProgStatus();
        } catch (...) {
            Stop();
            throw;
        }
        const bool ended = watch_.Tick(progress);
        Show();
        if (ended) {
            Stop();
            Ui().beep();
        }
    });
}

void Config_Prog::Show() {
    status_->setText(watch_.statusText());
    status_->setVisible(watch_.statusVisible());
    configuring_->setVisible(watch_.configuringLine());
    percent_->setText(watch_.percentText().isEmpty() ? percent_->text() : watch_.percentText());
    bar_->setValue(watch_.bar());
    success_->setVisible(watch_.successPicture());
    if (watch_.busyPointer() != busy_) {
        busy_ = watch_.busyPointer();
        Ui().setBusyPointer(busy_);
    }
}

void Config_Prog::Stop() {
    timer_->stop();
    // Nothing to wait for any more: the person may close the window.
    wait_->setVisible(false);
    close_->setEnabled(true);
    if (busy_) {
        busy_ = false;
        Ui().setBusyPointer(false);
    }
}

void Config_Prog::closeEvent(QCloseEvent* event) {
    // While the run goes on the unit must not be talked to, and the opener probes it
    // as soon as this window is gone: it stays until the upgrade has ended.
    if (!close_->isEnabled()) {
        event->ignore();
        return;
    }
    ClosingDialog::closeEvent(event);
}

void Config_Prog::mousePressEvent(QMouseEvent* event) {
    ClosingDialog::mousePressEvent(event);
    if (close_->isEnabled()) close();
}

}  // namespace qel
