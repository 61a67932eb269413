// The keyboard hook's decision for each key the user types: hot keys, then whether typing is
// handled, the keys of shown predictions and candidates, Enter, and the word itself.
#include "universal/hook_decision.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

namespace qorva::universal {
namespace {

using Command = HookDecision::Command;

constexpr uint32_t kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20, kLeft = 0x25,
                   kUp = 0x26, kDown = 0x28, kBack = 0x08, kF12 = 0x7B, kNumpad2 = 0x62,
                   kNumpad6 = 0x66, kPeriod = 0xBE;

// A key with the modifiers named in `held`: C(trl), A(lt), S(hift), W(in).
HookKey Key(uint32_t vk, wchar_t character = 0, const char* held = "") {
    HookKey key;
    key.vk = vk;
    key.character = character;
    for (const char* m = held; *m; ++m) {
        key.ctrl |= *m == 'C';
        key.alt |= *m == 'A';
        key.shift |= *m == 'S';
        key.win |= *m == 'W';
    }
    return key;
}

HookKey Letter(char c) { return Key(static_cast<uint32_t>(c - 'a' + 'A'), c); }
HookKey Digit(char c) { return Key(static_cast<uint32_t>(c), c); }

TEST(HotKeyToggleTest, OnlyTheExactCombinationsAreHotKeys) {
    struct Case {
        HookKey key;
        const char* name;
        std::optional<ModeToggle> toggle;
    };
    const Case cases[] = {
        {Key(kF12), "F12", ModeToggle::BanglaEnglish},
        {Key(kF12, 0, "S"), "Shift+F12", std::nullopt},
        {Key(kF12, 0, "C"), "Ctrl+F12", std::nullopt},
        {Key(kSpace, L' ', "C"), "Ctrl+Space", ModeToggle::BanglaEnglish},
        {Key(kSpace, L' ', "CS"), "Ctrl+Shift+Space", std::nullopt},
        {Key(kSpace, L' ', "CW"), "Ctrl+Win+Space", std::nullopt},
        {Key(kSpace, L' ', "CA"), "Ctrl+Alt+Space", ModeToggle::BanglaEnglish},
        {Key(kSpace, L' ', "CASW"), "Ctrl+Alt+Shift+Win+Space", ModeToggle::BanglaEnglish},
        {Key(kSpace, L' '), "Space", std::nullopt},
        {Key('E', L'e', "CA"), "Ctrl+Alt+E", ModeToggle::BanglaTranslation},
        {Key('E', L'E', "CAS"), "Ctrl+Alt+Shift+E", ModeToggle::BanglaTranslation},
        {Key('E', L'e', "CAW"), "Ctrl+Alt+Win+E", std::nullopt},
        {Key('E', L'e', "C"), "Ctrl+E", std::nullopt},
        {Key('L', L'l', "CA"), "Ctrl+Alt+L, the pause hot key", std::nullopt},
        {Key('V', L'v', "CA"), "Ctrl+Alt+V, voice typing", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(HotKeyToggle(c.key), c.toggle) << c.name;
}

struct Before {
    const char* typed = "";  // letters of the word so far
    bool visible = false;
    size_t listSize = 0;
    size_t selected = 0;
    bool predicting = false;
    bool handleNow = true;
    bool paused = false;  // the suggestions are paused
};

struct After {
    bool eat = false;
    bool closeList = false;
    bool clearPredicting = false;
    Command command = Command::None;
    size_t row = 0;
    const char* word = "";  // the letters collected after the key
    // For CommitWord: the word, the boundary (UTF-8) and the letters to erase.
    const char* committed = "";
    const char* boundary = "";
    uint32_t eraseCount = 0;
    bool predictionsFollow = true;
};

struct DecisionCase {
    const char* name;
    Before before;
    HookKey key;
    After after;
};

const Before kCandidates{"ami", true, 4, 0, false, true};
const Before kPredictions{"", true, 3, 1, true, true};
const Before kWordWithoutWindow{"ami", false, 0, 0, false, true};

void ExpectDecision(const DecisionCase& c) {
    UniversalTyping typing;
    typing.SetEnabled(true);
    for (const char* p = c.before.typed; *p; ++p)
        typing.Feed(ClassifyKey(*p - 'a' + 'A', *p, false, false, false, false, false));
    const HookView view{c.before.handleNow, c.before.visible,    c.before.selected,
                        c.before.listSize,  c.before.predicting, c.before.paused};

    const size_t lettersBefore = typing.Buffer().size();
    const HookDecision d = DecideKey(c.key, view, typing);
    EXPECT_EQ(d.eat, c.after.eat) << c.name;
    // Every letter that joins the word, and nothing else, is typed by the program itself.
    const bool joined = typing.Buffer().size() == lettersBefore + 1;
    EXPECT_EQ(d.typeLetter, joined ? c.key.character : L'\0') << c.name;
    EXPECT_EQ(d.closeList, c.after.closeList) << c.name;
    EXPECT_EQ(d.clearPredicting, c.after.clearPredicting) << c.name;
    EXPECT_EQ(d.command, c.after.command) << c.name;
    if (c.after.command == Command::CommitRow) {
        EXPECT_EQ(d.row, c.after.row) << c.name;
    }
    EXPECT_EQ(Utf16ToUtf8(typing.Buffer()), c.after.word) << c.name;
    if (c.after.command == Command::CommitWord) {
        EXPECT_EQ(Utf16ToUtf8(d.commit.text), c.after.committed) << c.name;
        EXPECT_EQ(Utf16ToUtf8(d.commit.boundary), c.after.boundary) << c.name;
        EXPECT_EQ(d.commit.eraseCount, c.after.eraseCount) << c.name;
        EXPECT_EQ(d.predictionsFollow, c.after.predictionsFollow) << c.name;
    }
}

TEST(DecideKeyTest, WhereTypingIsNotHandledTheWordIsDroppedAndTheKeyPasses) {
    const DecisionCase cases[] = {
        {"candidates shown", {"ami", true, 4, 0, false, false}, Letter('x'), {false, true, true}},
        {"nothing shown",
         {"ami", false, 0, 0, false, false},
         Key(kSpace, L' '),
         {false, false, true}},
        {"predictions shown", {"", true, 3, 0, true, false}, Digit('1'), {false, true, true}},
    };
    for (const DecisionCase& c : cases) ExpectDecision(c);
}

TEST(DecideKeyTest, PredictionKeysChooseMoveOrCloseThePredictions) {
    const DecisionCase cases[] = {
        {"Esc closes them and is eaten", kPredictions, Key(kEscape), {true, true, true}},
        {"Space closes them and passes", kPredictions, Key(kSpace, L' '), {false, true, true}},
        {"Backspace closes them and passes", kPredictions, Key(kBack), {false, true, true}},
        {"Enter closes them and passes", kPredictions, Key(kReturn, L'\r'), {false, true, true}},
        {"Down", kPredictions, Key(kDown), {true, false, false, Command::SelectNext}},
        {"Up", kPredictions, Key(kUp), {true, false, false, Command::SelectPrev}},
        {"Tab takes the selected row",
         kPredictions,
         Key(kTab, L'\t'),
         {true, false, false, Command::CommitRow, 1}},
        {"Shift+Tab is no choice: it closes them and types a tab",
         kPredictions,
         Key(kTab, L'\t', "S"),
         {false, true, true}},
        {"3 takes row 3", kPredictions, Digit('3'), {true, false, false, Command::CommitRow, 2}},
        {"numpad 2 takes row 2",
         kPredictions,
         Key(kNumpad2, L'2'),
         {true, false, false, Command::CommitRow, 1}},
        {"4 beyond the rows closes them and types the digit",
         kPredictions,
         Digit('4'),
         {false, true, true}},
        {"a letter closes them and starts a word",
         kPredictions,
         Letter('k'),
         {true, true, true, Command::UpdateCandidates, 0, "k"}},
        {"Ctrl+Esc closes them and passes",
         kPredictions,
         Key(kEscape, 0, "C"),
         {false, true, true}},
        {"a window closed meanwhile: they are closed, the key goes on",
         {"", false, 3, 0, true},
         Key(kDown),
         {false, true, true}},
    };
    for (const DecisionCase& c : cases) ExpectDecision(c);
}

TEST(DecideKeyTest, CandidateKeysChooseMoveKeepTheLatinOrEndTheWord) {
    const DecisionCase cases[] = {
        {"Down", kCandidates, Key(kDown), {true, false, false, Command::SelectNext, 0, "ami"}},
        {"Up", kCandidates, Key(kUp), {true, false, false, Command::SelectPrev, 0, "ami"}},
        {"Tab takes the selected row",
         {"ami", true, 4, 2},
         Key(kTab, L'\t'),
         {true, false, false, Command::CommitRow, 2, "ami"}},
        {"Shift+Tab too",
         {"ami", true, 4, 2},
         Key(kTab, L'\t', "S"),
         {true, false, false, Command::CommitRow, 2, "ami"}},
        {"Enter keeps the Latin and reaches the application",
         kCandidates,
         Key(kReturn, L'\r'),
         {false, true, false}},
        {"Esc keeps the Latin and is eaten", kCandidates, Key(kEscape), {true, true, false}},
        {"2 takes row 2",
         kCandidates,
         Digit('2'),
         {true, false, false, Command::CommitRow, 1, "ami"}},
        {"numpad 2 takes row 2",
         kCandidates,
         Key(kNumpad2, L'2'),
         {true, false, false, Command::CommitRow, 1, "ami"}},
        {"Shift+2 is no choice: the word ends with its character",
         kCandidates,
         Key('2', L'@', "S"),
         {true, false, false, Command::CommitWord, 0, "", "ami", "@", 3}},
        {"5 beyond the rows ends the word as a digit",
         kCandidates,
         Digit('5'),
         {true, false, false, Command::CommitWord, 0, "", "ami", "5", 3}},
        {"6 on the main row ends the word as a digit",
         kCandidates,
         Digit('6'),
         {true, false, false, Command::CommitWord, 0, "", "ami", "6", 3}},
        {"numpad 6 drops the word and reaches the application",
         kCandidates,
         Key(kNumpad6, L'6'),
         {false, true, false}},
        {"Win+Enter is the user's shortcut: the word stays",
         kCandidates,
         Key(kReturn, L'\r', "W"),
         {false, false, false, Command::None, 0, "ami"}},
        {"Space ends the word",
         kCandidates,
         Key(kSpace, L' '),
         {true, false, false, Command::CommitWord, 0, "", "ami", " ", 3}},
        {"a full stop ends the word with a danda",
         kCandidates,
         Key(kPeriod, L'.'),
         {true, false, false, Command::CommitWord, 0, "", "ami", "\xE0\xA5\xA4", 3}},
        {"Backspace shortens the word",
         kCandidates,
         Key(kBack, 0x08),
         {false, false, false, Command::UpdateCandidates, 0, "am"}},
        {"Left moves the caret: the word is dropped",
         kCandidates,
         Key(kLeft),
         {false, true, false}},
    };
    for (const DecisionCase& c : cases) ExpectDecision(c);
}

TEST(DecideKeyTest, EnterDropsTheWordUnlessHeldWithAModifier) {
    const DecisionCase cases[] = {
        {"Enter",
         kWordWithoutWindow,
         Key(kReturn, L'\r'),
         {false, false, false, Command::None, 0, ""}},
        {"Win+Enter",
         kWordWithoutWindow,
         Key(kReturn, L'\r', "W"),
         {false, false, false, Command::None, 0, "ami"}},
        {"Ctrl+Enter",
         kWordWithoutWindow,
         Key(kReturn, L'\r', "C"),
         {false, false, false, Command::None, 0, "ami"}},
        {"Shift+Enter",
         kWordWithoutWindow,
         Key(kReturn, L'\r', "S"),
         {false, false, false, Command::None, 0, ""}},
    };
    for (const DecisionCase& c : cases) ExpectDecision(c);
}

TEST(DecideKeyTest, TheWordGrowsAndEndsWithoutAWindow) {
    const DecisionCase cases[] = {
        {"a letter", {}, Letter('a'), {true, false, false, Command::UpdateCandidates, 0, "a"}},
        {"a capital joins the word in lower case and is typed as it was",
         kWordWithoutWindow,
         Key('K', L'K', "S"),
         {true, false, false, Command::UpdateCandidates, 0, "amik"}},
        {"a space ends the word with the top candidate",
         kWordWithoutWindow,
         Key(kSpace, L' '),
         {true, false, false, Command::CommitWord, 0, "", "ami", " ", 3}},
        {"a full stop on its own becomes a danda",
         {},
         Key(kPeriod, L'.'),
         {true, false, false, Command::CommitWord, 0, "", "", "\xE0\xA5\xA4", 0}},
        {"Backspace of the last letter", {"a", true, 2}, Key(kBack, 0x08), {false, true, false}},
        {"a space with no word passes", {}, Key(kSpace, L' '), {}},
        {"Ctrl+letter leaves the word alone",
         kWordWithoutWindow,
         Key('C', L'c', "C"),
         {false, false, false, Command::None, 0, "ami"}},
    };
    for (const DecisionCase& c : cases) ExpectDecision(c);
}

// Paused suggestions: words still turn into Bengali at their boundary, but no list opens, and one
// shown when the pause began closes at the next key.
TEST(DecideKeyTest, PausedSuggestionsConvertWordsWithoutAList) {
    Before paused;
    paused.paused = true;
    Before wordPaused = kWordWithoutWindow;
    wordPaused.paused = true;
    Before candidatesPaused = kCandidates;
    candidatesPaused.paused = true;
    Before predictionsPaused = kPredictions;
    predictionsPaused.paused = true;
    const DecisionCase cases[] = {
        {"a letter shows nothing",
         paused,
         Letter('a'),
         {true, false, false, Command::None, 0, "a"}},
        {"Backspace inside the word shows nothing",
         wordPaused,
         Key(kBack, 0x08),
         {false, false, false, Command::None, 0, "am"}},
        {"a space converts the word, no predictions after it",
         wordPaused,
         Key(kSpace, L' '),
         {true, false, false, Command::CommitWord, 0, "", "ami", " ", 3, false}},
        {"a shown candidate list closes and the digit ends the word",
         candidatesPaused,
         Digit('2'),
         {true, true, true, Command::CommitWord, 0, "", "ami", "2", 3, false}},
        {"shown predictions close and the digit passes",
         predictionsPaused,
         Digit('1'),
         {false, true, true, Command::None, 0, ""}},
    };
    for (const DecisionCase& c : cases) ExpectDecision(c);
}

TEST(ShouldHandleTypingTest, HandledOnlyInBanglaOrTranslationWhereTheInputProcessorDoesNotServe) {
    struct Case {
        const char* name;
        bool host, typing;
        uint32_t mode;
        bool bengaliLayout, tsfServes, refuses, handled, tsfAsked, refusalAsked;
    };
    const Case cases[] = {
        {"Bangla", true, true, 0, false, false, false, true, false, true},
        {"translation", true, true, 2, false, false, false, true, false, true},
        {"English", true, true, 1, false, false, false, false, false, false},
        {"a mode no program knows", true, true, 7, false, false, false, false, false, false},
        {"paused", false, true, 0, false, false, false, false, false, false},
        {"typing switched off", true, false, 0, false, false, false, false, false, false},
        {"the input processor serves", true, true, 0, true, true, false, false, true, false},
        {"Bengali layout without the input processor", true, true, 0, true, false, false, true,
         true, true},
        {"the input processor loaded but another layout", true, true, 2, false, true, false, true,
         false, true},
        {"an application that refuses typed keys", true, true, 0, false, false, true, false, false,
         true},
    };
    for (const Case& c : cases) {
        bool tsfAsked = false;
        bool refusalAsked = false;
        const bool handled = ShouldHandleTyping(
            c.host, c.typing, static_cast<ModeTarget>(c.mode), c.bengaliLayout,
            [&] {
                tsfAsked = true;
                return c.tsfServes;
            },
            [&] {
                refusalAsked = true;
                return c.refuses;
            });
        EXPECT_EQ(handled, c.handled) << c.name;
        EXPECT_EQ(tsfAsked, c.tsfAsked) << c.name;
        EXPECT_EQ(refusalAsked, c.refusalAsked) << c.name;
    }
}

}  // namespace
}  // namespace qorva::universal
