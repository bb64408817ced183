#pragma once
// Plain words for the status of a failed port open, shown as the status
// line's tooltip next to "COMn open ERR!".

#include <string>
#include <string_view>

#include "serial/serial_status.h"

namespace app {

std::string PortOpenReason(serial::Status status);
// The same for an open of `portName` that just failed; a refusal because
// another program holds the port names that program ("held by minicom, pid
// 4711").
std::string PortOpenReason(serial::Status status, std::string_view portName);

}  // namespace app
