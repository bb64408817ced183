#pragma once
// What a port name stands for, in the words the Setup COM Port dialog shows
// beside its list: the device, its stable /dev/serial/by-id name, maker,
// product, USB id, serial number and driver; "(published by gpsdesk-sim)"
// for the simulator's pseudo-terminal; "no device" for a free name; the
// address, and what does not apply to it, for a network source.
//
// The toolkit's port list fills DeviceDetails (maker, product, ids, serial
// number); CompleteDetails adds what it does not know from the system facts.

#include <string>
#include <vector>

#include "ports/diagnosis_facts.h"

namespace ports {

struct DeviceDetails {
  std::string device;  // "/dev/ttyUSB0"
  std::string byId;    // "/dev/serial/by-id/usb-...", empty when it has none
  std::string manufacturer, product, serialNumber, driver;
  int vendorId = -1;  // -1 when unknown
  int productId = -1;
};

// A port name and where it leads now.
struct PortChoice {
  std::string name;     // "COM1"
  std::string device;   // empty when it leads nowhere
  bool linked = false;  // decided by a published link
};

// The text for one port name: a line that names the device, then the
// details, one per line.
struct PortDescription {
  std::string deviceLine;
  std::vector<std::string> details;
};

// Fills the by-id name and the driver of every entry from `facts`.
void CompleteDetails(std::vector<DeviceDetails>& devices, DiagnosisFacts& facts);

// Describes `choice` from the known devices. A published link whose target
// is a pseudo-terminal is the simulator's; a published link to a real device
// shows that device's details.
PortDescription DescribePort(const PortChoice& choice, const std::vector<DeviceDetails>& devices,
                             DiagnosisFacts& facts);

}  // namespace ports
