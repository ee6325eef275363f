#include "netcheck/network_checks.h"

namespace vantaro {

void StartUpdateCheck() {}
void HandleCaptionRequest(LPARAM) {}

}  // namespace vantaro
