#include "reprog_steps.h"

#include <gtest/gtest.h>

#include <string>

#include "failure.h"

namespace qelio {
namespace {

TEST(ProgressAfterRecord, ShareAcknowledgedKeptWithinOneAndNinetyNine) {
    struct Case {
        uint32_t index, last;
        int32_t progress;
    };
    const Case cases[] = {
        {0, 0, 100},  // header alone
        {0, 4, 1},       {1, 4, 25},         {2, 4, 50},          {3, 4, 75},
        {4, 4, 100},     {0, 200, 1},        {1, 200, 1},         {2, 200, 1},
        {3, 200, 1},     {199, 200, 99},     {200, 200, 100},     {0, 1, 1},
        {1, 1, 100},     {65534, 65535, 99}, {65535, 65535, 100}, {655, 65535, 1},
        {656, 65535, 1}, {32768, 65535, 50},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressAfterRecord(c.index, c.last), c.progress)
            << "record " << c.index << " of 0.." << c.last;
    }
}

TEST(CheckStepStatus, MapsTheUnitsAnswers) {
    struct Case {
        Bytes reply;
        const char* failure;  // nullptr: accepted
    };
    const Case cases[] = {
        {{0}, nullptr},
        {{0, 1, 2}, nullptr},
        {{10}, "REPROG.ERROR_DATACHECKSUM"},
        {{11}, "REPROG.ERROR_INCOMPATIBLE"},
        {{3}, "REPROG.ERROR_UNKNOWN"},
        {{1}, "REPROG.ERROR_UNKNOWN"},
        {{255, 0}, "REPROG.ERROR_UNKNOWN"},
        {{}, "REPROG.ERROR_UNKNOWN"},  // a reply without a status byte
    };
    for (const Case& c : cases) {
        std::string got = "accepted";
        try {
            CheckStepStatus(c.reply);
        } catch (const Failure& f) {
            got = f.Name();
        }
        EXPECT_EQ(got, c.failure ? c.failure : "accepted")
            << "status " << (c.reply.empty() ? -1 : c.reply[0]);
    }
}

TEST(PolledProgress, PassesValuesOnButTurnsMinusElevenIntoIncompatible) {
    for (int32_t value : {0, 1, 57, 100, -3, -7, -8, -10, -12, -14, -100}) {
        EXPECT_EQ(PolledProgress(value), value);
    }
    try {
        PolledProgress(-11);
        ADD_FAILURE() << "-11 handed out";
    } catch (const Failure& f) {
        EXPECT_EQ(f.Name(), "REPROG.ERROR_INCOMPATIBLE");
    }
}

}  // namespace
}  // namespace qelio
