// The on-screen keyboard as a user meets it: every key where a click can reach it and none under
// another, what a click anywhere on the window hits, and what each press types.
#include "universal/osk_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/text.h"
#include "universal/osk_input.h"

namespace qorva::universal {
namespace {

const std::array<OskKeys, kOskTabCount> kLayouts = BuildOskLayouts(kOskWidth, kOskHeight);

const OskKeys& Keys(OskTab tab) { return kLayouts[static_cast<size_t>(tab)]; }

std::string Describe(const OskKey& key) {
    return "\"" + Utf16ToUtf8(key.label) + "\" at " + std::to_string(key.rect.left) + "," +
           std::to_string(key.rect.top);
}

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const LayoutRect& inner, const LayoutRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The `occurrence`-th key of the tab with this label (the English tab has two Shift keys).
const OskKey* FindKey(OskTab tab, const std::wstring& label, int occurrence = 0) {
    for (const OskKey& key : Keys(tab)) {
        if (key.label == label && occurrence-- == 0) return &key;
    }
    return nullptr;
}

LayoutPoint Centre(const LayoutRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(OskLayoutTest, EachTabHasItsKeys) {
    std::map<int32_t, int> englishRows;
    for (const OskKey& key : Keys(OskTab::English)) ++englishRows[key.rect.top];
    EXPECT_THAT(englishRows, testing::ElementsAre(testing::Pair(38, 17), testing::Pair(69, 15),
                                                  testing::Pair(108, 15), testing::Pair(147, 14),
                                                  testing::Pair(186, 14), testing::Pair(225, 9)));
    EXPECT_EQ(Keys(OskTab::Bangla).size(), 103u);
    EXPECT_EQ(Keys(OskTab::Characters).size(), 62u);
    EXPECT_EQ(Keys(OskTab::Emoji).size(), 80u);
}

TEST(OskLayoutTest, KeysStayApartAndInsideTheWindowBelowTheHeader) {
    const LayoutRect window{0, 0, kOskWidth, kOskHeight};
    // The Emoji grid's last column runs one pixel past the edge, into the rounded corner's cut.
    const int32_t emojiLastColumn = 8 + 39 * 15;
    for (size_t t = 0; t < kOskTabCount; ++t) {
        const OskKeys& keys = kLayouts[t];
        for (size_t i = 0; i < keys.size(); ++i) {
            const LayoutRect& r = keys[i].rect;
            SCOPED_TRACE("tab " + std::to_string(t) + ": " + Describe(keys[i]));
            EXPECT_FALSE(r.IsEmpty());
            EXPECT_FALSE(Overlap(r, kOskHeaderRect));
            if (static_cast<OskTab>(t) == OskTab::Emoji) {
                EXPECT_FALSE(Overlap(r, kOskSearchRect) || Overlap(r, kOskSearchButtonRect));
                EXPECT_EQ(Inside(r, window), r.left != emojiLastColumn);
            } else {
                EXPECT_TRUE(Inside(r, window));
            }
            for (size_t j = i + 1; j < keys.size(); ++j) {
                EXPECT_FALSE(Overlap(r, keys[j].rect)) << "and " << Describe(keys[j]);
            }
        }
    }
}

TEST(OskLayoutTest, CharactersTabLeavesOutItsLastColumn) {
    for (const char* symbol : {"\xE2\x89\xA5", "\xCF\x80", ":", "'"}) {  // ≥ π : '
        EXPECT_EQ(FindKey(OskTab::Characters, Utf8ToUtf16(symbol)), nullptr) << symbol;
    }
    for (const char* symbol : {"\xE2\x89\xA4", "\xE2\x88\x9E", ";", "`"}) {  // ≤ ∞ ; `
        EXPECT_NE(FindKey(OskTab::Characters, Utf8ToUtf16(symbol)), nullptr) << symbol;
    }
}

TEST(OskHitTest, HeaderHasTabsHideButtonsAndADragArea) {
    const OskKeys& english = Keys(OskTab::English);
    const OskKey* q = FindKey(OskTab::English, L"q");
    ASSERT_NE(q, nullptr);
    const size_t qIndex = static_cast<size_t>(q - english.data());
    const struct {
        const char* where;
        LayoutPoint point;
        OskHitKind kind;
        OskTab tab;
        size_t key;
    } cases[] = {
        {"English tab", Centre(kOskTabRects[0]), OskHitKind::Tab, OskTab::English, 0},
        {"Bangla tab", Centre(kOskTabRects[1]), OskHitKind::Tab, OskTab::Bangla, 0},
        {"Characters tab", Centre(kOskTabRects[2]), OskHitKind::Tab, OskTab::Characters, 0},
        {"Emoji tab's last pixel", {313, 29}, OskHitKind::Tab, OskTab::Emoji, 0},
        {"just past the Emoji tab", {314, 29}, OskHitKind::Drag, OskTab::English, 0},
        {"minimise button", Centre(kOskMinimizeRect), OskHitKind::Hide, OskTab::English, 0},
        {"close button", Centre(kOskCloseRect), OskHitKind::Hide, OskTab::English, 0},
        {"move button", Centre(kOskMoveRect), OskHitKind::Drag, OskTab::English, 0},
        {"header between the tabs", {82, 20}, OskHitKind::Drag, OskTab::English, 0},
        {"header's bottom row", {20, 35}, OskHitKind::Drag, OskTab::English, 0},
        {"the q key", Centre(q->rect), OskHitKind::Key, OskTab::English, qIndex},
        {"q's top-left pixel",
         {q->rect.left, q->rect.top},
         OskHitKind::Key,
         OskTab::English,
         qIndex},
        {"the gap right of q",
         {q->rect.right, q->rect.top},
         OskHitKind::Nothing,
         OskTab::English,
         0},
        {"below the last row", {300, 280}, OskHitKind::Nothing, OskTab::English, 0},
    };
    for (const auto& c : cases) {
        const OskHit hit = HitTestOsk(english, c.point);
        EXPECT_EQ(hit.kind, c.kind) << c.where;
        if (c.kind == OskHitKind::Tab) {
            EXPECT_EQ(hit.tab, c.tab) << c.where;
        }
        if (c.kind == OskHitKind::Key) {
            EXPECT_EQ(hit.key, c.key) << c.where;
        }
    }
    EXPECT_EQ(HitTestOsk(Keys(OskTab::Emoji), Centre(kOskSearchButtonRect)).kind,
              OskHitKind::Nothing);
}

// The events of one press of a virtual key, or of typing `text` unit by unit.
Keystrokes VirtualKeyPress(uint16_t vk) { return {{vk, 0, 0}, {vk, 0, kKeyUp}}; }

Keystrokes UnicodePresses(const std::wstring& text) {
    Keystrokes keys;
    for (const wchar_t unit : text) {
        const auto scan = static_cast<uint16_t>(unit);
        keys.push_back({0, scan, kUnicode});
        keys.push_back({0, scan, kUnicode | kKeyUp});
    }
    return keys;
}

TEST(OskPressTest, KeysTypeAndTheShiftLatchHoldsForOneCharacter) {
    constexpr uint16_t kNoKey = 0;
    const struct {
        const char* what;
        OskTab tab;
        const char* label;  // UTF-8
        int occurrence;
        bool latchedBefore;
        uint16_t vk;        // expected virtual key, or
        const char* typed;  // the expected text (UTF-8)
        bool latchedAfter;
    } cases[] = {
        {"left Shift latches", OskTab::English, "Shift", 0, false, kNoKey, "", true},
        {"right Shift latches", OskTab::English, "Shift", 1, false, kNoKey, "", true},
        {"Shift again releases", OskTab::English, "Shift", 0, true, kNoKey, "", false},
        {"q", OskTab::English, "q", 0, false, kNoKey, "q", false},
        {"Shift, q", OskTab::English, "q", 0, true, kNoKey, "Q", false},
        {"Shift, 1", OskTab::English, "1", 0, true, kNoKey, "!", false},
        {"Shift, the quote key", OskTab::English, "'", 0, true, kNoKey, "\"", false},
        {"Shift, Tab sends Tab unshifted", OskTab::English, "Tab", 0, true, 0x09, nullptr, true},
        {"Shift, F5", OskTab::English, "F5", 0, true, 0x74, nullptr, true},
        {"Caps sends the real Caps Lock", OskTab::English, "Caps", 0, true, 0x14, nullptr, true},
        {"the space bar sends Space", OskTab::English, "", 0, false, 0x20, nullptr, false},
        {"Shift, a Bangla letter", OskTab::Bangla, "\xE0\xA6\x86", 0, true, kNoKey, "\xE0\xA6\x86",
         false},
        {"a conjunct at once", OskTab::Bangla, "\xE0\xA6\x95\xE0\xA7\x8D\xE0\xA6\xB7", 0, false,
         kNoKey, "\xE0\xA6\x95\xE0\xA7\x8D\xE0\xA6\xB7", false},
        {"Shift, ZWJ types the joiner", OskTab::Bangla, "ZWJ", 0, true, kNoKey, "\xE2\x80\x8D",
         false},
        {"ZWNJ types the non-joiner", OskTab::Bangla, "ZWNJ", 0, false, kNoKey, "\xE2\x80\x8C",
         false},
        {"Shift, a symbol", OskTab::Characters, "\xC2\xA9", 0, true, kNoKey, "\xC2\xA9", false},
        {"an emoji of two units", OskTab::Emoji, "\xF0\x9F\xA5\xB3", 0, false, kNoKey,
         "\xF0\x9F\xA5\xB3", false},
        {"a flag of four units", OskTab::Emoji, "\xF0\x9F\x87\xA7\xF0\x9F\x87\xA9", 0, true, kNoKey,
         "\xF0\x9F\x87\xA7\xF0\x9F\x87\xA9", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const OskKey* key = FindKey(c.tab, Utf8ToUtf16(c.label), c.occurrence);
        ASSERT_NE(key, nullptr);
        bool latched = c.latchedBefore;
        const OskPress press = PressOskKey(*key, latched);
        EXPECT_EQ(press.keys,
                  c.typed ? UnicodePresses(Utf8ToUtf16(c.typed)) : VirtualKeyPress(c.vk));
        EXPECT_EQ(latched, c.latchedAfter);
        // The keyboard is redrawn whenever the latch, and with it the labels, changed.
        EXPECT_EQ(press.redraw, latched != c.latchedBefore);
    }
}

TEST(OskPressTest, EveryCharacterKeyTypesItsTextWithOrWithoutTheLatch) {
    for (size_t t = 0; t < kOskTabCount; ++t) {
        for (const OskKey& key : kLayouts[t]) {
            if (key.vk != 0) continue;
            SCOPED_TRACE("tab " + std::to_string(t) + ": " + Describe(key));
            for (bool latched : {false, true}) {
                const OskPress press = PressOskKey(key, latched);
                EXPECT_FALSE(press.keys.empty());
                for (const KeyRecord& record : press.keys) {
                    EXPECT_EQ(record.virtualKey, 0);
                    EXPECT_NE(record.scanCode, 0);
                    EXPECT_TRUE(record.flags & kUnicode);
                }
                EXPECT_FALSE(latched);
            }
        }
    }
}

}  // namespace
}  // namespace qorva::universal
