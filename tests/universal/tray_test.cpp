// The tray icons and their menus in the test's own thread under Wine: the menus as they would
// open in each mode, the drawn mode badge, the language-pin icon following the mode, and both
// icons coming back when Explorer starts again.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/box_answer.h"
#include "tests/universal/host_fixture.h"
#include "universal/mode_badge.h"
#include "universal/mode_ipc.h"
#include "universal/universal_host.h"
#include "universal/update_dialogs.h"
#include "update/update_service.h"

namespace qorva_test {
namespace {

using qorva::ModeTarget;
using qorva::universal::g_window;
using Lines = std::vector<std::wstring>;

constexpr ModeTarget kUnknownMode = static_cast<ModeTarget>(7);

std::wstring Check(bool checked) { return checked ? L" [x]" : L""; }

Lines ExpectedTrayMenu(ModeTarget mode, const std::wstring& updateText) {
    return {
        L"111 Restore top bar",
        L"113 Start Voice Typing",
        L"> Mic Options",
        L"  120 Microphone Settings...",
        L"  121 Default Input Device [x]",
        L"115 Typing Mode [x]",
        L"> Typing Options",
        L"  107 বাংলা (Bangla)" + Check(mode == ModeTarget::Bangla),
        L"  109 English" + Check(mode == ModeTarget::English),
        L"  108 বাংলিশ ➔ ইংরেজি অনুবাদ" + Check(mode == ModeTarget::BanglishToEnglish),
        L"114 Word Manager",
        L"> Options",
        L"  104 Settings...",
        L"  112 Reset TopBar Position",
        L"  110 On Screen Keyboard",
        L"  106 " + updateText,
        L"---",
        L"116 Restart",
        L"105 Exit",
    };
}

Lines ExpectedPinMenu(ModeTarget mode) {
    return {
        L"201 বাংলা (Bangla Phonetic)\tCtrl+Alt+Space" + Check(mode == ModeTarget::Bangla),
        L"202 English (Standard US)\tCtrl+Alt+Space" + Check(mode == ModeTarget::English),
        L"203 বাংলিশ ➔ ইংরেজি অনুবাদ\tCtrl+Alt+E" + Check(mode == ModeTarget::BanglishToEnglish),
        L"---",
        L"204 টপবার লুকান (Hide TopBar)",
        L"205 টপবার কেন্দ্রে রিসেট (Reset Position)",
        L"---",
        L"206 বাংলা ভয়েস টাইপিং\tCtrl+Alt+V",
        L"207 অন-স্ক্রীন কিবোর্ড (Virtual Keyboard)",
        L"208 সেটিংস ও অপশন...",
    };
}

Lines TrayMenuNow() {
    HMENU menu = qorva::universal::CreateTrayMenu();
    Lines lines = MenuLines(menu);
    DestroyMenu(menu);
    return lines;
}

Lines PinMenuNow() {
    HMENU menu = qorva::universal::CreateLanguagePinMenu();
    Lines lines = MenuLines(menu);
    DestroyMenu(menu);
    return lines;
}

std::wstring UpdateItemNow() {
    HMENU menu = qorva::universal::CreateTrayMenu();
    std::wstring text = MenuText(menu, 106);
    DestroyMenu(menu);
    return text;
}

// The pixels of an icon's colour bitmap (top-down BGRA) and its mask (1 bit each, rows padded to
// 32 bits as GetDIBits gives them).
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> colour;
    std::vector<uint8_t> mask;

