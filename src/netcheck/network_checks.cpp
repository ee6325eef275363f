#include "netcheck/network_checks.h"

namespace vantaro {

void StartUpdateCheck() {}
void StartLatencyTest(bool) {}

}  // namespace vantaro
