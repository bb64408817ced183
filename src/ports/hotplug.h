#pragma once
// Recognising a USB serial device when it is plugged in again. The device
// node's number is no guide (a receiver that left /dev/ttyUSB0 may come back
// as /dev/ttyUSB1, and another adapter may take ttyUSB0), so a device is
// known by what udev says about it:
//
// - with a serial number (ID_SERIAL_SHORT): ID_SERIAL and the USB interface
//   number, which is what its /dev/serial/by-id name is made of; where both
//   sides show a by-id name, those must agree too (it tells the ports of one
//   interface apart);
// - without one (many CH340 and PL2303 cables): the physical USB socket
//   (ID_PATH) with vendor and product id and the interface number; the same
//   cable in another socket looks like another device, and another cable of
//   the same make in the same socket like this one.
//
// Plain functions on the properties udev gives; the monitor that receives the
// events lives with the window.

#include <map>
#include <optional>
#include <string>

namespace ports {

using UdevProperties = std::map<std::string, std::string>;

// What identifies a USB serial device across unplugging.
struct UsbIdentity {
  std::string serial;  // ID_SERIAL: "<vendor>_<model>[_<serial number>]"
  bool hasSerialNumber = false;
  std::string interfaceNumber;  // ID_USB_INTERFACE_NUM: "00"
  std::string physicalPath;     // ID_PATH: "pci-0000:00:14.0-usb-0:2:1.0"
  std::string vendorId;         // ID_VENDOR_ID: "1546"
  std::string productId;        // ID_MODEL_ID: "01a8"
  std::string byId;             // its /dev/serial/by-id name; empty when not known

  friend bool operator==(const UsbIdentity&, const UsbIdentity&) = default;
};

// The identity of a tty from its udev properties; nothing for a device udev
// does not know as a USB device.
std::optional<UsbIdentity> UsbIdentityOf(const UdevProperties& properties);

// Whether the device with `properties` is the one `known` identifies.
bool SameUsbDevice(const UsbIdentity& known, const UdevProperties& properties);

// A udev event of the tty subsystem as the monitor passes it on.
struct UdevEvent {
  std::string action;   // "add", "remove", "change"...
  std::string devNode;  // "/dev/ttyUSB1"
  UdevProperties properties;
};

// Whether `event` announces `lost` plugged in again.
bool IsReturnOf(const UsbIdentity& lost, const UdevEvent& event);

// The /dev/serial/by-id name among the space-separated links of DEVLINKS;
// empty when there is none.
std::string ByIdLinkOf(const UdevProperties& properties);

}  // namespace ports
