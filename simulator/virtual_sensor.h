// One sensor of a virtual fixture: its definition and a reading that drifts with time, with
// the lowest, highest and recorded values a real sensor keeps.
#pragma once

#include <cstdint>
#include <string>

#include "bytes.h"
#include "sim_time.h"

namespace qelsim {

struct VirtualSensor {
    uint8_t type = 0;
    uint8_t unit = 0;
    uint8_t prefix = 0;
    int16_t rangeMin = 0, rangeMax = 0;
    int16_t normalMin = 0, normalMax = 0;
    bool recordSupported = false;
    bool lowHighSupported = false;
    std::string description;
    // Reading: base + swing × sin(2π t / period + phase), kept within the range.
    double base = 0, swing = 0, periodSeconds = 60, phase = 0;

    int16_t lowest = 0, highest = 0, recorded = 0;
    bool tracked = false;

    int16_t Present(Duration now) const;
    // SENSOR_DEFINITION data for sensor `number`.
    Bytes Definition(uint8_t number) const;
    // SENSOR_VALUE data after taking a reading.
    Bytes Read(uint8_t number, Duration now);
    // Resets lowest, highest and recorded to the present reading.
    Bytes Reset(uint8_t number, Duration now);
    void Record(Duration now);
};

// The answer to SENSOR_VALUE for "all sensors" (0xFF): the number and zeros.
Bytes AllSensorsValue();

}  // namespace qelsim
