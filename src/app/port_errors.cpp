#include "app/port_errors.h"

#include <cstring>

#include "ports/port_guard.h"

namespace app {

std::string PortOpenReason(serial::Status status) {
  switch (status) {
    case serial::ERROR_SUCCESS:
      return {};
    case serial::ERROR_FILE_NOT_FOUND:
    case serial::ERROR_PATH_NOT_FOUND:
      return "no such device: nothing is connected under this name (see Setup COM Port)";
    case serial::ERROR_ACCESS_DENIED:
      return "permission denied or in use by another program: is your user in the dialout group?";
    case serial::ERROR_ALREADY_INITIALIZED:
      return "the port is already open";
    case serial::ERROR_TIMEOUT:
      return "the device did not answer in time";
    case serial::E_INVALIDARG:
      return "the device refused the line settings";
    default:
      break;
  }
  if (status >= serial::kErrnoStatusBase) return std::strerror(status - serial::kErrnoStatusBase);
  return "system error " + std::to_string(status);
}

std::string PortOpenReason(serial::Status status, std::string_view portName) {
  if (status == serial::ERROR_ACCESS_DENIED) {
    if (const auto holder = ports::ProcessPortGuard().LastHolder(portName))
      return ports::DescribeHolder(*holder);
  }
  return PortOpenReason(status);
}

}  // namespace app
