// The standard parameters one root device or sub-device answers from its own model.
#pragma once

#include <cstdint>

#include "bytes.h"
#include "device_model.h"
#include "param_answer.h"
#include "sim_time.h"

namespace qelsim {

// Parameters every responder offers, which SUPPORTED_PARAMETERS leaves out.
bool IsRequiredParameter(uint16_t pid);

// Answers GET (`set` false) or SET of `pid` on `model`. The parameter must be offered by
// the model; the caller checks that. `subDeviceCount` is the fixture's.
ParamAnswer HandleParameter(DeviceModel& model, bool set, uint16_t pid, const Bytes& data,
                            Duration now, uint16_t subDeviceCount);

}  // namespace qelsim
