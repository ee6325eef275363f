#pragma once

namespace vantaro {

void CopyShareLink();
void ImportFromClipboard();
void OpenQrScanner();

}  // namespace vantaro
