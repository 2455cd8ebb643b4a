#include "forms/MaskEntry.h"
#include "forms/InputMask.h"

#include <gtest/gtest.h>

#include <vector>

using qel::InputMask;
using qel::MaskEntry;
using Key = qel::MaskEntry::Key;

namespace {

InputMask mustParse(const QString& text) {
    const auto mask = InputMask::parse(text);
    EXPECT_TRUE(mask.has_value()) << text.toStdString();
    return mask.value_or(InputMask{});
}

// Everything one typing session reports, in order.
struct Session {
    MaskEntry entry;
    int beeps = 0;
    std::vector<bool> states;
    std::vector<QString> finished;
    int refusals = 0;

    explicit Session(const QString& mask) { entry.setMask(mustParse(mask)); }

    void take(const MaskEntry::Effects& fx) {
        beeps += fx.beep;
        if (fx.stateChange) states.push_back(*fx.stateChange);
        if (fx.finished) finished.push_back(*fx.finished);
        refusals += fx.refused;
    }
    // Keys as text: ESC is Escape, \b Backspace, DEL Delete, \x02 Left, \x06 Right.
    void type(const QString& keys) {
        for (QChar ch : keys) {
            switch (ch.unicode()) {
                case 0x1b:
                    take(entry.key(Key::Escape));
                    break;
                case u'\b':
                    take(entry.key(Key::Backspace));
                    break;
                case 0x7f:
                    take(entry.key(Key::Delete));
                    break;
                case 0x02:
                    take(entry.key(Key::Left));
                    break;
                case 0x06:
                    take(entry.key(Key::Right));
                    break;
                default:
                    take(entry.key(Key::Character, ch));
            }
        }
    }
    QString selected() const {
        return entry.display().mid(entry.selectionStart(), entry.selectionLength());
    }
};

}  // namespace

TEST(InputMask, EachMaskCharacterGivesItsFlags) {
    struct Case {
        const char* mask;
        std::vector<uint8_t> codes;
        int valueLength;
    };
    const Case cases[] = {
        {"099;1", {4, 44, 44}, 3},
        {"#", {52}, 1},
        {"L?Aa&C", {3, 43, 7, 39, 95, 127}, 6},
        {">L?Aa&C", {1, 41, 5, 37, 93, 125}, 6},
        {"<L>L", {2, 1}, 2},
        {"H>H<H", {133, 133, 133}, 3},
        {"00/-00;1", {4, 4, 0, 4, 4}, 4},
        {"00-00;1", {4, 4, 0, 4, 4}, 5},
        {"00-00", {4, 4, 0, 4, 4}, 4},
        {"/0/9;1", {0, 0}, 0},
        {"(0)", {0, 4, 0}, 1},
        {"!99", {44, 44}, 2},
        {"0/", {4}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        const InputMask m = mustParse(c.mask);
        EXPECT_EQ(m.codes, c.codes);
        EXPECT_EQ(m.valueLength, c.valueLength);
    }
    EXPECT_EQ(mustParse("/0/9;1").literals, "09");
    EXPECT_TRUE(mustParse("!99").fillFromRight);
    EXPECT_FALSE(mustParse("99").fillFromRight);
    EXPECT_TRUE(mustParse("0; 1 ").literalsInValue);
    EXPECT_FALSE(mustParse("0;0").literalsInValue);
}

TEST(InputMask, PlaceholderComesFromTheThirdField) {
    EXPECT_EQ(mustParse("00").placeholder, u' ');
    EXPECT_EQ(mustParse("00;;").placeholder, u' ');
    EXPECT_EQ(mustParse("00;1;_x").placeholder, u'_');
}

TEST(InputMask, ABadSecondFieldIsRefusedWithItsMessage) {
    QString refusal;
    EXPECT_FALSE(InputMask::parse("00; 2 ;_", &refusal).has_value());
    EXPECT_EQ(refusal, "Input mask Value \"2\" not valid for field 2");
    EXPECT_FALSE(InputMask::parse("00;yes", &refusal).has_value());
    EXPECT_EQ(refusal, "Input mask Value \"yes\" not valid for field 2");
}

TEST(InputMask, AnOverlongMaskIsCut) {
    EXPECT_EQ(mustParse(QString(400, u'0')).length(), InputMask::kMaxMaskChars);
}

TEST(InputMask, TypedCharactersAreCheckedAndConvertedByTheFlags) {
    struct Case {
        char16_t typed;
        uint8_t flags;
        char16_t result;  // 0: refused
    };
    const Case cases[] = {
        {u'b', 133, u'B'}, {u'g', 133, 0},         {u'Z', 133, 0},  {u'F', 133, u'F'},
        {u'7', 133, u'7'}, {u'a', 1, u'A'},        {u'A', 2, u'a'}, {u'a', 3, u'a'},
        {u'A', 3, u'A'},   {u'q', 4, 0},           {u'5', 4, u'5'}, {u' ', 44, u' '},
        {u' ', 4, 0},      {u'+', 52, u'+'},       {u'-', 4, 0},    {u'.', 93, u'.'},
        {u'.', 7, 0},      {u'\xe9', 93, u'\xe9'}, {u'\xe9', 3, 0}, {u'x', 0, 0},
        {u'1', 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.typed) << " flags " << int(c.flags));
        const auto got = InputMask::accept(QChar(c.typed), c.flags);
        if (c.result == 0) {
            EXPECT_FALSE(got.has_value());
        } else {
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(got->unicode(), c.result);
        }
    }
}

