#pragma once

namespace vantaro {

// Never leave the user without Internet: the exit's reset also when Windows ends the session or the program
// crashes, and a repair at startup of settings that a killed instance left behind.
void InstallCrashReset();
void ResetForSessionEnd();
void RepairLeftoverProxySettings();

#ifdef VANTARO_TEST_BUILD
// Test builds only: a menu command id that makes the program crash, so a test can show what a crash leaves.
constexpr int kTestCrashCommand = 2999;
void CrashForTest();
#endif

}  // namespace vantaro
