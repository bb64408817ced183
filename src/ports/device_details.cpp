#include "ports/device_details.h"

#include "ports/diagnosis.h"
#include "serial/net_address.h"
#include "serial/port_names.h"

namespace ports {
namespace {

// Pseudo-terminal slaves have majors 136 to 143.
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

bool IsPseudoTerminal(const std::string& real, const NodeFacts& node) {
  if (real.rfind("/dev/pts/", 0) == 0) return true;
  return node.charDevice && node.major >= kFirstPtyMajor && node.major <= kLastPtyMajor;
}

// The toolkit names a device without USB strings by its hex id; that says
// nothing the USB id line does not.
bool SaysMore(const std::string& text, int id) {
  if (text.empty()) return false;
  return id < 0 || text != UsbIdText(id, 0).substr(0, 4);
}

void AddLine(std::vector<std::string>& lines, const char* label, const std::string& value) {
  if (!value.empty()) lines.push_back(std::string(label) + Printable(value));
}

// A name that stands for a network address: which source, and what does not
// apply to it.
PortDescription DescribeNetworkSource(const std::string& name, const std::string& target) {
  PortDescription d;
  serial::NetAddress address;
  if (const std::string problem = serial::ParseNetAddress(target, address); !problem.empty()) {
    d.deviceLine = name + ": no device";
    d.details.push_back("Published address \"" + serial::QuotedText(target) + "\" is not usable: " + problem);
    return d;
  }
  d.deviceLine = name + " is a network source";
  d.details.push_back("Address: " + serial::FormatNetAddress(address));
  if (address.scheme == serial::NetScheme::Tcp) {
    d.details.push_back("Raw NMEA over TCP, as ser2net or socat serve it");
    d.details.push_back("The rate and line settings do not apply");
    return d;
  }
  d.details.push_back(address.device.empty() ? "Through gpsd: the lines of all its devices"
                                             : "Through gpsd: the lines of " + address.device);
  d.details.push_back("The rate and line settings do not apply");
  d.details.push_back("gpsd owns the device; commands cannot be sent through it");
  return d;
}

}  // namespace

void CompleteDetails(std::vector<DeviceDetails>& devices, DiagnosisFacts& facts) {
  const std::vector<ByIdLink> links = facts.SerialByIdLinks();
  for (DeviceDetails& details : devices) {
    std::string real = facts.RealPath(details.device);
    if (real.empty()) real = details.device;
    if (details.byId.empty()) {
      for (const ByIdLink& link : links) {
        if (!link.target.empty() && link.target == real) {
          details.byId = link.path;
          break;
        }
      }
    }
    if (details.driver.empty()) details.driver = facts.Tty(BaseName(real)).driver;
  }
}

PortDescription DescribePort(const PortChoice& choice, const std::vector<DeviceDetails>& devices,
                             DiagnosisFacts& facts) {
  PortDescription d;
  const std::string name = Printable(choice.name);
  if (choice.device.empty()) {
    d.deviceLine = name + ": no device";
    return d;
  }
  if (serial::IsAddressTarget(choice.device)) return DescribeNetworkSource(name, choice.device);
  const std::string real = facts.RealPath(choice.device);
  const NodeFacts node = facts.Node(choice.device);
  if (real.empty() || !node.exists) {
    d.deviceLine = name + ": no device";
    d.details.push_back((choice.linked ? "Published link to " : "Leads to ") + Printable(choice.device) +
                        ", which does not exist");
    return d;
  }
  d.deviceLine = name + " is " + Printable(real);
  if (choice.linked && IsPseudoTerminal(real, node)) {
    d.details.push_back("(published by gpsdesk-sim)");
    return d;
  }
  if (choice.linked) d.details.push_back("Published link to " + Printable(choice.device));

  const DeviceDetails* found = nullptr;
  for (const DeviceDetails& details : devices) {
    if (details.device == real || details.device == choice.device ||
        (!details.device.empty() && facts.RealPath(details.device) == real)) {
      found = &details;
      break;
    }
  }
  if (found == nullptr) {
    d.details.push_back("No further details known");
    return d;
  }
  AddLine(d.details, "Stable name: ", found->byId);
  if (SaysMore(found->manufacturer, found->vendorId)) AddLine(d.details, "Maker: ", found->manufacturer);
  if (SaysMore(found->product, found->productId)) AddLine(d.details, "Product: ", found->product);
  if (found->vendorId >= 0 && found->productId >= 0)
    d.details.push_back("USB id: " + UsbIdText(found->vendorId, found->productId));
  AddLine(d.details, "Serial number: ", found->serialNumber);
  AddLine(d.details, "Driver: ", found->driver);
  return d;
}

}  // namespace ports
