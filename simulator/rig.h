// A rig: the units on the host's USB ports and the fixtures on each unit's line.
//
// Rig files are text, one item per line, '#' starting a comment:
//   unit NAME [model=N] [serial=DIGITS] [legacy-model] [factory] [input=scripted|loopback|pattern]
//        [flash=RECORD:FINISH]   (time taken by each firmware step, e.g. flash=0s:0s)
//   fixture KIND [uid=MMMM:DDDDDDDD] [faults=FAULT,FAULT...]
//   fixtures KIND COUNT [first-uid=MMMM:DDDDDDDD]
//   disturb HOW           (replies of the unit, see ParseDisturbance)
// Fixtures and disturbances belong to the unit above them. NAME may be in double quotes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim_time.h"
#include "unit_port.h"
#include "virtual_device.h"

namespace qelsim {

inline constexpr const char* kDefaultRig = "default";

class Rig {
  public:
    // A rig by name (see RigNames) or, when `nameOrPath` names a readable file, from it.
    static std::optional<Rig> Load(const std::string& nameOrPath, std::string* error);
    static std::optional<Rig> Parse(const std::string& text, std::string* error);
    static std::vector<std::string> RigNames();

    size_t UnitCount() const { return ports_.size(); }
    UnitPort& Port(size_t i) { return *ports_.at(i); }
    Unit& GetUnit(size_t i) { return ports_.at(i)->GetUnit(); }
    std::vector<std::shared_ptr<VirtualDevice>> Fixtures(size_t unit);

    // Every unit and fixture reads time here.
    const SharedTime& Time() const { return time_; }

  private:
    SharedTime time_ = std::make_shared<SimTime>();
    std::vector<std::shared_ptr<UnitPort>> ports_;
};

}  // namespace qelsim
