#pragma once
#include <windows.h>

#include <optional>

#include "platform/unique_handle.h"

namespace vantaro {

// An anonymous pipe with the default buffer size whose two ends are created inheritable, so either can be
// handed to a child; the end the program keeps is made non-inheritable with SetHandleInheritable.
struct PipeEnds {
    KernelHandle read;
    KernelHandle write;
};
std::optional<PipeEnds> CreateInheritablePipe();
bool SetHandleInheritable(HANDLE handle, bool inheritable);

// Bytes written into a pipe and not yet read (PeekNamedPipe on its read end); 0 when the pipe cannot be
// peeked.
DWORD BytesWaitingInPipe(HANDLE readEnd);

}  // namespace vantaro
