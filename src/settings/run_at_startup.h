#pragma once

namespace vantaro {

void ToggleRunAtStartup();

}  // namespace vantaro
