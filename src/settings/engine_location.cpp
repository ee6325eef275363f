#include "settings/engine_location.h"

#include "app/program_state.h"
#include "core/gbk_path.h"
#include "platform/window_text.h"

namespace vantaro {

void AcceptDroppedEngine(const std::string&) {}
void BrowseEngine() {}

void DeriveEngineDirectory() {
    Program().engineDirectory = EngineDirectoryOf(GetWindowTextString(Control(Ctl::编辑框_文件位置)));
}

}  // namespace vantaro
