#pragma once

namespace vantaro {

// Writes the engine's configuration file from the local port and the three server boxes as they are now: GBK
// bytes, values escaped for JSON, other writers denied while it is open. False when any step fails.
bool WriteEngineConfig();

}  // namespace vantaro
