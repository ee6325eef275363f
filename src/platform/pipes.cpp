#include "platform/pipes.h"

namespace vantaro {

std::optional<PipeEnds> CreateInheritablePipe() {
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof(attributes);
    attributes.bInheritHandle = TRUE;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &attributes, 0)) return std::nullopt;
    return PipeEnds{KernelHandle(read), KernelHandle(write)};
}

bool SetHandleInheritable(HANDLE handle, bool inheritable) {
    return SetHandleInformation(handle, HANDLE_FLAG_INHERIT, inheritable ? HANDLE_FLAG_INHERIT : 0) != FALSE;
}

DWORD BytesWaitingInPipe(HANDLE readEnd) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) return 0;
    return available;
}

}  // namespace vantaro
