#pragma once
#include <windows.h>

#include <functional>

namespace vantaro {

// Waits up to `milliseconds` on the GUI thread while its window messages keep being dispatched (each one
// offered to `preTranslate` first, as the message loop does); ends early once `done` answers true. Returns
// false when a quit request arrived: it is posted again so the message loop still ends.
bool WaitProcessingMessages(DWORD milliseconds, const std::function<bool()>& done,
                            bool (*preTranslate)(MSG& message));

}  // namespace vantaro
