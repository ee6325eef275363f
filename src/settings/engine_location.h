#pragma once
#include <string>

namespace vantaro {

void AcceptDroppedEngine(const std::string& dropped);
void BrowseEngine();
void DeriveEngineDirectory();

}  // namespace vantaro
