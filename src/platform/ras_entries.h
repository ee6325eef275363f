#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vantaro {

// The phone book's dial-up entry names as RasEnumEntriesA lists them, in that order. The enumeration has room
// for 38 entries; more than that, or a failed enumeration, counts as none.
std::vector<std::string> DialUpEntries();

// The entry record of the enumeration as it was first defined (no flags, no phone-book path): 264 bytes.
struct DialUpEntryRecord {
    DWORD dwSize;
    CHAR szEntryName[257];
};
static_assert(sizeof(DialUpEntryRecord) == 264, "the enumeration's entry record is 264 bytes");
constexpr DWORD kDialUpEntryRoom = 38;

// The enumeration function, replaceable because Wine has no phone book. Returns the previous one.
using DialUpEnumerator = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phoneBook, DialUpEntryRecord* entries,
                                        LPDWORD bufferBytes, LPDWORD entryCount);
DialUpEnumerator SetDialUpEnumerator(DialUpEnumerator enumerator);

}  // namespace vantaro
