#include "datafile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "failure.h"
#include "image_text.h"

namespace qelio {
namespace {

using testing::Hex;
using testing::MakeHeader;
using testing::MakeImage;
using testing::MakeRecord;
using testing::RecordBytes;
using testing::TempFile;

std::string FailureOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const Failure& f) {
        return f.Name();
    }
    return "no failure";
}

// Loads `text` and keeps the file alive for as long as the fixture.
class ImageFileTest : public ::testing::Test {
  protected:
    void LoadText(const std::string& text) {
        file_ = std::make_unique<TempFile>(text);
        image_.Load(file_->Path());
    }
    std::string LoadFailure(const std::string& text) {
        file_ = std::make_unique<TempFile>(text);
        return FailureOf([&] { image_.Load(file_->Path()); });
    }
    std::string RecordFailure(uint16_t number) {
        return FailureOf([&] { image_.Record(number); });
    }
    bool Holds(uint16_t number, const RecordBytes& expected) {
        const ImageRecord got = image_.Record(number);
        return std::equal(got.begin(), got.end(), expected.begin());
    }

    std::unique_ptr<TempFile> file_;
    ImageFile image_;
};

TEST_F(ImageFileTest, ReadsHeaderAndRecordsOfAWellFormedImage) {
    LoadText(MakeImage(5));
    EXPECT_TRUE(image_.IsOpen());
    EXPECT_EQ(image_.Count(), 5);
    EXPECT_TRUE(Holds(0, MakeHeader(5)));
    for (uint16_t i = 1; i <= 5; ++i)
        EXPECT_TRUE(Holds(i, MakeRecord(i))) << i;
}

TEST_F(ImageFileTest, LastRecordNumberIsLittleEndian) {
    LoadText(Hex(MakeHeader(0x1234)) + "\n");
    EXPECT_EQ(image_.Count(), 0x1234);
}

// The same two records written in different ways must read back the same bytes.
TEST_F(ImageFileTest, SpellingOfDigitsSpacesAndLineEndsDoNotMatter) {
    const RecordBytes header = MakeHeader(1);
    const RecordBytes one = MakeRecord(1, 0x5A);
    auto spaced = [](const std::string& hex) {
        std::string out;
        for (char c : hex)
            out += std::string(" ") + c;  // also splits every digit pair
        return out + "  ";
    };
    auto mixed = [](std::string hex) {
        for (std::size_t i = 0; i < hex.size(); i += 3)
            hex[i] = static_cast<char>(std::tolower(hex[i]));
        return hex;
    };
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"CR LF", Hex(header) + "\r\n" + Hex(one) + "\r\n"},
        {"LF", Hex(header) + "\n" + Hex(one) + "\n"},
        {"CR", Hex(header) + "\r" + Hex(one) + "\r"},
        {"LF CR and empty lines", "\n\r\n" + Hex(header) + "\n\r\r\n" + Hex(one) + "\n\n"},
        {"lower case", Hex(header, false) + "\n" + Hex(one, false) + "\n"},
        {"mixed case", mixed(Hex(header)) + "\n" + mixed(Hex(one)) + "\n"},
        {"spaces everywhere", spaced(Hex(header)) + "\n" + spaced(Hex(one)) + "\n"},
        {"no line end after the last record", Hex(header) + "\n" + Hex(one)},
        {"descending order", Hex(one) + "\n" + Hex(header) + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadText(c.text);
        EXPECT_EQ(image_.Count(), 1);
        EXPECT_TRUE(Holds(0, header));
        EXPECT_TRUE(Holds(1, one));
    }
}

TEST_F(ImageFileTest, SpaceBetweenTheDigitsOfAByte) {
    RecordBytes header = MakeHeader(0);
    header[2] = 0x01;
    std::string text = Hex(header);
    text.replace(4, 2, "0 1");
    LoadText(text);
    EXPECT_EQ(image_.Record(0)[2], 0x01);
}

TEST_F(ImageFileTest, FirstLineOfANumberWins) {
    LoadText(Hex(MakeHeader(2, 1)) + "\n" + Hex(MakeRecord(2, 1)) + "\n" + Hex(MakeHeader(7, 2)) +
             "\n" + Hex(MakeRecord(1, 1)) + "\n" + Hex(MakeRecord(2, 2)) + "\n");
    EXPECT_EQ(image_.Count(), 2);
    EXPECT_TRUE(Holds(1, MakeRecord(1, 1)));
    EXPECT_TRUE(Holds(2, MakeRecord(2, 1)));
    EXPECT_TRUE(Holds(0, MakeHeader(2, 1)));
}

TEST_F(ImageFileTest, ShortLinesAreNeverRecords) {
    // A 67-byte line that starts like the header, and one of 68 bytes less a digit.
    const std::string header = Hex(MakeHeader(3, 9));
    LoadText(header.substr(0, 134) + "\n" + header.substr(0, 135) + "\n" + Hex(MakeHeader(0)) +
             "\n");
    EXPECT_EQ(image_.Count(), 0);
    EXPECT_TRUE(Holds(0, MakeHeader(0)));
}

TEST_F(ImageFileTest, LoneDigitIsDroppedAtTheLineEndButFailsInsideAPair) {
    const std::string header = Hex(MakeHeader(1));
    const std::string one = Hex(MakeRecord(1));
    LoadText(header + "Z\n" + one + "\n");  // odd count: 'Z' left over, dropped
    EXPECT_TRUE(Holds(1, MakeRecord(1)));

    EXPECT_EQ(LoadFailure(header.substr(0, 20) + "Z" + header.substr(20) + "\n"),
              "BYTES.DATA_ERROR");
    EXPECT_FALSE(image_.IsOpen());
    EXPECT_EQ(LoadFailure("0Z" + header + "\n"), "BYTES.DATA_ERROR");
    // Only a space is ignored; a tab is a character like any other.
    EXPECT_EQ(LoadFailure("\t" + header + "\n"), "BYTES.DATA_ERROR");
}

