#include "platform/message_wait.h"

namespace vantaro {
namespace {

// Dispatches what is queued now; false when the quit request was among it.
bool DispatchPending(bool (*preTranslate)(MSG& message)) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (preTranslate != nullptr && preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

}  // namespace

bool WaitProcessingMessages(DWORD milliseconds, const std::function<bool()>& done,
                            bool (*preTranslate)(MSG& message)) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (!DispatchPending(preTranslate)) return false;
        if (done && done()) return true;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= milliseconds) return true;
        // A condition is polled every few milliseconds; a plain wait sleeps until a message or the deadline.
        DWORD slice = static_cast<DWORD>(milliseconds - elapsed);
        if (done && slice > 5) slice = 5;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
    }
}

}  // namespace vantaro
