// The "serial" backend: real units through the kernel's FTDI serial driver (ftdi_sio),
// which shows each unit as /dev/ttyUSB*. Units are found in sysfs by the USB identity
// 0403:6001 and named by the USB product string, in a stable order (by their place on
// the USB bus). QELIO32_PORTS replaces the list: "PATH=NAME;PATH=NAME", so that a
// pseudo-terminal can stand in for a unit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver.h"

namespace qelio {

std::unique_ptr<Driver> MakeSerialDriver();

namespace serial {

struct PortEntry {
    std::string path;  // device node, for example /dev/ttyUSB0
    std::string name;  // description handed out as the port's name
    bool operator==(const PortEntry&) const = default;
};

// "PATH=NAME;PATH=NAME": empty entries are skipped, spaces around entries, paths and
// names are trimmed; an entry without '=' is named after its path's last component.
std::vector<PortEntry> ParsePortsOverride(const std::string& list);

// FTDI units (idVendor 0403, idProduct 6001) among the ttyUSB devices under
// `sysRoot`/class/tty, sorted by their sysfs device path.
std::vector<PortEntry> ScanSysfs(const std::string& sysRoot = "/sys");

// The ports the backend sees now: QELIO32_PORTS if set, otherwise ScanSysfs().
std::vector<PortEntry> Enumerate();

}  // namespace serial
}  // namespace qelio
