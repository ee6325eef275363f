#pragma once

namespace vantaro {

// config.ini in the run directory, read once at startup and written through the profile functions only.
void LoadSettings();
void SaveSettings();
void SaveLocalPort();
void SaveEngineFile();

}  // namespace vantaro
