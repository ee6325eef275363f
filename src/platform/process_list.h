#pragma once
#include <vector>

#include "core/process_tree.h"

namespace vantaro {

// The system's process list through a toolhelp snapshot; an unreadable list is empty.
std::vector<ProcessEntry> TakeProcessSnapshot();

}  // namespace vantaro
