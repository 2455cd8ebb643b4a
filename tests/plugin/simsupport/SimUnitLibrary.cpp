#include "simsupport/SimUnitLibrary.h"

#include "drivers/sim_driver.h"
#include "qelio32/qelio32.h"
#include "rig.h"
#include "testing.h"
#include "unit.h"

#include <gtest/gtest.h>

namespace qel::test {

SimUnitLibrary::SimUnitLibrary(const std::string& rigName) {
    qelio::testing::ResetLibraryState();
    std::string error;
    auto rig = qelsim::Rig::Load(rigName, &error);
    if (!rig) rig = qelsim::Rig::Parse(rigName, &error);
    if (!rig) {
        ADD_FAILURE() << "rig " << rigName << ": " << error;
        rig = qelsim::Rig::Parse("unit \"DMX-QEL\"\n", &error);
    }
    auto driver = std::make_unique<qelio::SimDriver>(std::move(*rig));
    driver_ = driver.get();
    qelio::InstallDriver(std::move(driver));
    previous_ = SetLibrary(this);
}

SimUnitLibrary::~SimUnitLibrary() {
    SetLibrary(previous_);
    QIO_FreePort();
    qelio::InstallDriver(nullptr);
    qelio::testing::ResetLibraryState();
}

qelsim::Unit& SimUnitLibrary::Unit(size_t index) {
    return driver_->Rig().GetUnit(index);
}

void SimUnitLibrary::Unplug(size_t unit) {
    driver_->Unplug(unit);
}
void SimUnitLibrary::Replug(size_t unit) {
    driver_->Replug(unit);
}

void SimUnitLibrary::UseScriptedInput(size_t unit) {
    Unit(unit).Input().SetSource(qelsim::InputSource::kScripted);
}

void SimUnitLibrary::Receive(uint8_t startCode, const std::string& levels, size_t unit) {
    Unit(unit).Input().Receive(startCode, qelsim::Bytes(levels.begin(), levels.end()));
}

void SimUnitLibrary::LoseSignal(size_t unit) {
    Unit(unit).Input().LoseSignal();
}

std::string SimUnitLibrary::OutputLevels(size_t unit) {
    const qelsim::DmxFrame frame = Unit(unit).Output().Current();
    if (!frame.sending) return {};
    return std::string(frame.levels.begin(), frame.levels.end());
}

int32_t SimUnitLibrary::PortCount() {
    return QIO_PortCount();
}
int32_t SimUnitLibrary::PortName(int32_t port, char* buffer, int32_t size) {
    return QIO_PortName(port, buffer, size);
}
int32_t SimUnitLibrary::OpenPort(int32_t port) {
    return QIO_OpenPort(port);
}
int32_t SimUnitLibrary::FreePort() {
    return QIO_FreePort();
}
int32_t SimUnitLibrary::Command(uint8_t* buffer, int32_t* length) {
    ++commands;
    if (onCommand) onCommand();
    return QIO_Command(buffer, length);
}
int32_t SimUnitLibrary::LastError(char* buffer, int32_t size) {
    return QIO_LastError(buffer, size);
}
int32_t SimUnitLibrary::Version(char* buffer, int32_t size) {
    return QIO_Version(buffer, size);
}
int32_t SimUnitLibrary::Reprogram(const char* path) {
    return QIO_Reprogram(path);
}
int32_t SimUnitLibrary::ProgState() {
    return QIO_ProgState();
}

}  // namespace qel::test
