// The names of a form's record actions (FormDef's `recordAction`), as the
// Form page lists them and the Collected data window shows them.
#pragma once

#include <string>
#include <vector>

namespace fw {

// The eight record actions, by the value stored.
std::vector<std::string> recordActionList();

}  // namespace fw