// A bad character fails a search only when the search gets that far: records before it
// stay readable, before and after the failure.
TEST_F(ImageFileTest, BadCharacterCountsOnlyOnceASearchReachesIt) {
    LoadText(Hex(MakeHeader(3)) + "\n" + Hex(MakeRecord(1)) + "\n" + "00GG\n" + Hex(MakeRecord(2)) +
             "\n" + Hex(MakeRecord(3)) + "\n");
    EXPECT_TRUE(Holds(1, MakeRecord(1)));
    EXPECT_EQ(RecordFailure(2), "BYTES.DATA_ERROR");
    EXPECT_TRUE(Holds(1, MakeRecord(1)));
    EXPECT_TRUE(Holds(0, MakeHeader(3)));
    EXPECT_EQ(RecordFailure(3), "BYTES.DATA_ERROR");
}

TEST_F(ImageFileTest, RecordIsTakenAtItsLastByteBeforeWhatFollowsOnTheLine) {
    LoadText(Hex(MakeHeader(2)) + "XY\n" + Hex(MakeRecord(1)) + "\n" + Hex(MakeRecord(2)) + "\n");
    EXPECT_EQ(image_.Count(), 2);
    EXPECT_EQ(RecordFailure(1), "BYTES.DATA_ERROR");  // reaches the "XY" after the header
    EXPECT_TRUE(Holds(0, MakeHeader(2)));
}

TEST_F(ImageFileTest, OverlongLineFailsWhenASearchReachesItsSixtyNinthByte) {
    const std::string overlong = Hex(MakeRecord(1)) + "00";
    LoadText(Hex(MakeHeader(2)) + "\n" + overlong + "\n" + Hex(MakeRecord(2)) + "\n");
    // Record 1 is complete before the extra byte is read; nothing goes past the record.
    EXPECT_TRUE(Holds(1, MakeRecord(1)));
    EXPECT_EQ(RecordFailure(2), "BYTES.DATA_ERROR");

    EXPECT_EQ(LoadFailure(overlong + "\n" + Hex(MakeHeader(1)) + "\n"), "BYTES.DATA_ERROR");
    EXPECT_EQ(LoadFailure(Hex(MakeRecord(1)) + Hex(MakeHeader(0)) + "\n"), "BYTES.DATA_ERROR")
        << "two records run together on one line";
}

TEST_F(ImageFileTest, MissingRecordsFailCleanly) {
    EXPECT_EQ(LoadFailure(""), "DATAFILE.RECORD_ERROR");
    EXPECT_FALSE(image_.IsOpen());
    EXPECT_EQ(LoadFailure("\r\n  \n"), "DATAFILE.RECORD_ERROR");
    EXPECT_EQ(LoadFailure(Hex(MakeRecord(1)) + "\n"), "DATAFILE.RECORD_ERROR");

    LoadText(Hex(MakeHeader(3)) + "\n" + Hex(MakeRecord(1)) + "\n" + Hex(MakeRecord(3)) + "\n");
    EXPECT_EQ(RecordFailure(2), "DATAFILE.RECORD_ERROR");
    EXPECT_TRUE(Holds(3, MakeRecord(3)));  // passed on the way, still readable
    EXPECT_EQ(RecordFailure(2), "DATAFILE.RECORD_ERROR");
}

TEST_F(ImageFileTest, PathsThatCannotBeReadAndRecoveryAfterwards) {
    EXPECT_EQ(FailureOf([&] { image_.Load("/nonexistent/image.hex"); }), "DATAFILE.PATH_ERROR");
    EXPECT_FALSE(image_.IsOpen());
    EXPECT_EQ(FailureOf([&] { image_.Load("/tmp"); }), "DATAFILE.PATH_ERROR");
    EXPECT_EQ(FailureOf([&] { image_.Load(""); }), "DATAFILE.PATH_ERROR");
    EXPECT_EQ(RecordFailure(0), "DATAFILE.PATH_ERROR");

    LoadText(MakeImage(1));
    EXPECT_EQ(image_.Count(), 1);
    // A later failing Load leaves nothing of the earlier file behind.
    EXPECT_EQ(LoadFailure("GG"), "BYTES.DATA_ERROR");
    EXPECT_FALSE(image_.IsOpen());
    EXPECT_EQ(RecordFailure(1), "DATAFILE.PATH_ERROR");
    LoadText(MakeImage(2));
    EXPECT_TRUE(Holds(2, MakeRecord(2)));
}

// Many records across several read chunks, asked for in a shuffled order.
TEST_F(ImageFileTest, LargeImageInAnyOrderOfQuestions) {
    constexpr uint16_t kLast = 3000;
    LoadText(MakeImage(kLast));
    EXPECT_EQ(image_.Count(), kLast);
    std::vector<uint16_t> order(kLast + 1);
    std::iota(order.begin(), order.end(), uint16_t{0});
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    for (uint16_t i : order) {
        if (i == 0) continue;
        ASSERT_TRUE(Holds(i, MakeRecord(i))) << i;
    }
    EXPECT_EQ(RecordFailure(kLast + 1), "DATAFILE.RECORD_ERROR");
}

TEST_F(ImageFileTest, HighestRecordNumber) {
    LoadText(Hex(MakeHeader(0xFFFF)) + "\n" + Hex(MakeRecord(0xFFFF)) + "\n");
    EXPECT_EQ(image_.Count(), 0xFFFF);
    EXPECT_TRUE(Holds(0xFFFF, MakeRecord(0xFFFF)));
}

}  // namespace
}  // namespace qelio
