#pragma once
// Plain words for the status of a failed port open, shown as the status
// line's tooltip next to "COMn open ERR!".

#include <string>

#include "serial/serial_status.h"

namespace app {

std::string PortOpenReason(serial::Status status);

}  // namespace app
