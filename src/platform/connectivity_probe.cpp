#include "platform/connectivity_probe.h"

#include <windows.h>
#include <wininet.h>

namespace vantaro {
namespace {

struct InternetHandleCloser {
    HINTERNET handle;
    ~InternetHandleCloser() {
        if (handle != nullptr) InternetCloseHandle(handle);
    }
};

}  // namespace

bool SystemReportsConnection() {
    DWORD flags = 0;
    return InternetGetConnectedState(&flags, 0) != FALSE;
}

bool OpenUrlThroughSystemProxy(const std::string& url) {
    InternetHandleCloser session{
        InternetOpenA("vantaro Tools", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)};
    if (session.handle == nullptr) return false;
    InternetHandleCloser opened{
        InternetOpenUrlA(session.handle, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0)};
    return opened.handle != nullptr;
}

}  // namespace vantaro
