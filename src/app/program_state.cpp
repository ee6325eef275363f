#include "app/program_state.h"

#include <memory>

#include "app/exit_cleanup.h"
#include "platform/module_path.h"

namespace vantaro {
namespace {
std::unique_ptr<ProgramState> state;
}

ProgramState& Program() {
    if (!state) state = std::make_unique<ProgramState>();
    return *state;
}

void CreateProgramState(const StartupOptions& options) {
    state = std::make_unique<ProgramState>();
    state->options = options;
    state->runDirectory = options.runDirectory.empty() ? OwnExecutableDirectory() : options.runDirectory;
    CreateSubsystemState();
}

void ReleaseProgramState() {
    if (!state) return;
    ReleaseSubsystemState();
    if (state->font) DeleteObject(state->font);
    state.reset();
}

HWND Control(Ctl id) {
    const int index = static_cast<int>(id) - kFirstControl;
    if (index < 0 || index >= kControlCount) return nullptr;
    return Program().controls[index];
}

std::string ConfigFilePath() { return Program().runDirectory + "\\config.ini"; }

}  // namespace vantaro
