#pragma once

namespace vantaro {

void ShowAbout();
void OpenHelpPage();
void OpenDonationPage();
void OpenConfigFolder();

}  // namespace vantaro
