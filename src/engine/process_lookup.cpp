#include "engine/process_lookup.h"

#include <winternl.h>

#include <cstddef>
#include <vector>

#include "core/decimal.h"
#include "core/process_tree.h"
#include "platform/process_list.h"
#include "platform/unique_handle.h"

namespace vantaro {
namespace {

constexpr SYSTEM_INFORMATION_CLASS kSystemProcessInformation = static_cast<SYSTEM_INFORMATION_CLASS>(5);
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
// The list can grow between asking for its size and reading it: a margin, and a few more tries with a new
// size.
constexpr ULONG kSizeMargin = 64 * 1024;
constexpr int kAttempts = 3;

// The fields this walk uses, where the system puts them in a 32-bit process.
static_assert(sizeof(void*) != 4 ||
              (offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId) == 68 &&
               offsetof(SYSTEM_PROCESS_INFORMATION, InheritedFromUniqueProcessId) == 72));

using QuerySystemInformation = decltype(&NtQuerySystemInformation);

QuerySystemInformation QueryFunction() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) return nullptr;
    return reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "ZwQuerySystemInformation")));
}

// The system's process records, or an empty block when they cannot be read. Held in 8-byte units so every
// record is aligned as the structure needs.
std::vector<ULONGLONG> ReadProcessRecords(ULONG* length) {
    QuerySystemInformation query = QueryFunction();
    if (query == nullptr) return {};
    ULONG needed = 0;
    query(kSystemProcessInformation, nullptr, 0, &needed);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const ULONG size = needed + kSizeMargin;
        std::vector<ULONGLONG> block((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG), 0);
        const NTSTATUS status = query(kSystemProcessInformation, block.data(), size, &needed);
        if (status == 0) {
            *length = size;
            return block;
        }
        if (status != kStatusInfoLengthMismatch) break;
    }
    return {};
}

}  // namespace

DWORD FindProcessIdByName(const std::string& name) {
    for (const ProcessEntry& entry : TakeProcessSnapshot()) {
        if (ExeNamesEqual(entry.exeName, name, 0)) return entry.id;
    }
    return 0;
}

long long FindParentProcessId(const std::string& idText) {
    const long long wanted = ParseLeadingInteger(idText);
    ULONG length = 0;
    const std::vector<ULONGLONG> block = ReadProcessRecords(&length);
    if (block.empty()) return -1;
    const auto* base = reinterpret_cast<const unsigned char*>(block.data());
    size_t at = 0;
    // The first record is the idle process (id 0) and is never compared; every later one is, the last
    // included.
    for (;;) {
        const auto* record = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(base + at);
        const ULONG next = record->NextEntryOffset;
        if (next == 0 || at + next + sizeof(SYSTEM_PROCESS_INFORMATION) > length) return -1;
        at += next;
        record = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(base + at);
        if (static_cast<long long>(reinterpret_cast<ULONG_PTR>(record->UniqueProcessId)) == wanted) {
            return static_cast<long long>(reinterpret_cast<ULONG_PTR>(record->InheritedFromUniqueProcessId));
        }
    }
}

bool TerminateProcessById(DWORD id) {
    KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    if (!process) return false;
    return TerminateProcess(process.Get(), 0) != FALSE;
}

}  // namespace vantaro
