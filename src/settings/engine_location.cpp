#include "settings/engine_location.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "app/program_state.h"
#include "core/gbk_path.h"
#include "platform/message_box.h"
#include "platform/window_text.h"

namespace vantaro {
namespace {
const char kEngineFileName[] = "vantaro-local.exe";

// Setting the box's text runs SaveEngineFile, so every accepted path is saved at once.
void UseEnginePath(const std::string& path) {
    SetWindowTextString(Control(Ctl::编辑框_文件位置), path);
    DeriveEngineDirectory();
}
}  // namespace

void AcceptDroppedEngine(const std::string& dropped) {
    const std::string name = FileNameAfterLastBackslash(dropped);
    if (name != kEngineFileName) {
        ShowMessage(Program().mainWindow,
                    "拖放文件只支持文件名：vantaro-local.exe ，当前拖放的文件名为：" + name +
                        "，请确保是 vantaro命令行版客户端，如果是 请重命名！",
                    "错误");
        return;
    }
    UseEnginePath(dropped);
}

void BrowseEngine() {
    std::vector<char> file(32768, '\0');
    const std::string initialDirectory = Program().runDirectory;
    // Description and pattern, each ending in a zero, then one more zero.
    static const char kFilter[] = "vantaro-local.exe\0vantaro-local.exe\0";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Program().mainWindow;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = initialDirectory.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&dialog)) return;
    UseEnginePath(file.data());
}

void DeriveEngineDirectory() {
    Program().engineDirectory = EngineDirectoryOf(GetWindowTextString(Control(Ctl::编辑框_文件位置)));
}

}  // namespace vantaro
