// (Simulator headers stay out of here: their member names clash with Qt's keywords.)
//
// The device-interface library with the simulated units of a rig, in the test's own
// process: the plugin's calls go through the library's real code to simulated units
// that the test can watch (the output frame) and script (the input line, unplugging).
#pragma once

#include "core/LibraryBinding.h"

#include <functional>
#include <string>

namespace qelio {
class SimDriver;
}
namespace qelsim {
class Unit;
}

namespace qel::test {

class SimUnitLibrary : public LibraryBinding {
  public:
    // Installs the rig (a rig name or rig text) and itself as the plugin's library for
    // its lifetime (then restores the library before).
    explicit SimUnitLibrary(const std::string& rig = "default");
    ~SimUnitLibrary() override;

    // The unit's output as it goes out on the line: empty when it sends nothing.
    std::string OutputLevels(size_t unit = 0);

    // The unit pulled from USB and put back.
    void Unplug(size_t unit = 0);
    void Replug(size_t unit = 0);

    // The unit's input line, fed by the test: a frame arrives, or the signal goes away.
    void UseScriptedInput(size_t unit = 0);
    void Receive(uint8_t startCode, const std::string& levels, size_t unit = 0);
    void LoseSignal(size_t unit = 0);

    int32_t PortCount() override;
    int32_t PortName(int32_t port, char* buffer, int32_t size) override;
    int32_t OpenPort(int32_t port) override;
    int32_t FreePort() override;
    int32_t Command(uint8_t* buffer, int32_t* length) override;
    int32_t LastError(char* buffer, int32_t size) override;
    int32_t Version(char* buffer, int32_t size) override;
    int32_t Reprogram(const char* path) override;
    int32_t ProgState() override;

    int commands = 0;
    // Runs before each command goes to the unit.
    std::function<void()> onCommand;

  private:
    qelsim::Unit& Unit(size_t index);

    qelio::SimDriver* driver_ = nullptr;
    LibraryBinding* previous_ = nullptr;
};

}  // namespace qel::test
