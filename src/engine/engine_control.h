#pragma once

namespace vantaro {

void StartEngine();
void StopEngine();
// The exit's termination: the first "vantaro-local.exe" and the interpreter that hosts it.
void TerminateEngineAtExit();

}  // namespace vantaro
