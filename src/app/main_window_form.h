#pragma once
#include <windows.h>

#include "app/control_ids.h"

namespace vantaro {

enum class ControlKind { Tab, ListView, Button, GroupBox, Label, Edit, DigitsEdit, PasswordEdit, CheckBox,
                         ReadOnlyEdit, LogBox, StatusBar };
enum class Container { Window, Page1, Group, Page2 };

// One row of the main window's form: positions are 96-DPI pixels relative to the container.
struct ControlRow {
    Ctl id;
    const char* formName;
    ControlKind kind;
    const char* caption;
    Container container;
    int x, y, width, height;
    bool enabled;
};

const ControlRow* FindControlRow(Ctl id);

// Creates every control of the form on the main window, laid out for its DPI, with the tab on its first page.
void CreateMainWindowControls(HWND window);
// Shows the controls of the chosen tab page and hides the others.
void ShowTabPage(int page);

// The main window's outer size in 96-DPI pixels.
constexpr int kMainWindowWidth = 564;
constexpr int kMainWindowHeight = 350;
int ScaleForDpi(HWND window, int pixels96);

}  // namespace vantaro
