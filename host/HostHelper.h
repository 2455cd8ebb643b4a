// The host's helper object: the plugin hands every received DMX input level to it by
// calling DMXC_DMXIn_SetChannel by name.
#pragma once

#include <QObject>

#include <array>
#include <cstdint>

class HostHelper : public QObject {
    Q_OBJECT

  public:
    static constexpr int kSlots = 512;

    explicit HostHelper(QObject* parent = nullptr);

    // Called by the plugin, late bound. A slot or level out of range is counted and
    // otherwise ignored: a plugin fault must not corrupt what the host shows.
    Q_INVOKABLE void DMXC_DMXIn_SetChannel(int Slot, int Level);

    // Level of slot 1..512 as last received (0 before anything arrived).
    int level(int slot) const;
    const std::array<uint8_t, kSlots>& levels() const { return levels_; }
    // Highest slot that has ever received a level; 0 when none has.
    int highestSlot() const { return highest_; }
    uint64_t deliveries() const { return deliveries_; }
    uint64_t rejected() const { return rejected_; }

    void reset();

  signals:
    void levelReceived(int slot, int level);

  private:
    std::array<uint8_t, kSlots> levels_{};
    int highest_ = 0;
    uint64_t deliveries_ = 0;
    uint64_t rejected_ = 0;
};
