#include "tests/support/box_answer.h"

#include <chrono>

namespace qorva_test {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace

BoxAnswer::BoxAnswer(std::wstring caption, int button, std::wstring windowClass)
    : caption_(std::move(caption)), button_(button), windowClass_(std::move(windowClass)) {
    thread_ = std::thread([this] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::chrono::steady_clock::time_point firstSeen{};
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            HWND box = FindWindowW(windowClass_.c_str(), caption_.c_str());
            if (box && IsWindowVisible(box)) {
                wchar_t text[4096] = {};
                GetDlgItemTextW(box, kMessageBoxTextId, text, 4096);
                // Wine may show the box a moment before its text is in place; a box without any
                // text is answered once it has stood a second.
                const auto now = std::chrono::steady_clock::now();
                if (firstSeen == std::chrono::steady_clock::time_point{}) firstSeen = now;
                if (text[0] == L'\0' && now - firstSeen < std::chrono::seconds(1)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    continue;
                }
                text_ = text;
                owner_ = GetWindow(box, GW_OWNER);
                answered_ = true;
                // The button's command goes to the box itself: a posted click on the button needs
                // the mouse capture, which a busy Wine desktop can take away. Sent again until the
                // box is gone.
                while (!stop_ && IsWindow(box) && std::chrono::steady_clock::now() < deadline) {
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(box, button_)));
                    std::this_thread::sleep_for(std::chrono::milliseconds(250));
                }
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
}

BoxAnswer::~BoxAnswer() {
    stop_ = true;
    thread_.join();
}

}  // namespace qorva_test
