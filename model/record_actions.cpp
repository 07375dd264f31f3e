#include "model/record_actions.h"

namespace fw {

std::vector<std::string> recordActionList() {
    return {"save",          "update lookup", "save & update",        "pass down",
            "output record", "output screen", "save & output record", "save & output screen"};
}

}  // namespace fw
