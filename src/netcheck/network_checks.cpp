#include "netcheck/network_checks.h"

namespace vantaro {

void StartUpdateCheck() {}
void StartLatencyTest(bool) {}
void HandleCaptionRequest(LPARAM) {}

}  // namespace vantaro