TEST(MaskEntry, TypingAndLeavingTheField) {
    struct Case {
        const char* mask;
        QString keys;
        const char* shown;
        const char* value;  // nullptr: no value on leaving (see restored)
        int beeps;
        bool restored = false;  // nothing was typed: leaving gives the old text back
    };
    const Case cases[] = {
        {"099;1", "7", "7  ", "7", 0},
        {"099;1", "1 3", "1 3", "13", 0},
        {"099;1", "1234", "123", "123", 1},
        {"00", "1", "1 ", nullptr, 0},
        {"00", "x", "  ", nullptr, 1, true},
        {">LL", "ab", "AB", "AB", 0},
        {"<LL", "AB", "ab", "ab", 0},
        {"00/-00;1", "1234", "12-34", "12-34", 0},
        {"00-00", "1234", "12-34", "1234", 0},
        {"HH", "bg", "B ", nullptr, 1},
        {"HH", "1f", "1F", "1F", 0},
        {"0a0", "1x\b\b2", "2  ", nullptr, 0},
        {"000", "12\x02\x02\x7f", " 2 ", nullptr, 0},
        {"000", "123\b4", "124", "124", 0},
        {"!999", "12", " 12", "12", 0},
        {"0;;_", "", "_", nullptr, 0, true},
        {"(000)", "12", "(12 )", nullptr, 0},
        {"&&", " .", " .", nullptr, 0},
        {"CC", " .", " .", ".", 0},
        {"##", "-5", "-5", "-5", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mask << " typing " << c.keys.toStdString());
        Session s(c.mask);
        s.take(s.entry.focusIn());
        s.type(c.keys);
        EXPECT_EQ(s.entry.display().toStdString(), c.shown);
        EXPECT_EQ(s.beeps, c.beeps);
        s.take(s.entry.focusOut());
        if (c.value) {
            ASSERT_EQ(s.finished.size(), 1u);
            EXPECT_EQ(s.finished[0].toStdString(), c.value);
            EXPECT_EQ(s.entry.value().toStdString(), c.value);
            EXPECT_FALSE(s.entry.editing());
            EXPECT_EQ(s.entry.display().toStdString(), c.shown);  // placeholders stay
        } else if (c.restored) {
            EXPECT_TRUE(s.finished.empty());
            EXPECT_EQ(s.refusals, 0);
            EXPECT_EQ(s.entry.display(), "");
            EXPECT_FALSE(s.entry.editing());
        } else {
            EXPECT_EQ(s.refusals, 1);
            EXPECT_TRUE(s.finished.empty());
            EXPECT_TRUE(s.entry.editing());
        }
    }
}

TEST(MaskEntry, ATypedKeyOverAValueStartsAFreshEntry) {
    Session s("099;1");
    s.take(s.entry.write("5"));
    EXPECT_EQ(s.entry.display(), "5");
    s.take(s.entry.focusIn());
    EXPECT_EQ(s.selected(), "5");  // the whole text
    s.type("1");
    EXPECT_EQ(s.entry.display(), "1  ");
    EXPECT_EQ(s.entry.caret(), 1);
    EXPECT_EQ(s.entry.selectionStart(), 1);
    EXPECT_EQ(s.entry.selectionLength(), 1);
}

TEST(MaskEntry, LeavingWithoutTypingRestoresTheTextAndEndsTheEntry) {
    Session s("00");
    s.take(s.entry.write("42"));
    s.take(s.entry.focusIn());
    s.type("\b");  // clears nothing typed: the field is fresh and empty
    EXPECT_EQ(s.entry.display(), "  ");
    s.take(s.entry.focusOut());
    EXPECT_EQ(s.entry.display(), "42");
    EXPECT_TRUE(s.finished.empty());
    EXPECT_FALSE(s.entry.editing());
    // The next visit starts afresh rather than typing over the restored text.
    s.type("7");
    EXPECT_EQ(s.entry.display(), "7 ");
}

TEST(MaskEntry, EscapeRestoresTheTextShownBeforeTheEntry) {
    Session s("099;1");
    s.take(s.entry.write("42"));
    s.take(s.entry.focusIn());
    s.type("7\x1b");
    EXPECT_EQ(s.entry.display(), "42");
    EXPECT_FALSE(s.entry.editing());
    EXPECT_EQ(s.entry.value(), "42");
    EXPECT_EQ(s.beeps, 0);
    s.type("\x1b");  // nothing to escape from
    EXPECT_EQ(s.beeps, 1);
}

