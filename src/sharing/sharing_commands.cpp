#include "sharing/sharing_commands.h"

namespace vantaro {

void CopyShareLink() {}
void ImportFromClipboard() {}
void OpenQrScanner() {}
void ReleaseScannerState() {}

}  // namespace vantaro
