#pragma once
#include <string>

namespace vantaro {

void UpdatePacList();
void EditPacList();
std::string GeneratePacFile();

}  // namespace vantaro
