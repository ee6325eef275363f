#pragma once

namespace vantaro {

// Never leave the user without Internet: the exit's reset also when Windows ends the session or the program
// crashes, and a repair at startup of settings that a killed instance left behind.
void InstallCrashReset();
void ResetForSessionEnd();
void RepairLeftoverProxySettings();

}  // namespace vantaro
