#include "forms/InputMask.h"

#include <QStringList>

namespace qel {

int InputMask::inputCount() const {
    int n = 0;
    for (uint8_t c : codes)
        n += c != 0;
    return n;
}

int InputMask::firstInput() const {
    return inputAfter(-1);
}

int InputMask::inputBefore(int index) const {
    for (int i = std::min(index, length()) - 1; i >= 0; --i)
        if (codes[i] != 0) return i;
    return -1;
}

int InputMask::inputAfter(int index) const {
    for (int i = std::max(index + 1, 0); i < length(); ++i)
        if (codes[i] != 0) return i;
    return -1;
}

std::optional<InputMask> InputMask::parse(const QString& text, QString* refusal) {
    const QStringList fields = text.split(u';');
    const QString field2 = fields.size() > 1 ? fields[1].trimmed() : QString();
    if (!field2.isEmpty() && field2 != u"0" && field2 != u"1") {
        if (refusal)
            *refusal = QStringLiteral("Input mask Value \"%1\" not valid for field 2").arg(field2);
        return std::nullopt;
    }

    InputMask mask;
    mask.literalsInValue = field2 == u"1";
    if (fields.size() > 2 && !fields[2].isEmpty()) mask.placeholder = fields[2].front();

    enum { Both = 3, UpperCase = 1, LowerCase = 2 } letterCase = Both;
    bool escapeNext = false;
    const QString proper = fields[0].left(kMaxMaskChars);
    auto addPosition = [&](QChar literal, uint8_t flags, bool escaped) {
        mask.literals.append(flags ? QChar(0) : literal);
        mask.codes.push_back(flags);
        if (flags || (mask.literalsInValue && !escaped)) ++mask.valueLength;
    };
    for (QChar ch : proper) {
        if (escapeNext) {
            addPosition(ch, 0, true);
            escapeNext = false;
            continue;
        }
        const uint8_t c = letterCase;
        using namespace MaskFlag;
        switch (ch.unicode()) {
            case u'0':
                addPosition(ch, Digit, false);
                break;
            case u'9':
                addPosition(ch, Digit | Space | Optional, false);
                break;
            case u'#':
                addPosition(ch, Digit | Sign | Optional, false);
                break;
            case u'L':
                addPosition(ch, c, false);
                break;
            case u'?':
                addPosition(ch, c | Space | Optional, false);
                break;
            case u'A':
                addPosition(ch, c | Digit, false);
                break;
            case u'a':
                addPosition(ch, c | Digit | Optional, false);
                break;
            case u'&':
                addPosition(ch, c | Digit | Space | Sign | Other, false);
                break;
            case u'C':
                addPosition(ch, c | Digit | Space | Sign | Optional | Other, false);
                break;
            case u'H':
                addPosition(ch, Hex | Digit | Upper, false);
                break;
            case u'>':
                letterCase = UpperCase;
                break;
            case u'<':
                letterCase = LowerCase;
                break;
            case u'!':
                mask.fillFromRight = true;
                break;
            case u'/':
                escapeNext = true;
                break;
            default:
                addPosition(ch, 0, false);
                break;
        }
    }
    return mask;
}

std::optional<QChar> InputMask::accept(QChar typed, uint8_t flags) {
    using namespace MaskFlag;
    const bool letters = flags & (Upper | Lower);
    const bool upperOnly = (flags & Upper) && !(flags & Lower);
    const bool lowerOnly = (flags & Lower) && !(flags & Upper);
    const bool hex = flags & Hex;
    const char16_t u = typed.unicode();
    if (u >= u'a' && u <= u'z') {
        if (!letters || (u > u'f' && hex)) return std::nullopt;
        return upperOnly ? typed.toUpper() : typed;
    }
    if (u >= u'A' && u <= u'Z') {
        if (!letters || (u > u'F' && hex)) return std::nullopt;
        return lowerOnly ? typed.toLower() : typed;
    }
    if (u >= u'0' && u <= u'9') return flags & Digit ? std::optional(typed) : std::nullopt;
    if (u == u' ') return flags & Space ? std::optional(typed) : std::nullopt;
    if (u == u'+' || u == u'-') return flags & Sign ? std::optional(typed) : std::nullopt;
    return flags & Other ? std::optional(typed) : std::nullopt;
}

}  // namespace qel
