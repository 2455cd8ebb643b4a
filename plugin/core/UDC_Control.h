// The plugin's central object: the output universe, the mode (DMX output or input),
// and starting, pausing and ending the traffic with the unit. Every window gets it as
// its data object.
#pragma once

#include "core/FDF_Port.h"
#include "core/SYS_Status.h"

#include <QByteArray>
#include "forms/HCF_Data.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>

namespace qel {

class IO_Tasks;

class UDC_Control : public QObject, public HCF_Data {
    Q_OBJECT

  public:
    static constexpr int kSlots = 512;
    static constexpr int kInitialFrameLength = 24;

    explicit UDC_Control(QObject* parent = nullptr);
    ~UDC_Control() override;

    QString DataClass() const override { return QStringLiteral("UDC_Control"); }

    FDF_Port& Port() { return port_; }
    SYS_Status& SState() { return sstate_; }

    int Mode() const { return mode_; }
    // Stores the mode under "DMXInActive" when it changes.
    void SetMode(int mode);

    // Keeps the host's helper and where the mode is stored, and reads the mode.
    void Initialise(QObject* helper, const QString& appName, const QString& section);

    void Begin();
    void Pause();
    void Finish();
    // Keeps a level, and sends it while traffic runs.
    void Update(int slot, int level);

    bool Active() const { return active_; }
    bool Paused() const { return paused_; }
    int FrameLength() const { return frameLength_; }
    int Level(int slot) const { return levels_[slot - 1]; }

  private:
    // The start code and levels 1..length, as the unit takes a frame.
    QByteArray Packet(int length) const;
    // Stops what runs in the current mode.
    void Stop();
    // A command that failed because the unit can no longer be reached ends the
    // traffic, so that the failure is reported once rather than on every level.
    template <typename F>
    void Send(F&& send);

    FDF_Port port_;
    SYS_Status sstate_;
    int mode_ = 0;
    int frameLength_ = kInitialFrameLength;
    std::array<uint8_t, kSlots> levels_{};
    bool active_ = false;
    bool paused_ = false;
    QPointer<QObject> helper_;
    QString appName_;
    QString section_;
};

// The loaded window of the plugin with this name, or nullptr.
QWidget* FindForm(const QString& name);

}  // namespace qel
