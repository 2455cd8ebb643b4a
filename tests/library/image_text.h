// Builds firmware image texts for the image-reader and reprogramming tests and the
// benchmarks: 68-byte records written as hexadecimal digit pairs, one per line.
#pragma once

#include <unistd.h>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace qelio::testing {

using RecordBytes = std::array<uint8_t, 68>;

// A record numbered `number` whose contents are derived from `fill`, so that two records
// with the same number but different fills can be told apart.
inline RecordBytes MakeRecord(uint16_t number, uint8_t fill = 0) {
    RecordBytes r{};
    r[0] = static_cast<uint8_t>(number & 0xFF);
    r[1] = static_cast<uint8_t>(number >> 8);
    for (std::size_t i = 2; i < r.size(); ++i)
        r[i] = static_cast<uint8_t>(fill + i * 7 + number);
    return r;
}

// The header: record 0 with the last record number in bytes 9 and 10.
inline RecordBytes MakeHeader(uint16_t last, uint8_t fill = 0) {
    RecordBytes r = MakeRecord(0, fill);
    r[8] = static_cast<uint8_t>(last & 0xFF);
    r[9] = static_cast<uint8_t>(last >> 8);
    return r;
}

template <typename Bytes>
std::string Hex(const Bytes& bytes, bool upper = true) {
    static const char* kUpper = "0123456789ABCDEF";
    static const char* kLower = "0123456789abcdef";
    const char* digits = upper ? kUpper : kLower;
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

// A whole image of records 0..last in ascending order, CR LF line ends.
inline std::string MakeImage(uint16_t last) {
    std::string text = Hex(MakeHeader(last)) + "\r\n";
    for (uint32_t i = 1; i <= last; ++i)
        text += Hex(MakeRecord(static_cast<uint16_t>(i))) + "\r\n";
    return text;
}

// A file in the temporary directory holding a given text, removed again at the end.
class TempFile {
  public:
    explicit TempFile(const std::string& text) {
        char name[] = "/tmp/qelio-image-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        if (fd >= 0) {
            std::size_t done = 0;
            while (done < text.size()) {
                const ssize_t n = write(fd, text.data() + done, text.size() - done);
                if (n <= 0) break;
                done += static_cast<std::size_t>(n);
            }
            close(fd);
        }
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace qelio::testing
