// A host helper for tests: records what the plugin delivers through
// DMXC_DMXIn_SetChannel.
#pragma once

#include <QObject>

#include <utility>
#include <vector>

class InputHelper : public QObject {
    Q_OBJECT

  public:
    Q_INVOKABLE void DMXC_DMXIn_SetChannel(int Slot, int Level) {
        received.emplace_back(Slot, Level);
    }
    std::vector<std::pair<int, int>> received;
};
