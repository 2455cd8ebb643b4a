// Shared helpers of the simulator's tests: a rig built from text, on a clock that moves only
// when told to, and short ways to send commands and RDM requests to its first unit.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "rdm_defs.h"
#include "rig.h"
#include "unit.h"

namespace simtest {

using qelsim::Bytes;
using qelsim::UnitReply;

class RigHarness {
  public:
    explicit RigHarness(const std::string& rigText) {
        std::string error;
        auto rig = qelsim::Rig::Parse(rigText, &error);
        if (!rig) {
            // The test fails and goes on with a bare unit rather than crashing.
            ADD_FAILURE() << "the rig does not parse: " << error;
            rig = qelsim::Rig::Load("empty", &error);
        }
        rig_.emplace(std::move(*rig));
        rig_->Time()->SetSource(time_.Source());
    }

    qelsim::Rig& Rig() { return *rig_; }
    qelsim::Unit& Unit() { return rig_->GetUnit(0); }
    qelsim::ManualTime& Time() { return time_; }

    UnitReply Cmd(uint8_t code, const Bytes& payload = {}) { return Unit().Handle(code, payload); }

    UnitReply Get(uint8_t index, uint16_t sub, uint16_t pid, const Bytes& data = {}) {
        return Rdm(qelsim::command::kRdmGet, index, sub, pid, data);
    }
    UnitReply Set(uint8_t index, uint16_t sub, uint16_t pid, const Bytes& data = {}) {
        return Rdm(qelsim::command::kRdmSet, index, sub, pid, data);
    }
    UnitReply Rdm(uint8_t code, uint8_t index, uint16_t sub, uint16_t pid, const Bytes& data) {
        Bytes payload{index};
        qelsim::PutBe16(payload, sub);
        qelsim::PutBe16(payload, pid);
        payload.insert(payload.end(), data.begin(), data.end());
        return Cmd(code, payload);
    }

    // Runs discovery to its end; returns the count.
    int Discover() {
        Unit().Rdm().DiscoverAll();
        return static_cast<int>(Unit().Rdm().Discoveries().Found().size());
    }
    // The discovery index of the fixture with `uid`; 0 when not found.
    uint8_t IndexOf(qelsim::rdm::Uid uid) {
        const auto& found = Unit().Rdm().Discoveries().Found();
        for (size_t i = 0; i < found.size(); ++i) {
            if (found[i] == uid) return static_cast<uint8_t>(i + 1);
        }
        return 0;
    }

  private:
    qelsim::ManualTime time_;
    std::optional<qelsim::Rig> rig_;
};

}  // namespace simtest
