// TCP byte streams through Winsock, for network serial ports.
#pragma once

#include <memory>

#include "comm/network_port.h"

namespace fw {

// A new, unconnected TCP stream (Winsock, started on first use).
std::unique_ptr<StreamSocket> newWinStreamSocket();

}  // namespace fw
