#include "ports/reconnect.h"

#include <sys/stat.h>

#include <cstdio>
#include <utility>

#include "serial/serial_link.h"

namespace ports {
namespace {

bool IsPseudoTerminal(const std::string& device) { return device.rfind("/dev/pts/", 0) == 0; }

bool IsPath(const std::string& name) { return !name.empty() && name.front() == '/'; }

std::string ClockText(const std::tm& at) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", at.tm_hour % 100, at.tm_min % 100, at.tm_sec % 100);
  return text;
}

}  // namespace

bool SourceLost(std::uint32_t events, const LinkHealth& health) {
  if ((events & (serial::EV_RXCHAR | serial::EV_ERR)) == 0 || !health.open) return false;
  return health.hungUp || health.readFailed;
}

SysReturnFacts::SysReturnFacts(serial::PortLocations where, DiagnosisFacts& facts)
    : where_(std::move(where)), facts_(facts) {}

std::vector<NamedDevice> SysReturnFacts::Names() {
  std::vector<NamedDevice> names;
  for (serial::PortMapping& m : serial::ListPortMappings(where_)) {
    const std::string device = m.device.empty() ? std::string() : facts_.RealPath(m.device);
    names.push_back({std::move(m.name), device});
  }
  return names;
}

std::string SysReturnFacts::Resolve(const std::string& portName) {
  std::string device;
  if (serial::ResolvePortName(portName, device, where_) != serial::ERROR_SUCCESS) return {};
  // A network address is tried as it is; only opening it tells whether it is back.
  if (!IsPath(device)) return device;
  return facts_.RealPath(device);
}

std::optional<LinkStamp> SysReturnFacts::PublishedLink(const std::string& portName) {
  std::string entry;
  if (IsPath(portName)) {
    entry = portName;  // a path that is itself a link (socat's "link=" option makes such)
  } else if (const int number = serial::ComNumberOf(portName); number != 0 && !where_.linkFolder.empty()) {
    entry = where_.linkFolder + "/" + serial::ComNameOf(number);
  } else {
    return std::nullopt;
  }
  struct stat st {};
  if (lstat(entry.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::nullopt;
  return LinkStamp{static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

UdevProperties SysReturnFacts::Properties(const std::string& device) {
  UdevProperties properties = facts_.Tty(BaseName(device)).udev;
  // The database keeps the links apart from the properties.
  if (properties.count("DEVLINKS") == 0) {
    for (const ByIdLink& link : facts_.SerialByIdLinks()) {
      if (link.target == device) {
        properties["DEVLINKS"] = link.path;
        break;
      }
    }
  }
  return properties;
}

std::string SysReturnFacts::RealPath(const std::string& path) { return facts_.RealPath(path); }

FollowedPort DescribeOpenedPort(const std::string& portName, ReturnFacts& facts) {
  FollowedPort port;
  port.portName = portName;
  port.device = facts.Resolve(portName);
  if (IsPath(port.device)) port.usb = UsbIdentityOf(facts.Properties(port.device));
  port.link = facts.PublishedLink(portName);
  return port;
}

void Reconnector::Follow(FollowedPort port, std::int64_t nowMs) {
  port_ = std::move(port);
  waiting_ = true;
  lostAtMs_ = nowMs;
  refusedSinceMs_.reset();
}

std::optional<std::string> Reconnector::NameOf(const std::string& device, ReturnFacts& facts) const {
  if (device.empty()) return std::nullopt;
  if (facts.Resolve(port_.portName) == device) return port_.portName;
  for (const NamedDevice& named : facts.Names()) {
    if (named.device == device) return named.name;
  }
  // A port opened by its path is opened by its new path.
  if (IsPath(port_.portName)) return device;
  return std::nullopt;
}

std::optional<std::string> Reconnector::Check(ReturnFacts& facts) const {
  if (!waiting_) return std::nullopt;
  if (port_.usb) {
    const UsbIdentity& usb = *port_.usb;
    if (usb.hasSerialNumber && !usb.byId.empty()) return NameOf(facts.RealPath(usb.byId), facts);
    for (const NamedDevice& named : facts.Names()) {
      if (!named.device.empty() && SameUsbDevice(usb, facts.Properties(named.device)))
        return NameOf(named.device, facts);
    }
    return std::nullopt;
  }
  if (port_.link) {
    const std::optional<LinkStamp> now = facts.PublishedLink(port_.portName);
    const std::string device = facts.Resolve(port_.portName);
    if (!now || device.empty()) return std::nullopt;
    // The old number of a pseudo-terminal may be someone else's terminal now.
    if (*now == *port_.link && IsPseudoTerminal(device)) return std::nullopt;
    return port_.portName;
  }
  if (IsPseudoTerminal(port_.device)) return std::nullopt;
  if (serial::ComNumberOf(port_.portName) != 0 || IsPath(port_.portName)) {
    if (facts.Resolve(port_.portName).empty()) return std::nullopt;
    return port_.portName;
  }
  return port_.portName;  // an address: only opening it tells
}

std::optional<std::string> Reconnector::Check(ReturnFacts& facts, const UdevEvent& event) const {
  if (!waiting_ || event.action != "add") return std::nullopt;
  if (port_.usb) {
    if (!IsReturnOf(*port_.usb, event)) return std::nullopt;
    const std::string device = facts.RealPath(event.devNode);
    return NameOf(device.empty() ? event.devNode : device, facts);
  }
  return Check(facts);
}

Reconnector::Next Reconnector::Tried(serial::Status status, std::int64_t nowMs) {
  if (!waiting_) return Next::KeepWaiting;
  if (status == serial::ERROR_SUCCESS) {
    waiting_ = false;
    return Next::Reconnected;
  }
  if (status != serial::ERROR_ACCESS_DENIED) {
    refusedSinceMs_.reset();
    return Next::KeepWaiting;
  }
  if (!refusedSinceMs_) refusedSinceMs_ = nowMs;
  if (nowMs - *refusedSinceMs_ < kRefusalPatienceMs) return Next::KeepWaiting;
  waiting_ = false;
  return Next::GiveUp;
}

std::string RemovedNote(std::string_view portName, const std::tm& at) {
  return "-- " + Printable(portName) + " device removed at " + ClockText(at) + " --\r\n";
}

std::string ReconnectedNote(std::string_view lostName, std::string_view portName, const std::tm& at,
                            std::int64_t gapSeconds) {
  std::string note = "-- " + Printable(lostName) + " reconnected";
  if (portName != lostName) note += " as " + Printable(portName);
  return note + " at " + ClockText(at) + " after " + std::to_string(gapSeconds < 0 ? 0 : gapSeconds) +
         " s --\r\n";
}

}  // namespace ports
