// Firmware images: what make-image writes, and which images the unit takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "firmware_image.h"
#include "make_image_command.h"
#include "sim_test_util.h"
#include "unit_status.h"

namespace {

using namespace qelsim;
using simtest::RigHarness;

// Loads `records` into the unit the way the library does; returns the first refusal, or the
// finishing step's status.
uint8_t Load(RigHarness& h, const std::vector<Bytes>& records) {
    for (const Bytes& r : records) {
        uint8_t s = h.Cmd(command::kFirmwareRecord, r).status;
        if (s != status::kOk) return s;
    }
    return h.Cmd(command::kFirmwareFinish).status;
}

TEST(FirmwareImage, HeaderCarriesModelChecksumCountAndVersion) {
    ImageOptions o;
    o.records = 4;
    o.model = 3;
    std::vector<Bytes> image = BuildImage(o);
    ASSERT_EQ(image.size(), 5u);
    for (size_t i = 0; i < image.size(); ++i) {
        ASSERT_EQ(image[i].size(), kRecordSize);
        EXPECT_EQ(RecordNumber(image[i]), i);
    }
    ImageHeader h = DecodeHeader(image[0]);
    EXPECT_EQ(h.model, 3);
    EXPECT_EQ(h.lastRecord, 4);
    EXPECT_EQ(image[0][8], 4);  // N where the library reads it: bytes 9 and 10
    EXPECT_EQ(image[0][9], 0);
    uint32_t crc = 0;
    for (size_t i = 1; i < image.size(); ++i)
        crc = Crc32(crc, image[i].data(), kRecordSize);
    EXPECT_EQ(h.crc, crc);
    EXPECT_EQ(Crc32(0, reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
}

TEST(FirmwareLoad, GoodImageInstallsItsVersion) {
    RigHarness h("unit U\n");
    ImageOptions o;
    o.model = 3;
    o.version = {3, 1, 4, 2001};
    ASSERT_EQ(Load(h, BuildImage(o)), status::kOk);
    EXPECT_EQ(h.Cmd(command::kFirmwareRevision, {1}).data, (Bytes{'3', '.', '1', '.', '4', 0}));
    EXPECT_EQ(h.Cmd(command::kBuild).data, (Bytes{0xD1, 0x07, 0, 0}));
}

TEST(FirmwareLoad, RefusesForeignCorruptShortAndDisorderedImages) {
    ImageOptions o;
    o.model = 3;
    o.records = 6;
    struct Case {
        const char* what;
        std::vector<Bytes> records;
        uint8_t status;
    };
    ImageOptions foreign = o, corrupt = o, empty = o, corruptEmpty = o;
    foreign.foreign = true;
    corrupt.corrupt = true;
    empty.records = 0;
    corruptEmpty.records = 0;
    corruptEmpty.corrupt = true;
    std::vector<Bytes> good = BuildImage(o);
    std::vector<Bytes> missingLast(good.begin(), good.end() - 1);
    std::vector<Bytes> swapped = good;
    std::swap(swapped[2], swapped[3]);
    std::vector<Bytes> headerless(good.begin() + 1, good.end());
    const Case cases[] = {
        {"foreign", BuildImage(foreign), status::kImageForeign},
        {"corrupt", BuildImage(corrupt), status::kImageCorrupt},
        {"last record missing", missingLast, status::kImageCorrupt},
        {"records out of order", swapped, status::kImageCorrupt},
        {"no header", headerless, status::kImageCorrupt},
        {"header alone", BuildImage(empty), status::kOk},
        {"header alone, corrupt", BuildImage(corruptEmpty), status::kImageCorrupt},
    };
    for (const Case& c : cases) {
        RigHarness h("unit U\n");
        EXPECT_EQ(Load(h, c.records), c.status) << c.what;
    }
    RigHarness old("unit OLD model=1\n");
    EXPECT_EQ(Load(old, good), status::kImageForeign);
}

TEST(MakeImage, WritesHexadecimalLinesTheUnitTakes) {
    std::string path = ::testing::TempDir() + "/qel_image.hex";
    std::ostringstream err;
    ASSERT_EQ(RunMakeImage({"--records", "3", "--model", "3", path}, err), 0) << err.str();
    std::ifstream file(path);
    std::vector<Bytes> records;
    std::string line;
    while (std::getline(file, line)) {
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        ASSERT_EQ(line.size(), 2 * kRecordSize);
        Bytes r;
        for (size_t i = 0; i < line.size(); i += 2) {
            r.push_back(static_cast<uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
        }
        records.push_back(r);
    }
    ASSERT_EQ(records.size(), 4u);
    RigHarness h("unit U\n");
    EXPECT_EQ(Load(h, records), status::kOk);
    std::remove(path.c_str());
}

TEST(MakeImage, RejectsBadArguments) {
    std::ostringstream err;
    EXPECT_EQ(RunMakeImage({}, err), 2);
    EXPECT_EQ(RunMakeImage({"--records", "x", "out"}, err), 2);
    EXPECT_EQ(RunMakeImage({"--records", "70000", "out"}, err), 2);
    EXPECT_EQ(RunMakeImage({"--build", "-18446744073709551615", "out"}, err), 2);  // not 1
    EXPECT_EQ(RunMakeImage({"--bogus", "out"}, err), 2);
    EXPECT_EQ(RunMakeImage({"/nonexistent-dir/image.hex"}, err), 1);
    EXPECT_NE(err.str().find("usage"), std::string::npos);
}

}  // namespace
