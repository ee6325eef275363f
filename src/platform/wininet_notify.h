#pragma once

namespace vantaro {

// Tells WinINet that its settings changed (option 39) and then to reload them (option 37), with no handle and
// no buffer; the results are ignored.
void NotifyWinInetSettingsChanged();

// Tests observe the options sent (the calls are made all the same). Returns the previous observer.
using WinInetOptionObserver = void (*)(unsigned long option);
WinInetOptionObserver SetWinInetOptionObserver(WinInetOptionObserver observer);

}  // namespace vantaro
