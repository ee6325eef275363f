#include "platform/list_view.h"

#include <windows.h>
#include <commctrl.h>

namespace vantaro {

int ListRowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int ListAppendRow(HWND list, const std::string& column0, const std::string& column1) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListRowCount(list);
    item.pszText = const_cast<char*>(column0.c_str());
    const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row >= 0) ListSetRowTexts(list, row, column0, column1);
    return row;
}

void ListSetRowTexts(HWND list, int row, const std::string& column0, const std::string& column1) {
    const std::string* texts[2] = {&column0, &column1};
    for (int column = 0; column < 2; ++column) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = const_cast<char*>(texts[column]->c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
}

std::string ListRowText(HWND list, int row, int column) {
    char buffer[1024] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    const auto length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void ListDeleteRow(HWND list, int row) { SendMessageA(list, LVM_DELETEITEM, row, 0); }

int ListSelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListSelectRow(HWND list, int row) {
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (row < 0 || row >= ListRowCount(list)) return;
    LVITEMA select{};
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&select));
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
}

}  // namespace vantaro