TEST(MaskEntry, StateChangeReportsEachCrossingOnce) {
    Session s("00");
    s.take(s.entry.focusIn());
    s.type("1");
    EXPECT_TRUE(s.states.empty());
    s.type("2");
    EXPECT_EQ(s.states, std::vector<bool>{true});
    s.type("\b");
    EXPECT_EQ(s.states, (std::vector<bool>{true, false}));
    s.type("3");
    EXPECT_EQ(s.states, (std::vector<bool>{true, false, true}));
    s.type("\x02\x02\x7f");  // clearing the first position
    EXPECT_EQ(s.states, (std::vector<bool>{true, false, true, false}));

    // A fresh entry over a complete value is no longer complete, even before a key is
    // accepted; crossing back within the same key reports nothing.
    Session fresh("00");
    fresh.take(fresh.entry.write("12"));
    fresh.take(fresh.entry.focusIn());
    fresh.type("x");
    EXPECT_EQ(fresh.states, (std::vector<bool>{true, false}));
    Session one("0");
    one.take(one.entry.write("1"));
    one.take(one.entry.focusIn());
    one.type("2");
    EXPECT_EQ(one.states, std::vector<bool>{true});
    EXPECT_TRUE(one.entry.complete());

    // An escaped literal does not count towards a complete entry.
    Session dash("00/-00;1");
    dash.take(dash.entry.focusIn());
    dash.type("1234");
    EXPECT_EQ(dash.states, std::vector<bool>{true});
}

TEST(MaskEntry, WritingAValueShowsItWithItsLiterals) {
    struct Case {
        const char* mask;
        const char* written;
        const char* shown;
        bool complete;
    };
    const Case cases[] = {
        {"099;1", "5", "5", false},
        {"099;1", "1234", "123", true},
        {"00-00", "1234", "12-34", true},
        {"00-00", "1", "1-", false},
        {"00-00;1", "12-34", "12-34", true},
        // The escaped literal is part of the finished value; writing that value back
        // must not lose its last character.
        {"00/-00;1", "12-34", "12-34", true},
        {"0999", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mask << " = " << c.written);
        Session s(c.mask);
        s.take(s.entry.write(c.written));
        EXPECT_EQ(s.entry.display().toStdString(), c.shown);
        EXPECT_EQ(s.entry.value().toStdString(), c.shown);
        EXPECT_EQ(s.entry.complete(), c.complete);
        EXPECT_EQ(s.states.size(), c.complete ? 1u : 0u);
    }
}

TEST(MaskEntry, CaretMovesOnlyOverInputPositions) {
    Session s("(00)-0");
    s.take(s.entry.focusIn());
    EXPECT_EQ(s.entry.caret(), 1);
    s.type("\x02");  // nothing before the first input position: the caret stays
    EXPECT_EQ(s.entry.caret(), 1);
    s.type("\x06\x06");
    EXPECT_EQ(s.entry.caret(), 5);
    EXPECT_EQ(s.selected(), " ");
    s.type("\x06\x06");  // past the end, nothing is highlighted and typing is refused
    EXPECT_EQ(s.entry.caret(), 6);
    EXPECT_EQ(s.entry.selectionLength(), 0);
    s.type("9");
    EXPECT_EQ(s.beeps, 1);
    s.type("\b8");
    EXPECT_EQ(s.entry.display(), "(  )-8");
    EXPECT_EQ(s.entry.caret(), 6);
    s.take(s.entry.key(Key::Home));
    EXPECT_EQ(s.entry.caret(), 1);
    s.take(s.entry.key(Key::End));
    EXPECT_EQ(s.entry.caret(), 5);
    s.take(s.entry.key(Key::Up));
    EXPECT_EQ(s.entry.caret(), 5);
    EXPECT_EQ(s.entry.display(), "(  )-8");  // arrows never change the text
}

TEST(MaskEntry, RevertDuringAnEntryKeepsTypingSafe) {
    Session s("0000");
    s.take(s.entry.write("1"));
    s.take(s.entry.focusIn());
    s.type("9");
    s.take(s.entry.revert());
    EXPECT_EQ(s.entry.display(), "1");
    EXPECT_TRUE(s.entry.editing());
    s.entry.placeCaret(3);
    s.type("5");
    EXPECT_EQ(s.entry.display(), "1  5");
}

TEST(MaskEntry, WithoutInputPositionsEveryKeyIsRefused) {
    Session s("--");
    s.take(s.entry.focusIn());
    s.type("1\b\x7f");
    EXPECT_EQ(s.beeps, 3);
    EXPECT_EQ(s.entry.display(), "--");
    EXPECT_TRUE(s.states.empty());
}
