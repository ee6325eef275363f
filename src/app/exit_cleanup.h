#pragma once

namespace vantaro {

// Subsystems with program-wide objects of their own (the tray icon, the console runner records, the scanner
// bitmaps) create them at process start and release them in the exit clean-up.
void CreateSubsystemState();
void ReleaseSubsystemState();

}  // namespace vantaro
