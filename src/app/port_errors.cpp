#include "app/port_errors.h"

#include <cstring>

#include "ports/open_history.h"
#include "ports/port_guard.h"
#include "serial/net_address.h"

namespace app {
namespace {

// The device `portName` leads to and whether a published link decides it.
void Resolve(std::string_view portName, const serial::PortLocations& where,
             const std::vector<ports::PortChoice>& choices, std::string& device, bool& linked) {
  linked = false;
  for (const ports::PortChoice& choice : choices) {
    if (choice.name == portName) {
      device = choice.device;
      linked = choice.linked;
      return;
    }
  }
  const serial::Status s = serial::ResolvePortName(portName, device, where);
  if (s != serial::ERROR_SUCCESS && s != serial::ERROR_INVALID_NAME) device.clear();
}

}  // namespace

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
    case serial::ERROR_INVALID_NAME:
      return "not a usable network address (tcp://host:port or gpsd://host[:port][/device])";
    case serial::ERROR_BAD_NETPATH:
      return "the host cannot be found";
    case serial::ERROR_CONNECTION_REFUSED:
      return "connection refused: nothing listens at that address";
    case serial::ERROR_NETWORK_UNREACHABLE:
    case serial::ERROR_HOST_UNREACHABLE:
      return "the host cannot be reached";
    case serial::ERROR_DEV_NOT_EXIST:
      return "gpsd has no such device";
    case serial::ERROR_BAD_NET_RESP:
      return "the far end does not answer as gpsd does";
    case serial::ERROR_NOT_SUPPORTED:
      return "gpsd owns the device; commands cannot be sent through it";
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

std::vector<ports::PortChoice> PortChoices(const serial::PortLocations& where) {
  std::vector<ports::PortChoice> choices;
  for (serial::PortMapping& m : serial::ListPortMappings(where))
    choices.push_back({std::move(m.name), std::move(m.device), m.linked});
  return choices;
}

ports::OpenAttempt FailedOpenAttempt(serial::Status status, std::string_view portName,
                                     const serial::PortLocations& where, ports::DiagnosisFacts& facts,
                                     std::string_view detail) {
  ports::OpenAttempt attempt;
  attempt.portName = portName;
  const std::vector<ports::PortChoice> choices = PortChoices(where);
  Resolve(portName, where, choices, attempt.devicePath, attempt.linked);
  attempt.linkFolder = where.linkFolder;
  if (serial::IsAddressTarget(attempt.devicePath) || serial::HasNetScheme(portName)) {
    // No device on this machine is involved: nothing to look for here.
    attempt.failure = ports::OpenFailure::Network;
    attempt.failureText = detail.empty() ? PortOpenReason(status) : std::string(detail);
    return attempt;
  }
  switch (status) {
    case serial::ERROR_FILE_NOT_FOUND:
    case serial::ERROR_PATH_NOT_FOUND:
      attempt.failure = ports::OpenFailure::NoDevice;
      break;
    case serial::ERROR_ACCESS_DENIED:
      attempt.failure = ports::OpenFailure::Refused;
      break;
    default:
      attempt.failure = ports::OpenFailure::Other;
      attempt.failureText = PortOpenReason(status);
      break;
  }
  attempt.holder = ports::ProcessPortGuard().LastHolder(portName);
  attempt.lastGood = ports::LastGoodOpen(portName);
  for (const ports::PortChoice& choice : choices) {
    if (!choice.device.empty() && facts.Node(choice.device).exists)
      attempt.available.push_back({choice.name, choice.device});
  }
  attempt.linkFolder = where.linkFolder;
  return attempt;
}

ports::Diagnosis DiagnoseOpenFailure(serial::Status status, std::string_view portName,
                                     ports::DiagnosisFacts& facts, const serial::PortLocations& where,
                                     std::string_view detail) {
  return ports::Diagnose(FailedOpenAttempt(status, portName, where, facts, detail), facts);
}

void NoteGoodOpen(std::string_view portName, ports::DiagnosisFacts& facts,
                  const serial::PortLocations& where) {
  std::string device;
  if (serial::ResolvePortName(portName, device, where) != serial::ERROR_SUCCESS) return;
  ports::RememberGoodOpen(portName, ports::StableNameOf(device, facts));
}

}  // namespace app
