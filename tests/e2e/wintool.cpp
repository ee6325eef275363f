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

// The clipboard's plain ANSI text (CF_TEXT) as it is, bytes up to the first zero; exit code 1 when it has none.
int PrintClipboardText() {
    if (!OpenClipboard(nullptr)) return 1;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        fwrite(text, 1, strnlen(text, GlobalSize(data)), stdout);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? 0 : 1;
}

int SetClipboardText(const char* text) {
    const size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return 1;
    memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) return 1;
    EmptyClipboard();
    const bool set = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return set ? 0 : 1;
}

// A BMP file shown at (x, y) above other windows, as a page showing a QR code would, until the window of class
// "wintoolPicture" is closed (post it WM_CLOSE).
LRESULT CALLBACK PictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowPicture(const char* path, int x, int y) {
    HANDLE bitmap = LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!bitmap) return 1;
    BITMAP size{};
    GetObjectA(bitmap, sizeof(size), &size);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PictureProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "wintoolPicture";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "wintoolPicture", "",
                                  WS_POPUP, x, y, size.bmWidth, size.bmHeight, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND picture = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, size.bmWidth,
                                   size.bmHeight, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window || !picture) return 1;
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

int Usage() {
    fprintf(stderr,
            "wintool find CLASS TITLE | wait CLASS TITLE MS | wait-caption PREFIX MS | text HWND | child HWND ID |\n"
            "        visible HWND | enabled HWND | above HWND OTHER | topmost HWND | dialog-text HWND | send HWND MSG WPARAM LPARAM |\n"
            "        post HWND MSG WPARAM LPARAM | command HWND ID [CODE CHILDID] | settext HWND TEXT |\n"
            "        count-processes EXENAME | clipboard | set-clipboard TEXT | show-bmp PATH X Y\n");
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
    if (verb == "clipboard") return PrintClipboardText();
    if (verb == "set-clipboard") return SetClipboardText(arg(2));
    if (verb == "show-bmp") return ShowPicture(arg(2), atoi(arg(3)), atoi(arg(4)));
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
    if (verb == "above") {  // exit 0 when HWND is above OTHER in the z-order
        HWND other = ParseHandle(arg(3));
        for (HWND w = GetWindow(other, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (w == window) return 0;
        }
        return 1;
    }
    if (verb == "topmost") return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 0 : 1;
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
