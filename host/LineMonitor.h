// A look at the DMX line through the unit the plugin holds open, for a unit whose output
// is wired back to its input (a loopback cable, or the simulated rig "loopback"): what
// the unit receives is what it sends. The host uses it only between its calls to the
// plugin, never during one, as the library expects of its callers.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

class LineMonitor {
  public:
    // Finds the device-interface library the plugin has loaded; nothing works before.
    bool attach();
    bool attached() const { return command_ != nullptr; }
    const QString& error() const { return error_; }

    // The unit's received-DMX record: status, start code, levels.
    std::optional<QByteArray> receivedRecord();
    // Puts a frame on the unit's output (and so, looped back, on its input).
    bool sendFrame(uint8_t startCode, const QByteArray& levels);
    bool stopFrame();

  private:
    std::optional<QByteArray> exchange(const QByteArray& request);

    using Command = int32_t (*)(uint8_t*, int32_t*);
    Command command_ = nullptr;
    QString error_;
};
