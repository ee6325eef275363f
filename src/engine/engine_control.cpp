#include "engine/engine_control.h"

namespace vantaro {

void StartEngine() {}
void StopEngine() {}
void TerminateEngineAtExit() {}

}  // namespace vantaro
