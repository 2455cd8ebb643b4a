// The host's window: the plugin's Enable, Disable and Configure at hand, a handful of
// faders and a way to set any slot, the input levels that come back, and a log of every
// call made to the plugin.
#pragma once

#include <QMainWindow>

#include <vector>

class FaderStrip;
class HostSession;
class LevelGrid;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
struct PluginCall;

class HostWindow : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int kFaders = 8;

    explicit HostWindow(HostSession& session, QWidget* parent = nullptr);

    // Runs the host's opening calls (PluginName, Init, Enable).
    void startPlugin();
    // Appends a line to the log.
    void note(const QString& text);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildOutput();
    QWidget* buildInput();
    void logCall(const PluginCall& call);
    void sendLevel(int slot, int level);
    void refreshInput();
    void refreshState();

    HostSession& session_;
    std::vector<FaderStrip*> faders_;
    QPushButton* enable_;
    QPushButton* disable_;
    QPushButton* configure_;
    QSpinBox* anySlot_;
    QSpinBox* anyLevel_;
    LevelGrid* input_;
    QLabel* inputSummary_;
    QPlainTextEdit* log_;
    QLabel* state_;
    uint64_t shownDeliveries_ = 0;
    int lastLoggedSlot_ = 0;
};
