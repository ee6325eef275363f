#include "core/status_texts.h"

namespace vantaro {

std::string LocalListenerAddress(std::string_view localPort) { return "127.0.0.1:" + std::string(localPort); }

std::string TrayTipText(bool running, std::string_view localPort) {
    return std::string("vantaro Tools\r\n状态：[") + (running ? "正在运行" : "未运行") + "]\r\nSOCKS5 " +
           LocalListenerAddress(localPort);
}

}  // namespace vantaro
