// DATAFILE: the firmware image file, a text of 68-byte records in hexadecimal, one per
// line, numbered by their first two bytes (little-endian). The header, record 0, gives
// the number of the last record N in its bytes 9 and 10.
//
// Records are found exactly as a search from the start of the file would find them: the
// first line carrying a number wins, and a bad character only counts once a search gets
// that far. The file is read once, lazily, as far as the searches have reached; every
// record passed on the way is kept, so reading all records costs time linear in the
// size of the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "record_scanner.h"

namespace qelio {

class ImageFile {
  public:
    // Closes the file loaded before, opens `path` and reads the header. Throws Failure:
    // "DATAFILE.PATH_ERROR" when the file cannot be opened or read, and the failures of
    // Record(0). After a failure no file is loaded.
    void Load(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // N, the number of the last record, from the header of the last successful Load.
    uint16_t Count() const { return last_; }

    // The record numbered `number`. Throws Failure: "BYTES.DATA_ERROR" when the search
    // meets a bad character or an overlong line first, "DATAFILE.RECORD_ERROR" when no
    // line carries the number, "DATAFILE.PATH_ERROR" when no file is loaded or reading
    // fails.
    ImageRecord Record(uint16_t number);

  private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    // Reads on until the record `number` turns up. Returns false at the end of the file;
    // throws the failure that stops the search.
    bool SearchFor(uint16_t number);
    bool Seen(uint16_t number) const;
    bool Refill();

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<char> chunk_;
    std::size_t chunkPos_ = 0;
    std::size_t chunkEnd_ = 0;
    RecordScanner scanner_;
    // Where each record number's first line is kept in records_, -1 (or beyond the end)
    // while unseen.
    std::vector<int32_t> slots_;
    std::vector<ImageRecord> records_;
    // Set once the search can go no further: the failure every later search for an
    // unseen number ends with.
    std::string stop_;
    uint16_t last_ = 0;
};

}  // namespace qelio
