// Shows the candidate popup in its main looks side by side, for a screenshot to review by eye:
//   candidate_window_demo.exe [milliseconds to stay, 6000 by default]
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tsf/candidate_window.h"

namespace {

using qorva_tsf::CandidateWindow;

RECT CaretAt(int x, int y) { return {x, y, x + 2, y + 20}; }

void RunMessagesFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const DWORD stayMs =
        commandLine && *commandLine ? std::wcstoul(commandLine, nullptr, 10) : 6000;

    // Bangla target, second row selected, idle voice row.
    CandidateWindow typing;
    if (!typing.Initialize(instance)) return 1;
    typing.SetVoiceState(CandidateWindow::VoiceState::Idle, L"");
    typing.ShowCandidates({L"\u0986\u09AE\u09BF", L"\u0986\u09AE\u09BE\u09B0",
                           L"\u0986\u09AE\u09B0\u09BE", L"\u0986\u09AE\u09BE\u0995\u09C7", L"ami"},
                          1, CaretAt(20, 0));

    // Next-word predictions under the banner.
    CandidateWindow predictions;
    if (!predictions.Initialize(instance)) return 1;
    predictions.nextWordBanner = true;
    predictions.ShowCandidates({L"\u09AD\u09BE\u09B2\u09CB", L"\u099C\u09BE\u09A8\u09BF",
                                L"\u09AC\u09BE\u0982\u09B2\u09BE\u09A6\u09C7\u09B6"},
                               0, CaretAt(300, 0));

    // English target with a translation, listening voice row.
    CandidateWindow english;
    if (!english.Initialize(instance)) return 1;
    english.SetConversionMode(CandidateWindow::ConversionTarget::English);
    english.SetVoiceState(CandidateWindow::VoiceState::Listening, L"");
    english.ShowCandidates(
        {L"I love my country",
         L"\u0986\u09AE\u09BF \u0986\u09AE\u09BE\u09B0 \u09A6\u09C7\u09B6\u0995\u09C7 "
         L"\u09AD\u09BE\u09B2\u09CB\u09AC\u09BE\u09B8\u09BF"},
        0, CaretAt(20, 230));

    // Voice message alone, the way a missing API key is reported.
    CandidateWindow voice;
    if (!voice.Initialize(instance)) return 1;
    voice.SetVoiceState(CandidateWindow::VoiceState::Idle,
                        L"voice.json \u098F API key \u09A6\u09BF\u09A8");
    voice.ShowVoiceStatus(CaretAt(300, 230));

    RunMessagesFor(stayMs);
    return 0;
}
