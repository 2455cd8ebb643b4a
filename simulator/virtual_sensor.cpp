#include "virtual_sensor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qelsim {

int16_t VirtualSensor::Present(Duration now) const {
    double t = std::chrono::duration<double>(now).count();
    double v = base + swing * std::sin(2 * std::numbers::pi * t / periodSeconds + phase);
    return static_cast<int16_t>(std::clamp<long>(std::lround(v), rangeMin, rangeMax));
}

Bytes VirtualSensor::Definition(uint8_t number) const {
    Bytes b{number, type, unit, prefix};
    PutBe16(b, static_cast<uint16_t>(rangeMin));
    PutBe16(b, static_cast<uint16_t>(rangeMax));
    PutBe16(b, static_cast<uint16_t>(normalMin));
    PutBe16(b, static_cast<uint16_t>(normalMax));
    b.push_back(static_cast<uint8_t>((recordSupported ? 1 : 0) | (lowHighSupported ? 2 : 0)));
    PutText(b, description.substr(0, 32));
    return b;
}

Bytes VirtualSensor::Read(uint8_t number, Duration now) {
    int16_t v = Present(now);
    if (!tracked) {
        lowest = highest = v;
        tracked = true;
    }
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
    Bytes b{number};
    PutBe16(b, static_cast<uint16_t>(v));
    PutBe16(b, static_cast<uint16_t>(lowHighSupported ? lowest : 0));
    PutBe16(b, static_cast<uint16_t>(lowHighSupported ? highest : 0));
    PutBe16(b, static_cast<uint16_t>(recordSupported ? recorded : 0));
    return b;
}

Bytes VirtualSensor::Reset(uint8_t number, Duration now) {
    lowest = highest = recorded = Present(now);
    tracked = true;
    return Read(number, now);
}

void VirtualSensor::Record(Duration now) {
    recorded = Present(now);
}

Bytes AllSensorsValue() {
    return Bytes{0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
}

}  // namespace qelsim
