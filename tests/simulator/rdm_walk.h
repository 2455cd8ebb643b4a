// A walk through a unit the way the host software uses it, through the public header only:
// output, input, frame timing, discovery, and the parameters of every fixture found.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "qelio32/qelio32.h"

namespace simtest {

using WalkBytes = std::vector<uint8_t>;

struct WalkReply {
    int32_t status;
    WalkBytes data;
};

inline WalkReply Exchange(const WalkBytes& request) {
    WalkBytes buffer(QIO_COMMAND_BUFFER, 0);
    std::copy(request.begin(), request.end(), buffer.begin());
    int32_t length = static_cast<int32_t>(request.size());
    int32_t r = QIO_Command(buffer.data(), &length);
    return {r, WalkBytes(buffer.begin(), buffer.begin() + std::max(0, length))};
}

inline WalkReply RdmGet(uint8_t index, uint16_t sub, uint16_t pid, const WalkBytes& data = {}) {
    WalkBytes request{0x38,
                      index,
                      static_cast<uint8_t>(sub >> 8),
                      static_cast<uint8_t>(sub),
                      static_cast<uint8_t>(pid >> 8),
                      static_cast<uint8_t>(pid)};
    request.insert(request.end(), data.begin(), data.end());
    return Exchange(request);
}

// Runs discovery; `pass` lets time pass between polls. Returns the UIDs in list order.
inline std::vector<WalkBytes> DiscoverAll(const std::function<void()>& pass) {
    EXPECT_EQ(Exchange({0x33}).status, 0);
    std::vector<WalkBytes> uids;
    for (int poll = 0; poll < 400; ++poll) {
        WalkReply s = Exchange({0x34});
        EXPECT_EQ(s.status, 0);
        if (s.data.size() < 2) return uids;
        for (size_t i = uids.size() + 1; i <= s.data[0]; ++i) {
            WalkReply uid = Exchange({0x35, static_cast<uint8_t>(i)});
            EXPECT_EQ(uid.status, 0);
            uids.push_back(uid.data);
        }
        if (s.data[1] != 1) {
            EXPECT_EQ(s.data[1], 0);
            return uids;
        }
        pass();
    }
    ADD_FAILURE() << "discovery did not finish";
    return uids;
}

// Every reply status the host meets from the demo rig's fixtures; `pass` lets time pass.
inline std::map<int32_t, int> MeetTheFixtures(const std::vector<WalkBytes>& uids,
                                              const std::function<void(int)>& passMs) {
    std::map<int32_t, int> seen;
    for (size_t i = 1; i <= uids.size(); ++i) {
        auto index = static_cast<uint8_t>(i);
        WalkReply info = RdmGet(index, 0, 0x0060);
        ++seen[info.status];
        EXPECT_TRUE(info.status == 0 || info.status == 17) << "fixture " << i;
        EXPECT_EQ(info.data.size(), 19u) << "fixture " << i;
        WalkReply supported = RdmGet(index, 0, 0x0050);
        EXPECT_TRUE(supported.status == 0 || supported.status == 17);
        EXPECT_EQ(supported.data.size() % 2, 0u);
        bool hazer = uids[i - 1] == WalkBytes{0x7F, 0xF1, 0x00, 0x00, 0x0A, 0x01};
        if (!hazer) continue;
        WalkReply label = RdmGet(index, 0, 0x0082);  // the hazer takes its time
        ++seen[label.status];
        EXPECT_EQ(label.data, (WalkBytes{0x00, 0x05}));
        passMs(500);
        WalkReply poll = Exchange({0x3A, index});
        EXPECT_TRUE(poll.status == 0 || poll.status == 17);
        // The PID comes first, then the label.
        EXPECT_GE(poll.data.size(), 2u);
        if (poll.data.size() >= 2) {
            EXPECT_EQ(std::string(poll.data.begin() + 2, poll.data.end()), "Upstage haze");
        }
        WalkReply log = RdmGet(index, 0, 0x8102);  // longer than one packet
        ++seen[log.status];
        WalkReply unknown = RdmGet(index, 0, 0x0401);  // no lamp in a hazer
        ++seen[unknown.status];
    }
    return seen;
}

}  // namespace simtest