    uint32_t At(int x, int y) const { return colour[y * width + x]; }
    bool Transparent(int x, int y) const {
        const int rowBytes = ((width + 31) / 32) * 4;
        return (mask[y * rowBytes + x / 8] & (0x80 >> (x % 8))) != 0;
    }
};

IconPixels ReadIcon(HICON icon) {
    IconPixels pixels;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return pixels;
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    pixels.width = colour.bmWidth;
    pixels.height = colour.bmHeight;
    HDC screen = GetDC(nullptr);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD palette[2];
    } bits{};
    bits.header.biSize = sizeof(bits.header);
    bits.header.biWidth = pixels.width;
    bits.header.biHeight = -pixels.height;
    bits.header.biPlanes = 1;
    bits.header.biBitCount = 32;
    bits.header.biCompression = BI_RGB;
    pixels.colour.resize(static_cast<size_t>(pixels.width) * pixels.height);
    GetDIBits(screen, info.hbmColor, 0, pixels.height, pixels.colour.data(),
              reinterpret_cast<BITMAPINFO*>(&bits), DIB_RGB_COLORS);
    bits.header.biBitCount = 1;
    pixels.mask.resize(static_cast<size_t>(((pixels.width + 31) / 32) * 4) * pixels.height);
    GetDIBits(screen, info.hbmMask, 0, pixels.height, pixels.mask.data(),
              reinterpret_cast<BITMAPINFO*>(&bits), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

using TrayTest = HostTest;

TEST_F(TrayTest, MenusCheckTheSharedModeAndTheUpdateItemNamesAFoundRelease) {
    for (ModeTarget mode :
         {ModeTarget::Bangla, ModeTarget::English, ModeTarget::BanglishToEnglish, kUnknownMode}) {
        SCOPED_TRACE(static_cast<uint32_t>(mode));
        SetSharedMode(mode);
        EXPECT_EQ(TrayMenuNow(), ExpectedTrayMenu(mode, L"Check for Update"));
        EXPECT_EQ(PinMenuNow(), ExpectedPinMenu(mode));
    }

    // Only a newer release with its record counts; each record is the window's to free.
    auto release = [](const char* version) {
        auto* record = new qorva::ReleaseInfo;
        record->versionText = version;
        record->pageUrl = "https://qorva.example/update/";
        return reinterpret_cast<LPARAM>(record);
    };
    Post(qorva::universal::kUpdateResultMessage, qorva::kCheckUpToDate, release("1.0.0"));
    Post(qorva::universal::kUpdateResultMessage, qorva::kCheckFailed, release("9.9.9"));
    Post(qorva::universal::kUpdateResultMessage, qorva::kCheckNewerRelease, 0);
    PumpUntil([] { return true; });
    EXPECT_EQ(UpdateItemNow(), L"Check for Update");

    // The found release is offered at once; put off, it stays named in the menu.
    BoxAnswer remindLater(L"Update available", qorva::universal::kRemindLaterId,
                          qorva::universal::kUpdateAvailableClass);
    Post(qorva::universal::kUpdateResultMessage, qorva::kCheckNewerRelease, release("1.3.0"));
    ASSERT_TRUE(PumpUntil([&] { return remindLater.Answered(); }));
    ASSERT_TRUE(
        PumpUntil([] { return !FindWindowW(qorva::universal::kUpdateAvailableClass, nullptr); }));
    EXPECT_EQ(TrayMenuNow(), ExpectedTrayMenu(kUnknownMode, L"Check for Update (1.3.0 available)"));
}

// Painted pixels are opaque and only unpainted ones are left to the mask; the badge's rim has the
// mode's colour, the rounded corner is clear, and the text is drawn in white.
TEST_F(TrayTest, ModeIconIsTheModesBadgeWithAMaskExactlyWhereNothingIsPainted) {
    for (ModeTarget mode :
         {ModeTarget::Bangla, ModeTarget::English, ModeTarget::BanglishToEnglish, kUnknownMode}) {
        SCOPED_TRACE(static_cast<uint32_t>(mode));
        HICON icon = qorva::universal::CreateModeIcon(mode);
        ASSERT_NE(icon, nullptr);
        const IconPixels pixels = ReadIcon(icon);
        DestroyIcon(icon);
        ASSERT_EQ(pixels.width, GetSystemMetrics(SM_CXSMICON));
        ASSERT_EQ(pixels.height, GetSystemMetrics(SM_CYSMICON));

        int white = 0;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                const uint32_t pixel = pixels.At(x, y);
                const bool painted = (pixel & 0x00FFFFFFu) != 0;
                EXPECT_EQ(pixels.Transparent(x, y), !painted) << x << "," << y;
                if (painted) {
                    EXPECT_EQ(pixel >> 24, 0xFFu) << x << "," << y;
                }
                white += (pixel & 0x00FFFFFFu) == 0x00FFFFFFu;
            }
        }
        const qorva::universal::ModeBadge badge = qorva::universal::BadgeOfMode(mode);
        const uint32_t rim =
            0xFF000000u | (uint32_t{badge.red} << 16) | (uint32_t{badge.green} << 8) | badge.blue;
        // The text may run over the sides of so small a badge, never over its top and bottom.
        EXPECT_EQ(pixels.At(pixels.width / 2, 0), rim);
        EXPECT_EQ(pixels.At(pixels.width / 2, pixels.height - 1), rim);
        EXPECT_TRUE(pixels.Transparent(0, 0));
        EXPECT_GT(white, 0) << "the badge's text";
    }
}

