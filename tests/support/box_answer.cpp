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
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            // A box is shown only once its text is in place.
            HWND box = FindWindowW(windowClass_.c_str(), caption_.c_str());
            if (box && IsWindowVisible(box)) {
                wchar_t text[4096] = {};
                GetDlgItemTextW(box, kMessageBoxTextId, text, 4096);
                text_ = text;
                owner_ = GetWindow(box, GW_OWNER);
                answered_ = true;
                PostMessageW(GetDlgItem(box, button_), BM_CLICK, 0, 0);
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
