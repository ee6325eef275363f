// A small driver for whole-program tests: finds the program's windows from another process of the same Wine
// prefix, reads their texts and states, and sends them messages, as a user's clicks would.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND ParseHandle(const char* text) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(strtoll(text, nullptr, 0))); }

HWND FindTopLevel(const char* className, const char* title) {
    return FindWindowA(className[0] ? className : nullptr, title[0] ? title : nullptr);
}

struct TextSearch {
    const char* text;
    HWND found;
};

// The first visible top-level window whose caption starts with the text.
BOOL CALLBACK FindByCaptionPrefix(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    char caption[512] = {};
    GetWindowTextA(window, caption, sizeof(caption));
    if (strncmp(caption, search->text, strlen(search->text)) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof(className));
    if (_stricmp(className, "Static") == 0) {
        char text[2048] = {};
        GetWindowTextA(child, text, sizeof(text));
        if (text[0]) printf("%s\n", text);
    }
    return TRUE;
}

int Usage() {
    fprintf(stderr,
            "wintool find CLASS TITLE | wait CLASS TITLE MS | wait-caption PREFIX MS | text HWND | child HWND ID |\n"
            "        visible HWND | enabled HWND | dialog-text HWND | send HWND MSG WPARAM LPARAM |\n"
            "        post HWND MSG WPARAM LPARAM | command HWND ID [CODE CHILDID] | settext HWND TEXT |\n"
            "        count-processes EXENAME\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string verb = argv[1];
    auto arg = [&](int i) -> const char* { return i < argc ? argv[i] : ""; };
    if (verb == "find") {
        HWND window = FindTopLevel(arg(2), arg(3));
        if (!window) return 1;
        printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
        return 0;
    }
    if (verb == "wait" || verb == "wait-caption") {
        const DWORD limit = static_cast<DWORD>(atoi(verb == "wait" ? arg(4) : arg(3)));
        const DWORD start = GetTickCount();
        for (;;) {
            HWND window = nullptr;
            if (verb == "wait") {
                window = FindTopLevel(arg(2), arg(3));
            } else {
                TextSearch search{arg(2), nullptr};
                EnumWindows(FindByCaptionPrefix, reinterpret_cast<LPARAM>(&search));
                window = search.found;
            }
            if (window) {
                printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
                return 0;
            }
            if (GetTickCount() - start > limit) return 1;
            Sleep(50);
        }
    }
    if (verb == "count-processes") {
        // Processes of this executable name, letter case ignored, in the whole prefix.
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return 1;
        int count = 0;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (_stricmp(entry.szExeFile, arg(2)) == 0) ++count;
        }
        CloseHandle(snapshot);
        printf("%d\n", count);
        return 0;
    }
    HWND window = ParseHandle(arg(2));
    if (verb == "text") {
        char text[8192] = {};
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                            nullptr);
        printf("%s\n", text);
        return 0;
    }
    if (verb == "child") {
        HWND child = GetDlgItem(window, atoi(arg(3)));
        if (!child) return 1;
        printf("%lld\n", static_cast<long long>(reinterpret_cast<INT_PTR>(child)));
        return 0;
    }
    if (verb == "visible") return IsWindowVisible(window) ? 0 : 1;
    if (verb == "enabled") return IsWindowEnabled(window) ? 0 : 1;
    if (verb == "dialog-text") {
        EnumChildWindows(window, PrintStatic, 0);
        return 0;
    }
    if (verb == "send" || verb == "post") {
        const UINT message = static_cast<UINT>(strtoul(arg(3), nullptr, 0));
        const WPARAM wParam = static_cast<WPARAM>(strtoull(arg(4), nullptr, 0));
        const LPARAM lParam = static_cast<LPARAM>(strtoll(arg(5), nullptr, 0));
        if (verb == "post") return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK, 10000, &result);
        printf("%lld\n", static_cast<long long>(result));
        return 0;
    }
    if (verb == "command") {
        // A menu item (no child) or a control notification, posted so a modal box it opens cannot block us.
        const int id = atoi(arg(3));
        const int code = argc > 4 ? atoi(arg(4)) : 0;
        HWND child = argc > 4 ? GetDlgItem(window, id) : nullptr;
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(child)) ? 0 : 1;
    }
    if (verb == "settext") {
        SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(3)), SMTO_BLOCK, 5000, nullptr);
        return 0;
    }
    return Usage();
}
