// The menus' drawn icons and the add-word dialog in the test's own thread under Wine: the icon
// cache, the icons and texts of built (never opened) menus, and the dialog driven from a second
// thread with its control messages while its modal loop runs here.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "common/engine_host.h"
#include "common/text.h"
#include "tests/support/box_answer.h"
#include "tests/universal/host_fixture.h"
#include "universal/add_word.h"
#include "universal/add_word_dialog.h"
#include "universal/menu_icons.h"
#include "universal/topbar_menus.h"
#include "universal/universal_host.h"

namespace qorva_test {
namespace {

using namespace qorva::universal;

// The icon's pixel at (x, y) as 0xAARRGGBB (premultiplied).
uint32_t Pixel(HBITMAP icon, int x, int y) {
    DIBSECTION section{};
    if (GetObjectW(icon, sizeof(section), &section) != sizeof(section)) return 0;
    const auto* row = static_cast<const uint8_t*>(section.dsBm.bmBits) +
                      static_cast<size_t>(y) * section.dsBm.bmWidthBytes;
    uint32_t value = 0;
    std::memcpy(&value, row + x * 4, 4);
    return value;
}

// Pixels that are opaque and white: the glyph or text.
int OpaqueWhitePixels(HBITMAP icon) {
    int count = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) count += Pixel(icon, x, y) == 0xFFFFFFFFu;
    }
    return count;
}

HBITMAP ItemBitmap(HMENU menu, UINT item, bool byPosition) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    return GetMenuItemInfoW(menu, item, byPosition, &info) ? info.hbmpItem : nullptr;
}

TEST(MenuIconTest, EachKindIsDrawnOnceAsAnOpaqueSquareWithAWhiteGlyph) {
    for (int kind = 0; kind <= kLastMenuIcon; ++kind) {
        SCOPED_TRACE(kind);
        const HBITMAP icon = GetMenuIconBitmap(static_cast<MenuIconType>(kind));
        if (kind == 20) {
            EXPECT_EQ(icon, nullptr);
            continue;
        }
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(GetMenuIconBitmap(static_cast<MenuIconType>(kind)), icon);
        BITMAP bitmap{};
        ASSERT_TRUE(GetObjectW(icon, sizeof(bitmap), &bitmap));
        EXPECT_EQ(bitmap.bmWidth, 16);
        EXPECT_EQ(bitmap.bmHeight, 16);
        EXPECT_EQ(bitmap.bmBitsPixel, 32);
        EXPECT_EQ(Pixel(icon, 0, 0) >> 24, 0u) << "the rounded corner is transparent";
        EXPECT_EQ(Pixel(icon, 8, 1) >> 24, 0xFFu) << "the square is opaque";
        // Text kinds too: GDI's text must not leave its pixels transparent.
        EXPECT_GT(OpaqueWhitePixels(icon), 0);
    }
    EXPECT_EQ(Pixel(GetMenuIconBitmap(kIconMoveToTray), 1, 8), 0xFF007AF0u);
    EXPECT_EQ(GetMenuIconBitmap(static_cast<MenuIconType>(31)), nullptr);
    EXPECT_EQ(GetMenuIconBitmap(kNoMenuIcon), nullptr);
}

TEST(MenuIconTest, BuiltMenusCarryTheirIconsAndTexts) {
    TopBarMenuState state;
    state.mode = qorva::ModeTarget::Bangla;
    HMENU settings = CreatePopupMenuFrom(TopBarSettingsMenu(state));
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(MenuText(settings, kMenuProbhat), L"Probhat (প্রভাত)");
    EXPECT_EQ(ItemBitmap(settings, 0, true), GetMenuIconBitmap(kIconEnglish));
    EXPECT_EQ(ItemBitmap(settings, kMenuConverter, false), GetMenuIconBitmap(kIconConverter));
    EXPECT_EQ(ItemBitmap(settings, kMenuAbout, false), GetMenuIconBitmap(kIconInformation));
    EXPECT_EQ(ItemBitmap(settings, kMenuQwerty, false), nullptr);
    DestroyMenu(settings);

    HMENU tray = CreatePopupMenuFrom(HotkeyTrayMenu({}));
    EXPECT_EQ(ItemBitmap(tray, kTrayStartVoiceTyping, false), GetMenuIconBitmap(kIconMicrophone));
    EXPECT_EQ(ItemBitmap(tray, kTrayExit, false), GetMenuIconBitmap(kIconExit));
    DestroyMenu(tray);
    HMENU pin = CreatePopupMenuFrom(LanguagePinMenu({}));
    EXPECT_EQ(ItemBitmap(pin, kPinVoiceTyping, false), GetMenuIconBitmap(kIconMicrophone));
    EXPECT_EQ(ItemBitmap(pin, kPinSettings, false), GetMenuIconBitmap(kIconSettings));
    DestroyMenu(pin);
}

