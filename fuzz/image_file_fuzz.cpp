// Image files of any content: loading, then reading the records the header announces as
// a run does, must end in a record or a named failure, never a crash, an overread or a
// hang, and a record handed out must carry the number it was asked for.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "datafile.h"
#include "failure.h"

namespace {

// The file each input is written to, removed again when the fuzzer ends.
struct Scratch {
    const std::string path = "/tmp/qelio-image-fuzz-" + std::to_string(getpid());
    ~Scratch() { std::remove(path.c_str()); }
};

const std::string& ScratchPath() {
    static const Scratch scratch;
    return scratch.path;
}

bool WriteScratch(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteScratch(data, size)) return 0;
    qelio::ImageFile image;
    try {
        image.Load(ScratchPath());
    } catch (const qelio::Failure&) {
        Check(!image.IsOpen());
        return 0;
    }
    // As a run does: records 0 to N in turn, ending at the first failure.
    const uint32_t last = image.Count();
    for (uint32_t i = 0; i <= last; ++i) {
        try {
            const qelio::ImageRecord record = image.Record(static_cast<uint16_t>(i));
            Check((record[0] | record[1] << 8) == static_cast<int>(i));
        } catch (const qelio::Failure& f) {
            const std::string name = f.Name();
            Check(name == "BYTES.DATA_ERROR" || name == "DATAFILE.RECORD_ERROR" ||
                  name == "DATAFILE.PATH_ERROR");
            break;
        }
    }
    // Records already passed stay readable after the search has stopped.
    const qelio::ImageRecord header = image.Record(0);
    Check(header[0] == 0 && header[1] == 0);
    return 0;
}
