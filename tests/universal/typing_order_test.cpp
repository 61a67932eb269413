// What reaches the application keeps the order the user typed it in, whether the user's keys come
// while the program's keys wait to be sent or while they are being sent.
#include "universal/typing_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qorva::universal {
namespace {

constexpr uint32_t kShift = 0x10, kCapsLock = 0x14, kBack = 0x08, kDelete = 0x2E;

WaitingKey UserKey(uint32_t vk, wchar_t character = 0, uint16_t scanCode = 0,
                   bool extended = false) {
    WaitingKey waiting;
    waiting.key.vk = vk;
    waiting.key.character = character;
    waiting.scanCode = scanCode;
    waiting.extended = extended;
    return waiting;
}

Keystrokes Text(const wchar_t* text) {
    Keystrokes keys;
    AppendUnicode(keys, text);
    return keys;
}

// Records what the application receives, a line per call: the text typed as Unicode ("a"), key
// presses by virtual key ("<8>") with their scan code and extended flag where set.
std::string Describe(const Keystrokes& keys) {
    std::string out;
    for (const KeyRecord& r : keys) {
        if (r.flags & kKeyUp) continue;
        if (r.flags & kUnicode) {
            out += static_cast<char>(r.scanCode);
        } else {
            out += "<" + std::to_string(r.virtualKey);
            if (r.scanCode) out += " s" + std::to_string(r.scanCode);
            if (r.flags & kExtendedKey) out += " e";
            out += ">";
        }
    }
    return out;
}

struct Application {
    std::vector<std::string> received;
    bool refuse = false;
    int failures = 0;
};

TypingOrder::Actions Deliver(Application& app, TypingOrder& order) {
    TypingOrder::Actions actions;
    actions.send = [&app](const Keystrokes& keys) {
        if (app.refuse) return false;
        app.received.push_back(Describe(keys));
        return true;
    };
    // A letter is eaten and typed by the program; anything else would have passed.
    actions.handle = [&order](const WaitingKey& waiting) {
        if (waiting.key.character < L'a' || waiting.key.character > L'z') return false;
        order.Queue(Text(std::wstring(1, waiting.key.character).c_str()));
        return true;
    };
    actions.sendFailed = [&app] { ++app.failures; };
    return actions;
}

TEST(TypingOrderTest, KeysWaitOnlyWhileTheProgramsKeysDoAndModifiersNever) {
    TypingOrder order;
    EXPECT_FALSE(order.MustWait('A'));
    order.Queue(Text(L"a"));
    EXPECT_TRUE(order.MustWait('M'));
    EXPECT_TRUE(order.MustWait(kBack));
    EXPECT_FALSE(order.MustWait(kShift));
    EXPECT_FALSE(order.MustWait(kCapsLock));
    Application app;
    order.Drain(Deliver(app, order));
    EXPECT_TRUE(order.Idle());
    EXPECT_FALSE(order.MustWait('M'));
}

TEST(TypingOrderTest, WaitingKeysFollowTheQueuedKeysInTheOrderTyped) {
    TypingOrder order;
    Application app;
    order.Queue(Text(L"a"));
    order.Wait(UserKey('M', L'm'));
    order.Wait(UserKey(kBack, 0, 14));
    order.Wait(UserKey(kDelete, 0, 83, true));
    order.Wait(UserKey('I', L'i'));
    order.Drain(Deliver(app, order));
    EXPECT_EQ(app.received, (std::vector<std::string>{"a", "m", "<8 s14>", "<46 s83 e>", "i"}));
}

TEST(TypingOrderTest, AKeyTypedWhileKeysAreBeingSentWaitsForThem) {
    TypingOrder order;
    Application app;
    TypingOrder::Actions actions = Deliver(app, order);
    const auto send = actions.send;
    bool typedDuringSend = false;
    actions.send = [&](const Keystrokes& keys) {
        // The system calls the hook again from inside SendInput with the user's next key.
        if (!typedDuringSend) {
            typedDuringSend = true;
            EXPECT_TRUE(order.MustWait(kBack));
            order.Wait(UserKey(kBack));
            order.Drain(actions);  // returns at once: this send goes on
            EXPECT_TRUE(app.received.empty());
        }
        return send(keys);
    };
    order.Queue(Text(L"ab"));
    order.Drain(actions);
    EXPECT_EQ(app.received, (std::vector<std::string>{"ab", "<8>"}));
    EXPECT_TRUE(order.Idle());
}

TEST(TypingOrderTest, KeysTheSystemRefusedDropTheWordAndWaitingKeysStillCome) {
    TypingOrder order;
    Application app;
    app.refuse = true;
    order.Queue(Text(L"a"));
    order.Wait(UserKey(kBack));
    TypingOrder::Actions actions = Deliver(app, order);
    actions.sendFailed = [&] {
        ++app.failures;
        app.refuse = false;
    };
    order.Drain(actions);
    EXPECT_EQ(app.failures, 1);
    EXPECT_EQ(app.received, (std::vector<std::string>{"<8>"}));
}

}  // namespace
}  // namespace qorva::universal
