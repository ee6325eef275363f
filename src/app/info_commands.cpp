#include "app/info_commands.h"

namespace vantaro {

void ShowAbout() {}
void OpenHelpPage() {}
void OpenDonationPage() {}
void OpenConfigFolder() {}

}  // namespace vantaro
