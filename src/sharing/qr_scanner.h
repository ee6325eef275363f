#pragma once

namespace vantaro {

// The capture window's class, by which tests and the whole-program scenarios find it.
constexpr char kCaptureWindowClass[] = "vantaroToolsCaptureWindow";

// OpenQrScanner and ReleaseScannerState are declared in sharing/sharing_commands.h, where the command tables
// and the exit clean-up find them.

}  // namespace vantaro
