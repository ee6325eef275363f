#include "platform/icmp_echo.h"

#include <windows.h>
#include <winsock2.h>

#include <mutex>

#include "core/latency_rules.h"

namespace vantaro {
namespace {

// The system's ICMP library, declared here because it is looked up at run time.
struct IpOptionInformation {
    UCHAR ttl, tos, flags, optionsSize;
    PUCHAR optionsData;
};
struct IcmpEchoReply {
    ULONG address;
    ULONG status;
    ULONG roundTripTime;
    USHORT dataSize;
    USHORT reserved;
    PVOID data;
    IpOptionInformation options;
};
using IcmpCreateFileFunction = HANDLE(WINAPI*)();
using IcmpSendEchoFunction = DWORD(WINAPI*)(HANDLE, ULONG, LPVOID, WORD, IpOptionInformation*, LPVOID, DWORD,
                                            DWORD);
using IcmpCloseHandleFunction = BOOL(WINAPI*)(HANDLE);

constexpr DWORD kReplyBufferSize = 36;  // one reply record and room for the ICMP error data of a failure
static_assert(sizeof(IcmpEchoReply) <= kReplyBufferSize, "the reply record fits the reply buffer");

// Several latency tests may run at once: the one-time starts are made under this lock.
std::mutex startLock;
bool winsockStarted = false;
bool libraryTried = false;
HMODULE icmpLibrary = nullptr;

HMODULE IcmpLibrary() {
    std::lock_guard<std::mutex> guard(startLock);
    if (!libraryTried) {
        libraryTried = true;
        icmpLibrary = LoadLibraryA("icmp.dll");
    }
    return icmpLibrary;
}

template <typename Function>
Function Lookup(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

bool StartWinsockOnce() {
    std::lock_guard<std::mutex> guard(startLock);
    if (winsockStarted) return true;
    WSADATA data{};
    winsockStarted = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    return winsockStarted;
}

std::optional<unsigned long> ResolveIpv4(const std::string& host) {
    const unsigned long dotted = inet_addr(host.c_str());
    if (dotted != INADDR_NONE) return dotted;
    const hostent* entry = gethostbyname(host.c_str());
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_length != 4 ||
        entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr) {
        return std::nullopt;
    }
    unsigned long address = 0;
    memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

int SendIcmpEcho(unsigned long address, unsigned long timeoutMs) {
    HMODULE library = IcmpLibrary();
    if (library == nullptr) return -1;
    const auto create = Lookup<IcmpCreateFileFunction>(library, "IcmpCreateFile");
    const auto send = Lookup<IcmpSendEchoFunction>(library, "IcmpSendEcho");
    const auto close = Lookup<IcmpCloseHandleFunction>(library, "IcmpCloseHandle");
    if (create == nullptr || send == nullptr || close == nullptr) return -1;
    HANDLE icmp = create();
    if (icmp == INVALID_HANDLE_VALUE) return -1;
    alignas(8) unsigned char reply[kReplyBufferSize] = {};
    const DWORD replies = send(icmp, address, nullptr, 0, nullptr, reply, kReplyBufferSize, timeoutMs);
    close(icmp);
    IcmpEchoReply first{};
    memcpy(&first, reply, sizeof first);
    return EchoResult(replies, first.status, first.roundTripTime);
}

}  // namespace vantaro
