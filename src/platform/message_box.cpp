#include "platform/message_box.h"

#include <mutex>
#include <utility>

namespace vantaro {
namespace {
std::mutex recorderMutex;
MessageRecorder recorder;
}  // namespace

std::string DefaultMessageTitle() { return "信息："; }

void ShowMessage(HWND owner, const std::string& text, const std::string& title) {
    MessageRecorder current;
    {
        std::lock_guard<std::mutex> lock(recorderMutex);
        current = recorder;
    }
    if (current) {
        current(MessageRecord{owner, text, title});
        return;
    }
    MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL);
}

MessageRecorder SetMessageRecorder(MessageRecorder newRecorder) {
    std::lock_guard<std::mutex> lock(recorderMutex);
    return std::exchange(recorder, std::move(newRecorder));
}

}  // namespace vantaro
