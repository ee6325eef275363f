#include "settings/run_at_startup.h"

#include "app/program_state.h"
#include "platform/message_box.h"
#include "platform/module_path.h"
#include "platform/profile_file.h"
#include "platform/registry.h"

namespace vantaro {
namespace {
const char kRunValueName[] = "vantaro Tools";

void SetBox(bool ticked) {
    SendMessageA(Control(Ctl::选择框_开机启动), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}
}  // namespace

void ToggleRunAtStartup() {
    ProgramState& program = Program();
    const bool ticked = SendMessageA(Control(Ctl::选择框_开机启动), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const std::string data = "\"" + OwnExecutableDirectory() + "\\" + OwnExecutableFileName() + "\"";
    if (ticked) {
        RunKey().write(kRunValueName, data);
    } else {
        RunKey().remove(kRunValueName);
    }
    const bool exists = RunKey().exists(kRunValueName);
    // Only a change the registry confirms is saved; a refused one is put back on screen.
    if (ticked && !exists) {
        ShowMessage(program.mainWindow,
                    "设置开机启动失败！可能是没有权限导致的，请尝试[以管理员方式运行] vantaro Tools 重试。", "错误");
        SetBox(false);
        return;
    }
    if (!ticked && exists) {
        ShowMessage(program.mainWindow,
                    "取消开机启动失败！可能是没有权限导致的，请尝试[以管理员方式运行] vantaro Tools 重试。", "错误");
        SetBox(true);
        return;
    }
    WriteProfileValue(ConfigFilePath(), "BasisConfig", "Run", ticked ? "true" : "false");
}

}  // namespace vantaro
