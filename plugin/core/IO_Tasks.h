// The DMX input task: a hidden window whose 200 ms timer fetches the frame the unit
// received and hands every level to the host's helper object, by name.
#pragma once

#include <QByteArray>
#include <QMetaMethod>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace qel {

class IO_Tasks : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kIntervalMs = 200;

    explicit IO_Tasks(QWidget* parent = nullptr);

    // Starts polling for `helper`; while polling, only takes the new helper.
    void Begin(QObject* helper);
    // Ends polling: no tick starts after this, and a tick in progress is the last.
    void Finish();

    bool Polling() const { return taskIP_->isActive() || ticking_; }
    QTimer& Task_IP() { return *taskIP_; }

    // One poll, as the timer runs it.
    void Tick();

    // Hands a received-DMX record to the helper (status byte, start code, levels).
    void Deliver(const QByteArray& record);

  private:
    void SetChannel(int slot, int level);

    QTimer* taskIP_;
    QPointer<QObject> helper_;
    QMetaMethod setChannel_;
    bool stopping_ = true;
    bool ticking_ = false;
};

}  // namespace qel
