// The plugin's road to the device-interface library, as an interface so that tests can
// put a scripted library in its place. Only Client calls it.
#pragma once

#include <cstdint>

namespace qel {

class LibraryBinding {
  public:
    virtual ~LibraryBinding() = default;
    virtual int32_t PortCount() = 0;
    virtual int32_t PortName(int32_t port, char* buffer, int32_t size) = 0;
    virtual int32_t OpenPort(int32_t port) = 0;
    virtual int32_t FreePort() = 0;
    virtual int32_t Command(uint8_t* buffer, int32_t* length) = 0;
    virtual int32_t LastError(char* buffer, int32_t size) = 0;
    virtual int32_t Version(char* buffer, int32_t size) = 0;
    virtual int32_t Reprogram(const char* path) = 0;
    virtual int32_t ProgState() = 0;
};

// The active binding: the shared library libqelio32.so unless a test installed another.
LibraryBinding& Library();

// Installs `binding` (not owned); nullptr restores the shared library. Returns the
// binding installed before.
LibraryBinding* SetLibrary(LibraryBinding* binding);

}  // namespace qel
