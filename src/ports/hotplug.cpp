#include "ports/hotplug.h"

#include <string_view>

namespace ports {
namespace {

constexpr std::string_view kByIdFolder = "/dev/serial/by-id/";

std::string Property(const UdevProperties& properties, const std::string& name) {
  const auto it = properties.find(name);
  return it == properties.end() ? std::string() : it->second;
}

}  // namespace

std::string ByIdLinkOf(const UdevProperties& properties) {
  const std::string links = Property(properties, "DEVLINKS");
  std::size_t at = 0;
  while (at < links.size()) {
    std::size_t end = links.find(' ', at);
    if (end == std::string::npos) end = links.size();
    const std::string_view link = std::string_view(links).substr(at, end - at);
    if (link.size() > kByIdFolder.size() && link.substr(0, kByIdFolder.size()) == kByIdFolder)
      return std::string(link);
    at = end + 1;
  }
  return {};
}

std::optional<UsbIdentity> UsbIdentityOf(const UdevProperties& properties) {
  UsbIdentity id;
  id.vendorId = Property(properties, "ID_VENDOR_ID");
  id.productId = Property(properties, "ID_MODEL_ID");
  id.serial = Property(properties, "ID_SERIAL");
  id.hasSerialNumber = !Property(properties, "ID_SERIAL_SHORT").empty();
  id.interfaceNumber = Property(properties, "ID_USB_INTERFACE_NUM");
  id.physicalPath = Property(properties, "ID_PATH");
  id.byId = ByIdLinkOf(properties);
  if (id.vendorId.empty() || id.productId.empty()) return std::nullopt;
  // Something to know it by again.
  if (id.hasSerialNumber ? id.serial.empty() : id.physicalPath.empty()) return std::nullopt;
  return id;
}

bool SameUsbDevice(const UsbIdentity& known, const UdevProperties& properties) {
  const std::optional<UsbIdentity> other = UsbIdentityOf(properties);
  if (!other || other->interfaceNumber != known.interfaceNumber) return false;
  if (!known.byId.empty() && !other->byId.empty() && known.byId != other->byId) return false;
  if (known.hasSerialNumber) return other->hasSerialNumber && other->serial == known.serial;
  // Without a serial number only the socket tells two cables of one make
  // apart.
  return !other->hasSerialNumber && other->physicalPath == known.physicalPath &&
         other->vendorId == known.vendorId && other->productId == known.productId;
}

bool IsReturnOf(const UsbIdentity& lost, const UdevEvent& event) {
  return event.action == "add" && !event.devNode.empty() && SameUsbDevice(lost, event.properties);
}

}  // namespace ports
