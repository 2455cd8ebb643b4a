// The virtual fixtures a rig can put on a unit's line.
#pragma once

#include <memory>
#include <string>

#include "sim_time.h"
#include "virtual_device.h"

namespace qelsim {

// A moving head with every kind of parameter the RDM tools show: sensors of several types,
// lamp, display, pan/tilt, clock, personalities and slots, status messages, self test,
// manufacturer parameters.
std::shared_ptr<VirtualDevice> MakeMovingHead(rdm::Uid uid, SharedTime time);
// A dimmer rack: a root device with supply sensors and `channels` dimmer sub-devices.
std::shared_ptr<VirtualDevice> MakeDimmerRack(rdm::Uid uid, SharedTime time, int channels = 6);
// A hazer that takes its time: ACK_TIMER answers, long answers in parts (ACK_OVERFLOW),
// queued messages, write-protected and unknown parameters.
std::shared_ptr<VirtualDevice> MakeHazer(rdm::Uid uid, SharedTime time);
// A device with only the parameters every responder must offer.
std::shared_ptr<VirtualDevice> MakeMinimal(rdm::Uid uid, SharedTime time);

// By kind: "moving-head", "dimmer-rack", "hazer", "minimal"; nullptr for another name.
std::shared_ptr<VirtualDevice> MakeFixture(const std::string& kind, rdm::Uid uid, SharedTime time);

// The parameters every responder offers, DMX_START_ADDRESS when the root device has a
// footprint, and PARAMETER_DESCRIPTION when it has manufacturer parameters.
void AddRequiredParameters(DeviceModel& model);

}  // namespace qelsim
