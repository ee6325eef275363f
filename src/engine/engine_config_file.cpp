#include "engine/engine_config_file.h"

#include <windows.h>

#include <string>

#include "app/program_state.h"
#include "core/engine_config.h"
#include "core/well_known_paths.h"
#include "platform/shell.h"
#include "platform/unique_handle.h"
#include "platform/window_text.h"

namespace vantaro {
namespace {

std::string BoxText(Ctl id) { return GetWindowTextString(Control(id)); }

// Created or truncated; readers may look while it is written, other writers are refused.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                       nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool WriteEngineConfig() {
    const std::string text =
        FillEngineConfig(BoxText(Ctl::编辑框_本地端口), BoxText(Ctl::编辑框_服务器IP),
                         BoxText(Ctl::编辑框_服务器端口), BoxText(Ctl::编辑框_服务器密码));
    const std::string user = LogonUserName();
    if (user.empty()) return false;
    return WriteWholeFile(EngineConfigPath(user), text);
}

}  // namespace vantaro
