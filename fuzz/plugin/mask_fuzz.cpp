// Masks of entry fields and typing into them: any mask text, then any sequence of keys,
// focus changes, writes and reverts. Nothing may crash, and what the field shows must
// stay consistent with the mask.
#include "forms/InputMask.h"
#include "forms/MaskEntry.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, int line = __builtin_LINE()) {
    if (!ok) {
        std::fprintf(stderr, "mask_fuzz: check on line %d failed\n", line);
        std::abort();
    }
}

void checkEntry(const qel::MaskEntry& e) {
    const int length = e.mask().length();
    check(e.filledCount() >= 0 && e.filledCount() <= length);
    check(e.selectionStart() >= 0 && e.selectionLength() >= 0);
    check(e.selectionStart() + e.selectionLength() <= e.display().size());
    check(e.caret() >= 0 && e.caret() <= length);
    if (e.complete()) check(e.filledCount() == e.mask().inputCount());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t split = 0;
    while (split < size && data[split] != 0)
        ++split;
    const QString maskText =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(split));
    const auto mask = qel::InputMask::parse(maskText);
    if (!mask) return 0;
    check(mask->length() <= qel::InputMask::kMaxMaskChars);
    check(mask->literals.size() == mask->length());

    qel::MaskEntry entry;
    entry.setMask(*mask);
    using Key = qel::MaskEntry::Key;
    for (size_t i = split + 1; i < size; ++i) {
        const uint8_t b = data[i];
        switch (b) {
            case 0:
                entry.focusIn();
                break;
            case 1:
                entry.focusOut();
                break;
            case 2:
                entry.revert();
                break;
            case 3:
                entry.placeCaret(i + 1 < size ? data[++i] - 8 : 0);
                break;
            case 4: {
                const size_t n = i + 1 < size ? data[++i] % 16 : 0;
                QString value;
                for (size_t k = 0; k < n && i + 1 < size; ++k)
                    value += QChar(data[++i]);
                entry.write(value);
                check(entry.display().size() <= mask->length());
                break;
            }
            case 5:
                entry.key(Key::Escape);
                break;
            case 6:
                entry.key(Key::Left);
                break;
            case 7:
                entry.key(Key::Right);
                break;
            case 8:
                entry.key(Key::Backspace);
                break;
            case 9:
                entry.key(Key::Delete);
                break;
            case 10:
                entry.key(Key::Home);
                break;
            case 11:
                entry.key(Key::End);
                break;
            case 12:
                entry.key(Key::Up);
                break;
            default:
                entry.key(Key::Character, QChar(b == 13 ? 0xD800 : b));
                break;
        }
        checkEntry(entry);
    }
    return 0;
}
