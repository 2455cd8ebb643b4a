// Stands in for the person when the host runs without one: when the plugin opens a
// modal window during a call, the pilot answers it the way a person setting up a unit
// would, and reports what it saw and did.
//
// - Message boxes are read out and answered with their escape button (No to prompts,
//   Cancel to Retry/Cancel), so nothing is downloaded or retried without a person.
// - The main window: connect through Connection / Connect when disconnected, choose the
//   mode asked for, then close it.
// - The connection window: pick the first port, click the plug, close it.
// - Any other window is closed.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

class ModalPilot : public QObject {
    Q_OBJECT

  public:
    using Report = std::function<void(const QString&)>;

    explicit ModalPilot(Report report, QObject* parent = nullptr);

    // The mode (0 output, 1 input) to choose the next time the main window opens;
    // -1 leaves the mode alone.
    void chooseMode(int mode) { modeWish_ = mode; }
    // The mode the main window showed when the pilot first met it; -1 before that.
    int modeSeen() const { return modeSeen_; }
    // Texts of every message box seen, "title: text".
    const QStringList& messages() const { return messages_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void look();
    void act(QWidget* window);
    void answerMessage(QWidget* box);
    void driveMain(QWidget* main);
    void drivePort(QWidget* port);
    void later(std::function<void()> action);

    Report report_;
    QTimer timer_;
    int modeWish_ = -1;
    int modeSeen_ = -1;
    QStringList messages_;
    // How far the pilot got with each open window, so that each step runs once, also
    // when a window comes to the front again after a child window closed.
    QHash<const QObject*, int> steps_;
    int step_ = 0;
    bool busy_ = false;
};
