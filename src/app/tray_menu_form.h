#pragma once
#include <windows.h>

#include <string>

#include "app/control_ids.h"

namespace vantaro {

// The form's hidden menu "托盘菜单": every tray item with its caption and state. Commands and the pop-up read
// and set these states; the menu object is the one place they are kept.
HMENU CreateTrayMenu();

bool IsMenuItemChecked(MenuItem item);
void SetMenuItemChecked(MenuItem item, bool checked);
bool IsMenuItemEnabled(MenuItem item);
void SetMenuItemEnabled(MenuItem item, bool enabled);
std::string MenuItemCaption(MenuItem item);
void SetMenuItemCaption(MenuItem item, const std::string& caption);

}  // namespace vantaro
