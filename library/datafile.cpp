#include "datafile.h"

#include "bytes.h"
#include "failure.h"

namespace qelio {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
using kind::kPathError;
using kind::kRecordError;

}  // namespace

void ImageFile::Load(const std::string& path) {
    Close();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) throw Failure(kPathError);
    file_.reset(f);
    chunk_.resize(kChunkSize);
    try {
        const ImageRecord header = Record(0);
        last_ = static_cast<uint16_t>(LittleEndian(&header[8], 2));
    } catch (...) {
        Close();
        throw;
    }
}

void ImageFile::Close() {
    file_.reset();
    chunk_.clear();
    chunk_.shrink_to_fit();
    chunkPos_ = chunkEnd_ = 0;
    scanner_.Restart();
    slots_.clear();
    records_.clear();
    stop_.clear();
}

ImageRecord ImageFile::Record(uint16_t number) {
    if (!IsOpen()) throw Failure(kPathError);
    if (!Seen(number) && !SearchFor(number)) throw Failure(kRecordError);
    return records_[static_cast<std::size_t>(slots_[number])];
}

bool ImageFile::SearchFor(uint16_t number) {
    if (!stop_.empty()) throw Failure(stop_);
    try {
        for (;;) {
            if (chunkPos_ == chunkEnd_ && !Refill()) {
                stop_ = kRecordError;
                return false;
            }
            if (!scanner_.Take(chunk_[chunkPos_++])) continue;
            const uint16_t found = scanner_.Number();
            if (Seen(found)) continue;  // a later line with a number seen before
            if (found >= slots_.size()) slots_.resize(found + 1u, -1);
            slots_[found] = static_cast<int32_t>(records_.size());
            records_.push_back(scanner_.Current());
            if (found == number) return true;
        }
    } catch (const Failure& failure) {
        stop_ = failure.Name();
        throw;
    }
}

bool ImageFile::Seen(uint16_t number) const {
    return number < slots_.size() && slots_[number] >= 0;
}

bool ImageFile::Refill() {
    chunkPos_ = 0;
    chunkEnd_ = std::fread(chunk_.data(), 1, chunk_.size(), file_.get());
    if (chunkEnd_ == 0 && std::ferror(file_.get())) throw Failure(kPathError);
    return chunkEnd_ > 0;
}

}  // namespace qelio
