#include "sysproxy/pac_file.h"

namespace vantaro {

void UpdatePacList() {}
void EditPacList() {}
std::string GeneratePacFile() { return {}; }

}  // namespace vantaro
