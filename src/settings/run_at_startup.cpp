#include "settings/run_at_startup.h"

namespace vantaro {

void ToggleRunAtStartup() {}

}  // namespace vantaro
