#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

// A report-view list with two text columns.
int ListRowCount(HWND list);
int ListAppendRow(HWND list, const std::string& column0, const std::string& column1);
void ListSetRowTexts(HWND list, int row, const std::string& column0, const std::string& column1);
std::string ListRowText(HWND list, int row, int column);
void ListDeleteRow(HWND list, int row);
// The selected row, -1 when none.
int ListSelectedRow(HWND list);
// Selects the row and makes it the current (focused) row; -1 clears the selection.
void ListSelectRow(HWND list, int row);

}  // namespace vantaro
