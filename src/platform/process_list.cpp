#include "platform/process_list.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/unique_handle.h"

namespace vantaro {

std::vector<ProcessEntry> TakeProcessSnapshot() {
    std::vector<ProcessEntry> processes;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return processes;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        processes.push_back(ProcessEntry{entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    }
    return processes;
}

}  // namespace vantaro
