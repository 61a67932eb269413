// The candidate popup as a real window: shown, clicked and fed from worker threads.
#include "tsf/candidate_window.h"

#include "tests/support/message_pump.h"
#include "tests/support/real_click.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

// Every allocation through operator new is counted, so a test can see whether records were freed.
namespace {
std::atomic<long> g_liveAllocations{0};
}

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    ++g_liveAllocations;
    return block;
}

void operator delete(void* block) noexcept {
    if (!block) return;
    --g_liveAllocations;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace qorva_tsf {
namespace {

using qorva_test::ClickUntil;
using qorva_test::PumpUntil;
using testing::ElementsAre;

// Longer than any small-string buffer, so that each record owns heap blocks of its own.
const std::wstring kLongText(40, L'x');

std::vector<std::wstring> Words(size_t count) {
    std::vector<std::wstring> words;
    for (size_t i = 0; i < count; ++i) words.push_back(L"word" + std::to_wstring(i));
    return words;
}

LPARAM PointParam(int x, int y) { return MAKELPARAM(x, y); }

class CandidateWindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.Initialize(GetModuleHandleW(nullptr))); }

    HWND Popup() const { return window.Handle(); }

    SIZE ClientSize() const {
        RECT client{};
        GetClientRect(Popup(), &client);
        return {client.right, client.bottom};
    }

    // Content width of the current layout, from which every rectangle of the popup follows.
    int ContentWidth() const { return ClientSize().cx - 12; }

    void Click(int x, int y) {
        SendMessageW(Popup(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    }

    // Delivers what is queued for this thread now.
    void PumpPending() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    CandidateWindow window;
    const RECT caret{200, 200, 202, 220};
};

TEST_F(CandidateWindowTest, ShowsHiddenPopupAtCaretWithoutActivation) {
    const LONG_PTR exStyle = GetWindowLongPtrW(Popup(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(IsWindowVisible(Popup()));

    window.ShowCandidates(Words(3), 1, caret);

    EXPECT_TRUE(window.visible);
    EXPECT_TRUE(IsWindowVisible(Popup()));
    EXPECT_EQ(window.selected, 1u);
    RECT placed{};
    GetWindowRect(Popup(), &placed);
    EXPECT_EQ(placed.left, 200);
    EXPECT_EQ(placed.top, 224);
    EXPECT_EQ(ClientSize().cy, 32 + 3 * 26 + 4);
    EXPECT_GE(ClientSize().cx, 192);
    EXPECT_EQ(SendMessageW(Popup(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(Popup()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_NE(GetForegroundWindow(), Popup());
}

TEST_F(CandidateWindowTest, LaysOutNineRowsButSelectsOverAllCandidates) {
    int selections = 0;
    window.onSelect = [&](size_t) { ++selections; };
    window.ShowCandidates(Words(12), 0, caret);
    EXPECT_EQ(ClientSize().cy, 32 + 9 * 26 + 4);

    window.SelectPrev();
    EXPECT_EQ(window.selected, 11u);
    for (int i = 0; i < 12; ++i) window.SelectNext();
    EXPECT_EQ(window.selected, 11u);
    EXPECT_EQ(selections, 0);

    Click(20, 32 + 8 * 26 + 13);
    EXPECT_EQ(window.selected, 8u);
    Click(20, 32 + 9 * 26 + 13);  // below the ninth row: nothing is there
    EXPECT_EQ(selections, 1);
}

TEST_F(CandidateWindowTest, SelectedIndexBeyondTheListSelectsFirstRow) {
    window.ShowCandidates(Words(3), 7, caret);
    EXPECT_EQ(window.selected, 0u);
}

TEST_F(CandidateWindowTest, ClicksReachTheirCallbacks) {
    std::vector<size_t> rows;
    std::vector<CandidateWindow::ConversionTarget> targets;
    int voiceClicks = 0;
    window.onSelect = [&](size_t row) { rows.push_back(row); };
    window.onConversionTargetChanged = [&](CandidateWindow::ConversionTarget t) {
        targets.push_back(t);
    };
    window.onVoiceClicked = [&] { ++voiceClicks; };
    window.SetVoiceState(CandidateWindow::VoiceState::Idle, L"");
    window.ShowCandidates(Words(3), 0, caret);
    const int half = ContentWidth() / 2;
    using Target = CandidateWindow::ConversionTarget;

    Click(20, 32 + 26 + 13);        // second row
    Click(half - 40, 16);           // Bangla segment, already active
    Click(half + 50, 16);           // English segment
    Click(half + 50, 16);           // English segment, now active
    Click(half + 6, 16);            // between the segments: flips back
    Click(10, 6);                   // band beside the segments: flips again
    Click(40, 32 + 3 * 26 + 12);    // voice row
    Click(ContentWidth() + 9, 40);  // right margin: nothing

    EXPECT_THAT(rows, ElementsAre(1u));
    EXPECT_EQ(window.selected, 1u);
    EXPECT_THAT(targets, ElementsAre(Target::English, Target::Bangla, Target::English));
    EXPECT_EQ(voiceClicks, 1);
}

TEST_F(CandidateWindowTest, RealClickSelectsRowWhileTheApplicationKeepsTheFocus) {
    const HWND application =
        CreateWindowExW(0, L"STATIC", L"application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500,
                        300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(application, nullptr);
    SetForegroundWindow(application);
    PumpUntil([&] { return GetForegroundWindow() == application; });
    ASSERT_EQ(GetForegroundWindow(), application);
    std::vector<size_t> rows;
    window.onSelect = [&](size_t row) { rows.push_back(row); };
    window.ShowCandidates(Words(3), 0, caret);
    PumpPending();

    POINT target{40, 32 + 2 * 26 + 13};  // third row
    ClientToScreen(Popup(), &target);
    // On a busy machine the desktop may place the popup a moment after ShowCandidates returns.
    ASSERT_TRUE(PumpUntil([&] { return WindowFromPoint(target) == Popup(); }));

    EXPECT_TRUE(ClickUntil(target, [&] { return !rows.empty(); }));
    EXPECT_THAT(rows, ElementsAre(2u));
    EXPECT_EQ(GetForegroundWindow(), application);
    DestroyWindow(application);
}

TEST_F(CandidateWindowTest, HoverRepaintsOnlyWhenItChanges) {
    window.ShowCandidates(Words(2), 0, caret);
    PumpPending();
    const auto needsPaint = [&] { return GetUpdateRect(Popup(), nullptr, FALSE) != 0; };
    const LPARAM overBangla = PointParam(ContentWidth() / 2 - 40, 16);

    SendMessageW(Popup(), WM_MOUSEMOVE, 0, overBangla);
    EXPECT_TRUE(needsPaint());
    PumpPending();
    SendMessageW(Popup(), WM_MOUSEMOVE, 0, overBangla);
    EXPECT_FALSE(needsPaint());
    SendMessageW(Popup(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(needsPaint());
    PumpPending();
    SendMessageW(Popup(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(needsPaint());
}

TEST_F(CandidateWindowTest, ConversionModeFollowsOwnerSilentlyAndTogglesLoudly) {
    std::vector<CandidateWindow::ConversionTarget> targets;
    window.onConversionTargetChanged = [&](CandidateWindow::ConversionTarget t) {
        targets.push_back(t);
    };
    window.ShowCandidates(Words(2), 0, caret);
    const int half = ContentWidth() / 2;

    window.SetConversionMode(CandidateWindow::ConversionTarget::English);
    Click(half + 50, 16);  // English is active now: no change
    EXPECT_TRUE(targets.empty());
    window.ToggleConversionMode();
    EXPECT_THAT(targets, ElementsAre(CandidateWindow::ConversionTarget::Bangla));
}

TEST_F(CandidateWindowTest, HeaderClicksWorkUnderTheNextWordBanner) {
    std::vector<CandidateWindow::ConversionTarget> targets;
    window.onConversionTargetChanged = [&](CandidateWindow::ConversionTarget t) {
        targets.push_back(t);
    };
    window.nextWordBanner = true;
    window.ShowCandidates(Words(2), 0, caret);
    Click(ContentWidth() / 2 + 50, 16);
    EXPECT_THAT(targets, ElementsAre(CandidateWindow::ConversionTarget::English));
}

TEST_F(CandidateWindowTest, VoiceRowWithoutReceiverSwallowsClick) {
    int selections = 0;
    window.onSelect = [&](size_t) { ++selections; };
    window.SetVoiceState(CandidateWindow::VoiceState::Listening, L"");
    window.ShowCandidates(Words(1), 0, caret);
    Click(40, 32 + 26 + 12);
    EXPECT_EQ(selections, 0);
}

TEST_F(CandidateWindowTest, HideClearsBannerAndListButKeepsSelection) {
    window.nextWordBanner = true;
    window.ShowCandidates(Words(4), 2, caret);
    window.Hide();
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(IsWindowVisible(Popup()));
    EXPECT_FALSE(window.nextWordBanner);
    EXPECT_EQ(window.selected, 2u);

    // The list went with the popup: a voice status shows the voice row alone.
    window.SetVoiceState(CandidateWindow::VoiceState::Idle, L"");
    window.ShowVoiceStatus(caret);
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(ClientSize().cy, 32 + 24 + 4);
    EXPECT_EQ(ClientSize().cx, 192);
}

TEST_F(CandidateWindowTest, NothingToShowHidesThePopup) {
    window.ShowCandidates(Words(2), 0, caret);
    window.ShowCandidates({}, 0, caret);
    EXPECT_FALSE(window.visible);

    window.ShowVoiceStatus(caret);  // voice row off: stays hidden
    EXPECT_FALSE(window.visible);

    window.SetVoiceState(CandidateWindow::VoiceState::Transcribing, L"");
    window.ShowVoiceStatus(caret);
    EXPECT_TRUE(window.visible);
    window.SetVoiceState(CandidateWindow::VoiceState::Hidden, L"");
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(IsWindowVisible(Popup()));
}

TEST_F(CandidateWindowTest, VoiceStateWhileShownResizesInPlace) {
    window.ShowCandidates(Words(2), 0, caret);
    RECT before{};
    GetWindowRect(Popup(), &before);

    window.SetVoiceState(CandidateWindow::VoiceState::Listening, L"");
    RECT after{};
    GetWindowRect(Popup(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.bottom - after.top, (before.bottom - before.top) + 24);
}

TEST_F(CandidateWindowTest, VoiceLabelFollowsStateUnlessATextIsGiven) {
    using State = CandidateWindow::VoiceState;
    window.SetVoiceState(State::Listening, L"");
    EXPECT_EQ(window.VoiceLabel(), L"\u09B6\u09C1\u09A8\u099B\u09BF...");
    window.SetVoiceState(State::Transcribing, L"");
    EXPECT_EQ(window.VoiceLabel(), L"\u09B2\u09BF\u0996\u099B\u09BF...");
    window.SetVoiceState(State::Idle, L"");
    EXPECT_EQ(window.VoiceLabel(), L"\u09AD\u09AF\u09BC\u09C7\u09B8");
    window.SetVoiceState(State::Listening, L"voice.json");
    EXPECT_EQ(window.VoiceLabel(), L"voice.json");
}

TEST_F(CandidateWindowTest, StaysInsideTheWorkAreaNearItsBottomRightCorner) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT work = info.rcWork;
    const RECT corner{work.right - 5, work.bottom - 25, work.right - 3, work.bottom - 5};

    window.ShowCandidates(Words(3), 0, corner);

    RECT placed{};
    GetWindowRect(Popup(), &placed);
    EXPECT_EQ(placed.bottom, corner.top - 4);
    EXPECT_EQ(placed.right, work.right - 8);
}

// The rounded region must always fit the window: a region that is too narrow would cut the popup.
class CandidateWindowRegionTest : public CandidateWindowTest {
protected:
    int WindowWidth() const {
        RECT placed{};
        GetWindowRect(Popup(), &placed);
        return placed.right - placed.left;
    }

    int RegionWidth() const {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(Popup(), region);
        RECT box{};
        GetRgnBox(region, &box);
        DeleteObject(region);
        return box.right;
    }

    int WidthShowing(const std::wstring& candidate) {
        window.ShowCandidates({candidate}, 0, caret);
        return WindowWidth();
    }

    // A one-row popup of exactly the given width. Past the minimum width, text widths add up, so
    // the candidate is a wide stem followed by characters whose measured widths sum to the rest.
    std::wstring CandidateForWidth(int target) {
        const std::wstring stem(20, L'm');
        const int stemWidth = WidthShowing(stem);
        if (target < stemWidth) return L"";
        std::vector<std::pair<wchar_t, int>> pieces;
        for (wchar_t c : std::wstring(L"mwi.l1a")) {
            const int width = WidthShowing(stem + c) - stemWidth;
            if (width > 0) pieces.push_back({c, width});
        }
        const int rest = target - stemWidth;
        std::vector<int> lastPiece(rest + 1, -1);
        lastPiece[0] = 0;
        for (int w = 1; w <= rest; ++w) {
            for (size_t p = 0; p < pieces.size() && lastPiece[w] < 0; ++p) {
                if (pieces[p].second <= w && lastPiece[w - pieces[p].second] >= 0)
                    lastPiece[w] = int(p);
            }
        }
        if (lastPiece[rest] < 0) return L"";
        std::wstring candidate = stem;
        for (int w = rest; w > 0; w -= pieces[lastPiece[w]].second)
            candidate += pieces[lastPiece[w]].first;
        return candidate;
    }
};

TEST_F(CandidateWindowRegionTest, RegionFollowsSizeAfterVoiceStateChanges) {
    using State = CandidateWindow::VoiceState;
    const std::wstring longVoiceText(60, L'm');
    window.SetVoiceState(State::Idle, longVoiceText);
    const int wideWidth = WidthShowing(L"x");
    window.SetVoiceState(State::Idle, L"");
    const std::wstring sameWidth = CandidateForWidth(wideWidth);
    ASSERT_FALSE(sameWidth.empty());
    window.Hide();

    window.SetVoiceState(State::Idle, longVoiceText);
    window.ShowCandidates({L"x"}, 0, caret);
    window.SetVoiceState(State::Idle, L"");  // narrows the shown popup
    EXPECT_NEAR(RegionWidth(), WindowWidth(), 1);
    // As wide as the popup was before its voice label changed.
    EXPECT_EQ(WidthShowing(sameWidth), wideWidth);
    EXPECT_NEAR(RegionWidth(), WindowWidth(), 1);
}

class CandidateWindowResultsTest : public CandidateWindowTest {};

TEST_F(CandidateWindowResultsTest, WorkerResultsReachCallbacksOnTheWindowThread) {
    const DWORD windowThread = GetCurrentThreadId();
    std::vector<DWORD> callbackThreads;
    std::vector<uint64_t> cloudGenerations;
    std::vector<std::wstring> cloudCandidates;
    std::wstring cloudQuery, voiceText, voiceError, source, translation;
    uint64_t translationGeneration = 0;
    window.onCloudResult = [&](const std::wstring& query, uint64_t generation,
                               const std::vector<std::wstring>& list) {
        callbackThreads.push_back(GetCurrentThreadId());
        cloudQuery = query;
        cloudGenerations.push_back(generation);
        cloudCandidates = list;
    };
    window.onVoiceResult = [&](const std::wstring& text, const std::wstring& error) {
        callbackThreads.push_back(GetCurrentThreadId());
        voiceText = text;
        voiceError = error;
    };
    window.onTranslationResult = [&](const std::wstring& from, const std::wstring& to,
                                     uint64_t generation) {
        callbackThreads.push_back(GetCurrentThreadId());
        source = from;
        translation = to;
        translationGeneration = generation;
    };

    std::thread worker([&] {
        window.PostCloudResult(L"ami", 0x100000001ull, {L"\u0986\u09AE\u09BF", L"ami"});
        window.PostCloudResult(L"amra", 7, {kLongText});
        window.PostVoiceResult(L"", L"no speech");
        window.PostTranslationResult(L"\u0986\u09AE\u09BF", L"I", 42);
    });
    worker.join();

    ASSERT_TRUE(PumpUntil([&] { return callbackThreads.size() == 4; }));
    for (DWORD thread : callbackThreads) EXPECT_EQ(thread, windowThread);
    EXPECT_THAT(cloudGenerations, ElementsAre(0x100000001ull, 7u));
    EXPECT_EQ(cloudQuery, L"amra");
    EXPECT_THAT(cloudCandidates, ElementsAre(kLongText));
    EXPECT_EQ(voiceText, L"");
    EXPECT_EQ(voiceError, L"no speech");
    EXPECT_EQ(source, L"\u0986\u09AE\u09BF");
    EXPECT_EQ(translation, L"I");
    EXPECT_EQ(translationGeneration, 42u);
}

TEST_F(CandidateWindowResultsTest, VoiceCallbackMayClearItselfWhileRunning) {
    int calls = 0;
    std::wstring seen;
    const std::wstring captured = kLongText;
    window.onVoiceResult = [&, captured](const std::wstring& text, const std::wstring&) {
        ++calls;
        window.onVoiceResult = nullptr;
        seen = captured + text;  // the callback's own state is still alive
    };
    window.PostVoiceResult(L"a", L"");
    window.PostVoiceResult(L"b", L"");
    PumpUntil([&] { return calls >= 1; });
    PumpPending();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, kLongText + L"a");
}

TEST_F(CandidateWindowResultsTest, RecordsWithoutCallbacksAreFreedOnDelivery) {
    const long before = g_liveAllocations.load();
    window.PostCloudResult(kLongText, 1, {kLongText, kLongText});
    window.PostVoiceResult(kLongText, kLongText);
    window.PostTranslationResult(kLongText, kLongText, 2);
    EXPECT_GT(g_liveAllocations.load(), before);
    PumpPending();
    EXPECT_EQ(g_liveAllocations.load(), before);
}

TEST_F(CandidateWindowResultsTest, DestroyFreesRecordsStillQueuedWithoutDeliveringThem) {
    int deliveries = 0;
    window.onCloudResult = [&](const std::wstring&, uint64_t, const std::vector<std::wstring>&) {
        ++deliveries;
    };
    window.onVoiceResult = [&](const std::wstring&, const std::wstring&) { ++deliveries; };
    window.onTranslationResult = [&](const std::wstring&, const std::wstring&, uint64_t) {
        ++deliveries;
    };
    const long before = g_liveAllocations.load();
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i) {
            window.PostCloudResult(kLongText, i, {kLongText});
            window.PostVoiceResult(kLongText, kLongText);
            window.PostTranslationResult(kLongText, kLongText, i);
        }
    });
    worker.join();
    EXPECT_GT(g_liveAllocations.load(), before);

    window.Destroy();
    EXPECT_EQ(g_liveAllocations.load(), before);
    PumpPending();
    EXPECT_EQ(deliveries, 0);
}

TEST_F(CandidateWindowResultsTest, ResultPostedAfterDestroyAllocatesNothing) {
    int deliveries = 0;
    window.onCloudResult = [&](const std::wstring&, uint64_t, const std::vector<std::wstring>&) {
        ++deliveries;
    };
    window.Destroy();
    EXPECT_EQ(window.Handle(), nullptr);
    const long before = g_liveAllocations.load();
    window.PostCloudResult(kLongText, 1, {kLongText});
    window.PostVoiceResult(kLongText, kLongText);
    window.PostTranslationResult(kLongText, kLongText, 1);
    EXPECT_EQ(g_liveAllocations.load(), before);
    PumpPending();
    EXPECT_EQ(deliveries, 0);
}

TEST(CandidateWindowLifecycle, WithoutWindowOnlyStoresWhatItIsGiven) {
    CandidateWindow window;
    window.ShowCandidates(Words(3), 2, {0, 0, 2, 20});
    window.Hide();
    window.SetVoiceState(CandidateWindow::VoiceState::Listening, L"");
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(window.selected, 2u);
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST(CandidateWindowLifecycle, InitializeAgainAfterDestroyMakesANewWindow) {
    CandidateWindow first;
    CandidateWindow second;
    ASSERT_TRUE(first.Initialize(GetModuleHandleW(nullptr)));
    ASSERT_TRUE(second.Initialize(GetModuleHandleW(nullptr)));  // class already registered
    first.Destroy();
    EXPECT_EQ(first.Handle(), nullptr);
    ASSERT_TRUE(first.Initialize(GetModuleHandleW(nullptr)));
    EXPECT_NE(first.Handle(), nullptr);
    EXPECT_NE(first.Handle(), second.Handle());
}

}  // namespace
}  // namespace qorva_tsf
