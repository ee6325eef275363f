#pragma once

namespace vantaro {

void CopyShareLink();
void ImportFromClipboard();
void OpenQrScanner();
// The exit clean-up of the scanner's bitmaps.
void ReleaseScannerState();

}  // namespace vantaro
