// The updater: downloads and verifies the release's installer on a thread of its own, shows the
// progress under a turning wire-frame crystal and starts the installer elevated. The window never
// waits for the network: closing it sets the download's cancel flag, and the dialog then waits for
// the thread's end while it keeps dispatching its thread's messages.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "common/call_guarded.h"
#include "tsf/gdi_drawing.h"
#include "universal/dialog_painting.h"
#include "universal/modal_dialog.h"
#include "universal/universal_host.h"
#include "universal/update_dialog_rules.h"
#include "universal/update_dialogs.h"
#include "update/installer_addresses.h"
#include "update/update_calls.h"

namespace qorva::universal {
namespace {

using Gdiplus::ARGB;
using Gdiplus::Color;

constexpr wchar_t kTitle[] = L"Qorva Updater";
constexpr int kWidth = 490;
constexpr int kHeight = 300;

// Posted by the download thread: bytes received (upper 32 bits in wParam, lower in lParam), and
// the end (wParam 1 when the installer was downloaded and verified).
constexpr UINT WM_APP_UPDATER_PROGRESS = WM_APP + 20;
constexpr UINT WM_APP_UPDATER_DONE = WM_APP + 21;
constexpr UINT_PTR kCrystalTimer = 1001;
constexpr UINT kCrystalTimerMs = 33;

constexpr wchar_t kAutoInstallText[] = L"Start install on completion";
constexpr wchar_t kCancelText[] = L"Cancel";
constexpr wchar_t kInstallNowText[] = L"Install Now";
constexpr wchar_t kCloseText[] = L"Close";
constexpr wchar_t kCleanInstallParameters[] = L"/clean";

constexpr COLORREF kBackground = RGB(0, 163, 255);
constexpr COLORREF kInk = RGB(0x0F, 0x17, 0x2A);
constexpr ARGB kCardFill = 0xFFBAE6FD;
constexpr ARGB kCardOutline = 0xFF38BDF8;
constexpr ARGB kDivider = 0xFF7DD3FC;
constexpr ARGB kTrackFill = 0xFFE2E8F0;
constexpr ARGB kTrackOutline = 0xFF94A3B8;
constexpr ARGB kBarLeft = 0xFF0284C7;
constexpr ARGB kBarRight = 0xFF38BDF8;
constexpr ARGB kEdgeGlow = 0x7800B4FF;
constexpr ARGB kEdgeCore = 0xFF00DCFF;
constexpr ARGB kEdgeHighlight = 0xDCFFFFFF;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct UpdaterDialogState {
    ReleaseInfo info;
    bool cleanInstall = true;
    HWND window = nullptr;
    HWND autoInstallCheckBox = nullptr;
    HWND actionButton = nullptr;
    HFONT controlFont = nullptr;
    HFONT infoFont = nullptr;
    HFONT statusFont = nullptr;
    CrystalAngles rotation;
    uint64_t received = 0;
    uint64_t total = kAssumedInstallerBytes;
    int32_t percent = 0;
    std::wstring installerPath;  // written by the download thread before it downloads
    bool downloading = true;
    bool succeeded = false;
    std::atomic<bool> cancelRequested{false};
    std::thread downloadThread;
    UniqueHandle downloadEnded;  // set by the download thread as its very last step
};

void PostIfOpen(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsWindow(window)) PostMessageW(window, message, wParam, lParam);
}

// Runs on the download thread; touches only the release, the installer path and the cancel flag
// until it signals its end.
void Download(UpdaterDialogState& state, HWND window, const UpdateCalls& calls) {
    CallGuarded([&] {
        state.installerPath = calls.defaultInstallerDownloadPath();
        const InstallerAddresses addresses = InstallerDownloadAddresses(state.info);
        const DownloadProgress progress = [window](uint64_t received, uint64_t) {
            PostIfOpen(window, WM_APP_UPDATER_PROGRESS, static_cast<WPARAM>(received >> 32),
                       static_cast<LPARAM>(received & 0xFFFFFFFFu));
        };
        const int result = calls.downloadInstaller(
            addresses.primary, addresses.fallback, state.installerPath, state.info.sha256Hex,
            state.info.fileSize, progress, &state.cancelRequested);
        PostIfOpen(window, WM_APP_UPDATER_DONE, result == kDownloadOk ? 1 : 0, 0);
    });
}

void StartDownload(UpdaterDialogState& state) {
    state.downloadEnded.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HWND window = state.window;
    const UpdateCalls calls = UpdateCallsInUse();
    try {
        state.downloadThread =
            std::thread([&state, window, calls, ended = state.downloadEnded.get()] {
                Download(state, window, calls);
                if (ended) SetEvent(ended);
            });
    } catch (const std::system_error&) {
        SendMessageW(window, WM_APP_UPDATER_DONE, 0, 0);  // shown as a failed download
    }
}

// Returns once the download thread has ended, dispatching this thread's messages meanwhile: on the
// main thread the hooks and the other windows keep working while a stalled read times out.
LoopEnd WaitForDownload(UpdaterDialogState& state) {
    LoopEnd end;
    if (!state.downloadThread.joinable()) return end;
    if (state.downloadEnded) end = WaitDispatching(state.downloadEnded.get());
    state.downloadThread.join();
    return end;
}

void CleanPurgeOldAppdataFiles() {
    const std::wstring folder = AppDataDir();
    if (folder.empty()) return;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (PurgedBeforeCleanInstall(entry.cFileName)) {
            DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// The program ends only for an installer that started: after a refused elevation the window stays
// with "Install Now", to try again or close.
void StartInstaller(UpdaterDialogState& state) {
    if (state.cleanInstall) CleanPurgeOldAppdataFiles();
    const wchar_t* parameters = state.cleanInstall ? kCleanInstallParameters : L"";
    if (!StartElevated(state.installerPath, parameters)) {
        SetWindowTextW(state.actionButton, kInstallNowText);
        return;
    }
    DestroyWindow(state.window);
    PostQuitMessage(0);
}

void OnCreate(HWND window, UpdaterDialogState& state) {
    state.window = window;
    state.controlFont = MakeSegoeFont(13, 400);
    state.infoFont = qorva_tsf::MakeFont(14, 700, L"Consolas", DEFAULT_PITCH | FF_MODERN);
    state.statusFont = MakeSegoeFont(12, 700);
    auto makeButton = [&](const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
        const HWND button = MakeDialogButton(window, text, style, x, y, w, h, id);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(state.controlFont), TRUE);
        return button;
    };
    state.autoInstallCheckBox =
        makeButton(kAutoInstallText, BS_AUTOCHECKBOX, 32, 218, 220, 24, kAutoInstallId);
    SendMessageW(state.autoInstallCheckBox, BM_SETCHECK, BST_CHECKED, 0);
    state.actionButton = makeButton(kCancelText, BS_PUSHBUTTON, 370, 216, 88, 28, kActionButtonId);
    SetTimer(window, kCrystalTimer, kCrystalTimerMs, nullptr);
}

void OnDone(UpdaterDialogState& state, bool succeeded) {
    state.downloading = false;
    state.succeeded = succeeded;
    KillTimer(state.window, kCrystalTimer);
    if (!succeeded) {
        SetWindowTextW(state.actionButton, kCloseText);
    } else if (SendMessageW(state.autoInstallCheckBox, BM_GETCHECK, 0, 0) == BST_CHECKED &&
               !state.installerPath.empty()) {
        StartInstaller(state);
    } else {
        SetWindowTextW(state.actionButton, kInstallNowText);
    }
    if (IsWindow(state.window)) InvalidateRect(state.window, nullptr, FALSE);
}

void OnAction(UpdaterDialogState& state) {
    if (state.downloading) {
        state.cancelRequested = true;
        DestroyWindow(state.window);
    } else if (state.succeeded) {
        StartInstaller(state);
    } else {
        DestroyWindow(state.window);
    }
}

void PaintCrystal(Gdiplus::Graphics& g, const CrystalAngles& rotation) {
    ScreenPointF points[std::size(kCrystalVertices)];
    for (size_t i = 0; i < std::size(kCrystalVertices); ++i) {
        points[i] = ProjectCrystalVertex(kCrystalVertices[i], rotation);
    }
    const Gdiplus::Pen glow{Color(kEdgeGlow), 3.2f};
    const Gdiplus::Pen core{Color(kEdgeCore), 1.8f};
    const Gdiplus::Pen highlight{Color(kEdgeHighlight), 1.0f};
    for (size_t edge = 0; edge < std::size(kCrystalEdges); ++edge) {
        const ScreenPointF& a = points[kCrystalEdges[edge][0]];
        const ScreenPointF& b = points[kCrystalEdges[edge][1]];
        g.DrawLine(&glow, a.x, a.y, b.x, b.y);
        g.DrawLine(&core, a.x, a.y, b.x, b.y);
        if (edge % 3 == 0) g.DrawLine(&highlight, a.x, a.y, b.x, b.y);
    }
}

void PaintShapes(Gdiplus::Graphics& g, const UpdaterDialogState& state, int w) {
    const Gdiplus::SolidBrush cardFill{Color(kCardFill)};
    const float width = static_cast<float>(w);
    FillRoundedRect(g, {14, 12, width - 28, 136}, 20, cardFill, kCardOutline, 2.0f);
    PaintCrystal(g, state.rotation);
    const Gdiplus::Pen divider{Color(kDivider), 1.5f};
    g.DrawLine(&divider, 136.0f, 24.0f, 136.0f, 136.0f);
    FillRoundedRect(g, {14, 156, width - 28, 100}, 20, cardFill, kCardOutline, 2.0f);

    const int trackWidth = w - 56;
    const Gdiplus::SolidBrush trackFill{Color(kTrackFill)};
    g.FillRectangle(&trackFill, 28, 172, trackWidth, 24);
    const Gdiplus::Pen trackOutline{Color(kTrackOutline), 1.0f};
    g.DrawRectangle(&trackOutline, 28, 172, trackWidth, 24);
    const int filled = ProgressFillWidth(trackWidth, state.percent);
    if (filled > 0) {
        const Gdiplus::LinearGradientBrush bar(Gdiplus::Point(28, 0),
                                               Gdiplus::Point(28 + filled, 0), Color(kBarLeft),
                                               Color(kBarRight));
        g.FillRectangle(&bar, 28, 172, filled, 24);
    }
}

void PaintText(HDC dc, const UpdaterDialogState& state, int w) {
    SetBkMode(dc, TRANSPARENT);
    const UINT lineFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
    const std::wstring lines[] = {
        L"Update info:",
        L"Version: " + ShownVersion(state.info.versionText, UpdateService::GetCurrentVersion()),
        InstallerSizeLine(state.info.fileSize),
        L"Bit: x64",
    };
    for (int i = 0; i < 4; ++i) {
        qorva_tsf::DrawTextIn(dc, lines[i], state.infoFont, kInk,
                              {152, 28 + 24 * i, 153, 29 + 24 * i}, lineFormat);
    }
    const UpdaterPhase phase = state.downloading ? UpdaterPhase::Downloading
                               : state.succeeded ? UpdaterPhase::Succeeded
                                                 : UpdaterPhase::Failed;
    qorva_tsf::DrawTextIn(dc, UpdaterStatusText(phase, state.percent), state.statusFont, kInk,
                          {28, 172, w - 28, 196}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Paint(HWND window, const UpdaterDialogState& state) {
    qorva_tsf::PaintDoubleBuffered(window, [&](HDC dc, const RECT& client) {
        const HBRUSH background = CreateSolidBrush(kBackground);
        FillRect(dc, &client, background);
        DeleteObject(background);
        {
            Gdiplus::Graphics g(dc);
            g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            PaintShapes(g, state, client.right);
        }
        PaintText(dc, state, client.right);
    });
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                      UpdaterDialogState& state) {
    switch (message) {
        case WM_CREATE: OnCreate(window, state); return 0;
        case WM_TIMER:
            if (wParam == kCrystalTimer) {
                state.rotation.x += kCrystalTurnPerTick.x;
                state.rotation.y += kCrystalTurnPerTick.y;
                state.rotation.z += kCrystalTurnPerTick.z;
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_APP_UPDATER_PROGRESS:
            state.received = (static_cast<uint64_t>(wParam) << 32) | static_cast<uint32_t>(lParam);
            state.percent = DownloadPercent(state.received, state.total);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_APP_UPDATER_DONE: CallGuarded([&] { OnDone(state, wParam == 1); }); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kActionButtonId) CallGuarded([&] { OnAction(state); });
            return 0;
        case WM_DESTROY:
            // Closing cancels a running download; the dialog waits for its thread once the
            // window is gone.
            state.cancelRequested = true;
            KillTimer(window, kCrystalTimer);
            return 0;
        case WM_NCDESTROY:
            qorva_tsf::DeleteFonts({&state.controlFont, &state.infoFont, &state.statusFont});
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_ERASEBKGND: return 1;
        case WM_CTLCOLORSTATIC: return TransparentControlColours(wParam, kInk);
        case WM_PAINT: CallGuarded([&] { Paint(window, state); }); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr WNDPROC UpdaterWndProc = DialogProcedure<UpdaterDialogState, HandleMessage>;

}  // namespace

void ShowUpdaterProgressDialog(HWND owner, const ReleaseInfo& release,
                               const UpdateOptions& options) {
    RegisterDialogClass(kUpdaterWndClass, UpdaterWndProc,
                        static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));
    UpdaterDialogState state;
    state.info = release;
    state.cleanInstall = options.cleanInstall;
    state.total = PercentageBase(release.fileSize);

    const HWND window = CreateModalDialog(kUpdaterWndClass, kTitle, kWidth, kHeight, owner, &state);
    if (!window) return;
    StartDownload(state);

    const LoopEnd loop = RunDialogLoop(window, DialogKeys::ToControls);
    // A quit or an error ended the loop with the window open: closing it cancels the download.
    if (IsWindow(window)) DestroyWindow(window);
    const LoopEnd wait = WaitForDownload(state);
    RepostQuit(loop, wait);
}

}  // namespace qorva::universal
