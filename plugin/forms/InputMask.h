// The mask language of masked entry fields, parsed into one flag byte per position.
//
// A mask has up to three fields separated by ";": the mask proper, "1" when the literal
// characters belong to the value ("0" or empty when they do not), and the placeholder
// shown at empty input positions (a space when empty). Mask characters:
//   0 digit        9 digit or space, optional      # digit or sign, optional
//   L letter       ? letter or space, optional     A letter or digit
//   a letter or digit, optional     & any character     C any character, optional
//   H hexadecimal digit, shown in upper case
//   > following letters upper case   < following letters lower case
//   ! fill from the right            / the next character is a literal
// Any other character is a literal that cannot be typed over.
#pragma once

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace qel {

namespace MaskFlag {
enum : uint8_t {
    Upper = 1,  // letters; alone, typed lower case becomes upper case
    Lower = 2,  // letters; alone, typed upper case becomes lower case
    Digit = 4,
    Space = 8,
    Sign = 16,  // "+" and "-"
    Optional = 32,
    Other = 64,  // anything that is not an ASCII letter, digit, space or sign
    Hex = 128,   // letters restricted to A..F
};
}

struct InputMask {
    // The mask proper is cut to this many characters.
    static constexpr int kMaxMaskChars = 255;

    QString literals;            // the literal at literal positions, code 0 at input positions
    std::vector<uint8_t> codes;  // flags per position; 0 at literal positions
    QChar placeholder = u' ';
    bool literalsInValue = false;
    bool fillFromRight = false;
    // Input positions, plus the unescaped literals when literals belong to the value.
    int valueLength = 0;

    int length() const { return static_cast<int>(codes.size()); }
    bool isInput(int index) const { return index >= 0 && index < length() && codes[index] != 0; }
    int inputCount() const;
    int firstInput() const;
    // The nearest input position before / after an index, or -1.
    int inputBefore(int index) const;
    int inputAfter(int index) const;

    // Parses a mask. A field 2 other than "0", "1" or empty is refused with the message
    // the field shows for it.
    static std::optional<InputMask> parse(const QString& text, QString* refusal = nullptr);

    // Whether a typed character may stand at a position with these flags, and the
    // character it becomes there (letters change case as the flags say).
    static std::optional<QChar> accept(QChar typed, uint8_t flags);
};

}  // namespace qel
