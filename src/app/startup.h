#pragma once
#include <windows.h>

namespace vantaro {

// MainWindow's creation: the form's controls, then the startup sequence. False: a second instance was refused.
bool RunWindowCreatedSequence(HWND window);
// MainWindow's destruction: the engine is terminated and, unless direct mode is checked, the proxy reset.
void RunDestroySequence();

constexpr char kInstanceEventName[] = "Wq3Lx9Zt7Pb2Nc5Vk8Mh4Rj6Gf1Sd0Ya7Te3Uo9Ii2B";

}  // namespace vantaro
