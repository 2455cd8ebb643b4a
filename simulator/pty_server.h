// Serves a rig's units on pseudo-terminals, so that a program using the serial backend
// talks to them through the operating system as to units on USB.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "rig.h"

namespace qelsim {

class PtyServer {
  public:
    explicit PtyServer(Rig& rig) : rig_(rig) {}
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // One pseudo-terminal per unit; false and a message when the system refuses one.
    bool Open(std::string* error);
    // "PATH=NAME" for each unit, in rig order.
    std::vector<std::string> PortLines() const;
    // Answers requests until `stop` becomes true (looked at every 100 ms at most).
    void Serve(const std::atomic<bool>& stop);

  private:
    using Steady = std::chrono::steady_clock;
    struct Pty {
        int master = -1;
        int slave = -1;  // kept open so the terminal stays up between clients
        std::string path;
        UnitPort* port = nullptr;
        std::deque<std::pair<Steady::time_point, uint8_t>> out;
        Steady::time_point lastIn;
    };
    void Receive(Pty& p);
    void Transmit(Pty& p);

    Rig& rig_;
    std::vector<Pty> ptys_;
};

}  // namespace qelsim