TEST_F(TrayTest, PinFollowsTheModeSetElsewhereAndAClickOnItTogglesTheMode) {
    SetSharedMode(ModeTarget::English);
    AddTrayIcons();
    EXPECT_EQ(LastPinTip(), qorva::universal::PinTipOfMode(ModeTarget::English));

    SetSharedMode(ModeTarget::BanglishToEnglish);
    EXPECT_EQ(LastPinTip(), qorva::universal::PinTipOfMode(ModeTarget::BanglishToEnglish));

    WaitOutToggleDebounce();
    Post(qorva::universal::kPinTrayMessage, 2, WM_LBUTTONUP);
    ASSERT_TRUE(
        PumpUntil([] { return qorva::ModeIpc::Instance().GetMode() == ModeTarget::English; }));
    EXPECT_EQ(LastPinTip(), qorva::universal::PinTipOfMode(ModeTarget::English));
    EXPECT_NE(Log().find(" hotkey: english mode\r\n"), std::string::npos);

    // Other mouse messages of the icon do nothing.
    ForgetCalls();
    WaitOutToggleDebounce();
    Post(qorva::universal::kPinTrayMessage, 2, WM_MOUSEMOVE);
    Post(qorva::universal::kPinTrayMessage, 2, WM_LBUTTONDOWN);
    PumpUntil([] { return true; });
    EXPECT_EQ(qorva::ModeIpc::Instance().GetMode(), ModeTarget::English);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(TrayTest, ModeEntriesOfBothMenusSetTheModeEvenWhenItIsCurrent) {
    AddTrayIcons();
    const struct {
        unsigned command;
        ModeTarget mode;
    } cases[] = {
        {107, ModeTarget::Bangla},
        {109, ModeTarget::English},
        {108, ModeTarget::BanglishToEnglish},
        {201, ModeTarget::Bangla},
        {201, ModeTarget::Bangla},
        {202, ModeTarget::English},
        {203, ModeTarget::BanglishToEnglish},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        ForgetCalls();
        qorva::universal::RunTrayCommand(c.command);
        EXPECT_EQ(qorva::ModeIpc::Instance().GetMode(), c.mode);
        EXPECT_EQ(LastPinTip(), qorva::universal::PinTipOfMode(c.mode));
    }
}

TEST_F(TrayTest, KeyboardEntriesOfBothMenusShowAndHideTheOnScreenKeyboard) {
    ASSERT_TRUE(qorva::universal::g_osk.Initialize(GetModuleHandleW(nullptr), nullptr));
    for (unsigned command : {110u, 207u}) {
        SCOPED_TRACE(command);
        qorva::universal::RunTrayCommand(command);
        EXPECT_TRUE(qorva::universal::g_osk.IsVisible());
        EXPECT_TRUE(IsWindowVisible(qorva::universal::g_osk.Handle()));
        qorva::universal::RunTrayCommand(command);
        EXPECT_FALSE(qorva::universal::g_osk.IsVisible());
    }
    qorva::universal::g_osk.Destroy();
}

// Explorer forgets every icon when it restarts, and refuses them while it is not running yet.
TEST_F(TrayTest, TaskbarCreatedAddsBothIconsAgain) {
    SetSharedMode(ModeTarget::Bangla);
    AcceptNewIcons(false);
    AddTrayIcons();
    EXPECT_EQ(LastPinTip(), L"") << "no change for icons that were never added";

    AcceptNewIcons(true);
    ForgetCalls();
    Post(qorva::universal::TaskbarCreatedMessage(), 0, 0);
    PumpUntil([] { return true; });

    std::vector<NotifyCall> adds;
    for (const NotifyCall& call : Calls()) {
        if (call.message == NIM_ADD) adds.push_back(call);
    }
    ASSERT_EQ(adds.size(), 2u);
    EXPECT_EQ(adds[0].id, 1u);
    EXPECT_EQ(adds[0].callbackMessage, UINT{WM_APP + 1});
    EXPECT_EQ(adds[1].id, 2u);
    EXPECT_EQ(adds[1].callbackMessage, UINT{WM_APP + 3});
    for (const NotifyCall& add : adds) {
        EXPECT_EQ(add.flags, UINT{NIF_MESSAGE | NIF_ICON | NIF_TIP});
        EXPECT_NE(add.icon, nullptr);
    }
    EXPECT_EQ(LastPinTip(), qorva::universal::PinTipOfMode(ModeTarget::Bangla));
}

}  // namespace
}  // namespace qorva_test
