#include "sysproxy/proxy_guard.h"

namespace vantaro {

void InstallCrashReset() {}
void ResetForSessionEnd() {}
void RepairLeftoverProxySettings() {}

}  // namespace vantaro
