#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace vantaro {

// Every message box of the program goes through here: OK button, no icon, task-modal. Tests install a recorder
// and the boxes are recorded instead of blocking.
struct MessageRecord {
    HWND owner;
    std::string text;
    std::string title;
};

void ShowMessage(HWND owner, const std::string& text, const std::string& title);

// The title used when a caller gives none.
std::string DefaultMessageTitle();

using MessageRecorder = std::function<void(const MessageRecord&)>;
// Installs a recorder (empty function: show real boxes again). Returns the previous one.
MessageRecorder SetMessageRecorder(MessageRecorder recorder);

}  // namespace vantaro
