#pragma once
#include <string>

namespace vantaro {

// Imports the first usable share link among the lines of text: a new node with its fields, saved to
// config.ini.
void ImportShareLink(const std::string& text);

}  // namespace vantaro
