// The link a transfer runs over: the Preferences "Download via" and
// "Receive data via" choices, in the order of their lists.
#pragma once

namespace fw {

constexpr int kLinkCradleIr = 0;   // "Cradle-IR": the cradle is set up first
constexpr int kLinkIrda = 1;       // "IrDA"
constexpr int kLinkOther = 2;      // "Serial-SPP" and any other plain link

}  // namespace fw
