#include "platform/ras_entries.h"

#include <ras.h>

#include <cstring>

namespace vantaro {
namespace {

DWORD WINAPI SystemEnumerator(LPCSTR reserved, LPCSTR phoneBook, DialUpEntryRecord* entries,
                              LPDWORD bufferBytes, LPDWORD entryCount) {
    return RasEnumEntriesA(reserved, phoneBook, reinterpret_cast<LPRASENTRYNAMEA>(entries), bufferBytes,
                           entryCount);
}

DialUpEnumerator enumerator = SystemEnumerator;

}  // namespace

std::vector<std::string> DialUpEntries() {
    DialUpEntryRecord records[kDialUpEntryRoom] = {};
    records[0].dwSize = sizeof(DialUpEntryRecord);
    DWORD bufferBytes = sizeof(records);
    DWORD count = 0;
    if (enumerator(nullptr, nullptr, records, &bufferBytes, &count) != 0) return {};
    if (count > kDialUpEntryRoom) return {};
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i) {
        const char* name = records[i].szEntryName;
        names.emplace_back(name, strnlen(name, sizeof(records[i].szEntryName)));
    }
    return names;
}

DialUpEnumerator SetDialUpEnumerator(DialUpEnumerator replacement) {
    const DialUpEnumerator previous = enumerator;
    enumerator = replacement;
    return previous;
}

}  // namespace vantaro
