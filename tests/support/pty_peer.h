// A scripted peer on a pseudo-terminal: stands in for a unit behind the serial backend.
// The peer owns the master side; the library opens the slave path (QELIO32_PORTS). It
// reads request frames and answers each through a behaviour, in a thread or in a child
// process. Uses only POSIX: no part of the library.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qeltest {

class PeerIo {
  public:
    explicit PeerIo(int fd) : fd_(fd) {}
    void Send(const std::vector<uint8_t>& bytes);
    // Sends the bytes one at a time with `gapMs` between them.
    void SendSlowly(const std::vector<uint8_t>& bytes, int gapMs);
    void SendFrame(uint8_t type, const std::vector<uint8_t>& body, uint8_t end = 0xE7);
    void Reply(uint8_t code, uint8_t status, const std::vector<uint8_t>& data = {});
    void SleepMs(int ms);
    // Closes the master: the library sees the unit go away.
    void HangUp();
    bool HungUp() const { return fd_ < 0; }

  private:
    int fd_;
};

// One request: the frame type and the body.
using PeerBehaviour = std::function<void(PeerIo&, uint8_t type, const std::vector<uint8_t>& body)>;

// The misbehaving unit of the end-to-end tests, by command code:
//   0x00 name "DMX-QEL"; 0x01 silence; 0x02 stops after 2 of 5 body bytes; 0x03 end
//   marker 0x00; 0x04 frame type 0x57; 0x05 echoes another code; 0x06 529 bytes after
//   the code; 0x07 body of length 0; 0x08 echo without a status; 0x09 length field 768;
//   0x0A noise, then a good reply; 0x0B status 7 with two data bytes; 0x0C hangs up;
//   0x0D reply bytes 300 ms apart; 0x0E a stray reply after the good one;
//   anything else: status 0, the request's parameters echoed as data.
void MisbehavingUnit(PeerIo& io, uint8_t type, const std::vector<uint8_t>& body);

class PtyPeer {
  public:
    PtyPeer();  // opens a master/slave pair (raw)
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    // "PATH=NAME" for QELIO32_PORTS.
    std::string PortsEntry(const std::string& name) const { return slavePath_ + "=" + name; }

    void StartThread(PeerBehaviour behaviour);
    // Forks a child that runs the behaviour (call before any other thread exists).
    void StartProcess(PeerBehaviour behaviour);
    void Stop();
    // Requests answered so far (thread mode only).
    int Answered() const { return answered_.load(); }

  private:
    void Loop(const PeerBehaviour& behaviour, int stopFd);

    int master_ = -1;
    int slaveKeep_ = -1;  // keeps the pty alive while the library closes and reopens it
    std::string slavePath_;
    std::thread thread_;
    pid_t child_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::atomic<int> answered_{0};
};

}  // namespace qeltest
