#pragma once

namespace vantaro {

// Both run their network work on a worker thread of their own.
void StartUpdateCheck();
void StartLatencyTest(bool fromTray);

}  // namespace vantaro