const std::string kAmra = "\xE0\xA6\x86\xE0\xA6\xAE\xE0\xA6\xB0\xE0\xA6\xBE";  // আমরা

// Drives the dialog from a thread of its own while ShowAddWordDialog runs its loop here: the
// script gets the dialog once it exists and talks to it with sent messages, which the dialog's
// loop delivers.
class AddWordDialogTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        qorva::EngineFiles files;
        files.userDictPath = qorva::UserDictPath(appData_.DataFolder());
        g_engine = qorva::CreateEngine(files, qorva::EngineSettings{});
        ASSERT_TRUE(g_engine);
    }
    void TearDown() override {
        g_engine.reset();
        HostTest::TearDown();
    }

    void RunDialog(const std::function<void(HWND dialog)>& script) {
        std::thread driver([&] {
            // The window is found while it still makes its controls: the script starts once the
            // last of them exists.
            HWND dialog = nullptr;
            for (int look = 0; look < 1500; ++look) {
                dialog = FindWindowW(kAddWordDialogClass, nullptr);
                if (dialog && GetDlgItem(dialog, kAddWordCancelButton)) break;
                Sleep(20);
            }
            ASSERT_NE(dialog, nullptr);
            ASSERT_NE(GetDlgItem(dialog, kAddWordCancelButton), nullptr);
            script(dialog);
        });
        ShowAddWordDialog(g_window, 262);
        driver.join();
        EXPECT_FALSE(FindWindowW(kAddWordDialogClass, nullptr));
        EXPECT_TRUE(IsWindowEnabled(g_window));
    }

    static void Type(HWND dialog, int field, const std::wstring& text) {
        SendMessageW(GetDlgItem(dialog, field), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    static void Click(HWND dialog, int button) {
        SendMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    }

    std::vector<std::string> Candidates(const char* typed) {
        EngineCandidateList list{};
        BanglaEngine_SetComposition(g_engine.get(), typed);
        BanglaEngine_GetCandidates(g_engine.get(), &list);
        std::vector<std::string> texts;
        for (uint32_t i = 0; i < list.count; ++i) texts.push_back(list.candidates[i].text);
        return texts;
    }

    std::string WordList() const { return ReadFileBytes(appData_.DataFile(L"personal_dict.txt")); }
    std::string Dictionary() const { return ReadFileBytes(appData_.DataFile(L"user_dict.txt")); }
};

// Both files get the pair byte for byte (the word list without a byte order mark), the running
// engine offers it at once, and its save at the end keeps it; the dialog's fonts go with it.
TEST_F(AddWordDialogTest, ABengaliPairReachesBothFilesAndTheRunningEngine) {
    const std::vector<std::string> before = Candidates("zzq");
    ASSERT_EQ(std::count(before.begin(), before.end(), kAmra), 0);
    HGDIOBJ fonts[2] = {};
    std::wstring report;
    RunDialog([&](HWND dialog) {
        fonts[0] = reinterpret_cast<HGDIOBJ>(
            SendMessageW(GetDlgItem(dialog, kAddWordKeyEdit), WM_GETFONT, 0, 0));
        fonts[1] = reinterpret_cast<HGDIOBJ>(
            SendMessageW(GetDlgItem(dialog, kAddWordAddButton), WM_GETFONT, 0, 0));
        Type(dialog, kAddWordKeyEdit, L"zzq");
        Type(dialog, kAddWordWordEdit, qorva::Utf8ToUtf16(kAmra));
        BoxAnswer box(kAddWordTitle, IDOK);
        Click(dialog, kAddWordAddButton);
        report = box.Text();
    });
    EXPECT_EQ(report, L"✅ শব্দটি সফলভাবে Qorva ডিকশনারিতে যুক্ত করা হয়েছে!");
    EXPECT_EQ(WordList(), "zzq\t" + kAmra + "\r\n");
    EXPECT_EQ(Dictionary(), "zzq\t" + kAmra + "\t100\r\n");
    const std::vector<std::string> offered = Candidates("zzq");
    EXPECT_EQ(std::count(offered.begin(), offered.end(), kAmra), 1);
    for (HGDIOBJ font : fonts) {
        EXPECT_NE(font, nullptr);
        EXPECT_EQ(GetObjectType(font), 0u) << "the dialog's font outlived it";
    }

    g_engine.reset();  // as the program's end does
    const std::string saved = Dictionary();
    EXPECT_EQ(saved.find("zzq\t" + kAmra + "\t101\t"), 0u) << saved;
    EXPECT_EQ(saved.find(kAmra, saved.find(kAmra) + 1), std::string::npos) << saved;
}

// An empty field or one with a tab or line break is refused with its warning, writes nothing and
// leaves the dialog open; Cancel then closes it without writing.
TEST_F(AddWordDialogTest, RefusedFieldsWarnAndWriteNothing) {
    struct Case {
        const wchar_t* key;
        const wchar_t* word;
        const wchar_t* warningStart;
    };
    const Case cases[] = {
        {L"ami", L"", L"দয়া করে রোমান কী"},
        {L"", L"আমি", L"দয়া করে রোমান কী"},
        {L"ami", L"আমি\t100", L"রোমান কী বা বাংলা শব্দে Tab"},
        {L"a\r\nmi", L"আমি", L"রোমান কী বা বাংলা শব্দে Tab"},
    };
    std::vector<std::wstring> warnings;
    RunDialog([&](HWND dialog) {
        for (const Case& c : cases) {
            Type(dialog, kAddWordKeyEdit, c.key);
            Type(dialog, kAddWordWordEdit, c.word);
            BoxAnswer box(kAddWordTitle, IDOK);
            Click(dialog, kAddWordAddButton);
            warnings.push_back(box.Text());
            EXPECT_TRUE(IsWindow(dialog));
        }
        Click(dialog, kAddWordCancelButton);
    });
    ASSERT_EQ(warnings.size(), std::size(cases));
    for (size_t i = 0; i < warnings.size(); ++i)
        EXPECT_EQ(warnings[i].rfind(cases[i].warningStart, 0), 0u)
            << "case " << i << ": " << qorva::Utf16ToUtf8(warnings[i]);
    EXPECT_EQ(WordList(), "");
    EXPECT_EQ(Dictionary(), "");
}

// A file that cannot be written is named instead of a success.
TEST_F(AddWordDialogTest, AFileThatCannotBeWrittenIsNamed) {
    ASSERT_TRUE(CreateDirectoryW(appData_.DataFile(L"personal_dict.txt").c_str(), nullptr));
    std::wstring report;
    RunDialog([&](HWND dialog) {
        Type(dialog, kAddWordKeyEdit, L"zzq");
        Type(dialog, kAddWordWordEdit, qorva::Utf8ToUtf16(kAmra));
        BoxAnswer box(kAddWordTitle, IDOK);
        Click(dialog, kAddWordAddButton);
        report = box.Text();
    });
    EXPECT_EQ(report.rfind(L"⚠️", 0), 0u) << qorva::Utf16ToUtf8(report);
    EXPECT_NE(report.find(L"personal_dict.txt"), std::wstring::npos);
    EXPECT_EQ(report.find(L"user_dict.txt"), std::wstring::npos);
    EXPECT_EQ(Dictionary(), "zzq\t" + kAmra + "\t100\r\n");
}

// Enter in a field adds the pair and closes the dialog; Escape closes it without a word.
TEST_F(AddWordDialogTest, EnterAddsAndEscapeCancelsFromAField) {
    const auto press = [](HWND field, WPARAM key) {
        PostMessageW(field, WM_KEYDOWN, key, 1);
        PostMessageW(field, WM_KEYUP, key, 0xC0000001);
    };
    std::wstring report;
    RunDialog([&](HWND dialog) {
        Type(dialog, kAddWordKeyEdit, L"zzq");
        Type(dialog, kAddWordWordEdit, qorva::Utf8ToUtf16(kAmra));
        BoxAnswer box(kAddWordTitle, IDOK);
        press(GetDlgItem(dialog, kAddWordWordEdit), VK_RETURN);
        for (int look = 0; look < 1500 && IsWindow(dialog); ++look) Sleep(20);
        report = box.Text();
    });
    EXPECT_EQ(report, L"✅ শব্দটি সফলভাবে Qorva ডিকশনারিতে যুক্ত করা হয়েছে!");
    EXPECT_EQ(WordList(), "zzq\t" + kAmra + "\r\n");

    RunDialog([&](HWND dialog) {
        Type(dialog, kAddWordKeyEdit, L"ami");
        Type(dialog, kAddWordWordEdit, L"আমি");
        press(GetDlgItem(dialog, kAddWordKeyEdit), VK_ESCAPE);
    });
    EXPECT_EQ(WordList(), "zzq\t" + kAmra + "\r\n");
}

// The program's main window may end while the dialog is open: its quit message closes the dialog
// and reaches the program's own loop.
TEST_F(AddWordDialogTest, AQuitMessageClosesTheDialogAndIsPassedOn) {
    const DWORD thread = GetCurrentThreadId();
    RunDialog([&](HWND) { PostThreadMessageW(thread, WM_QUIT, 7, 0); });
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(WordList(), "");
}

}  // namespace
}  // namespace qorva_test
