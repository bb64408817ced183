#pragma once
// USB ids the port checks know by name.
//
// Receivers: devices that are nothing but a GNSS receiver, the ones the udev
// rule packaging/udev/60-gpsdesk.rules hands to the desktop user (the rule
// file says where each id comes from; a test keeps the two lists equal).
//
// Bridges: the generic USB-serial chips that braille display daemons claim
// for themselves. They are deliberately not receivers: a console cable, a
// development board or a braille display use the very same ids.

#include <array>
#include <optional>
#include <string_view>

namespace ports {

struct UsbIdRange {
  int vendorId;
  int firstProductId, lastProductId;
  std::string_view name;

  bool Matches(int vendor, int product) const {
    return vendor == vendorId && product >= firstProductId && product <= lastProductId;
  }
};

inline constexpr std::array kReceiverUsbIds{
    UsbIdRange{0x1546, 0x01a4, 0x01a9, "u-blox GNSS receiver"},
    UsbIdRange{0x0e8d, 0x3329, 0x3329, "MediaTek GPS receiver"},
    UsbIdRange{0x067b, 0xaaa0, 0xaaa0, "Prolific PS-360 OEM GPS receiver"},
    UsbIdRange{0x1163, 0x0100, 0x0100, "DeLorme Earthmate"},
    UsbIdRange{0x1163, 0x0200, 0x0200, "DeLorme Earthmate"},
};

inline constexpr std::array kBrailleClaimedBridgeIds{
    UsbIdRange{0x0403, 0x6001, 0x6001, "FTDI FT232 USB serial adapter"},
    UsbIdRange{0x10c4, 0xea60, 0xea60, "Silicon Labs CP210x USB serial adapter"},
    UsbIdRange{0x1a86, 0x7523, 0x7523, "QinHeng CH340 USB serial adapter"},
};

template <typename Table>
std::optional<UsbIdRange> FindUsbId(const Table& table, int vendor, int product) {
  for (const UsbIdRange& range : table) {
    if (range.Matches(vendor, product)) return range;
  }
  return std::nullopt;
}

}  // namespace ports
