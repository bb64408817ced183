#pragma once
// What the windows say about a port name that stands for a network source
// (serial/net_address.h): the source label's tooltip, the reason the command
// buttons are disabled for a gpsd source, and the Setup COM Port dialog's
// note after an address was typed for a name.

#include <string>
#include <string_view>

#include "serial/port_names.h"

namespace app {

// On the command buttons while a gpsd source is open.
inline constexpr char kGpsdSendBlocked[] = "gpsd owns the device; commands cannot be sent through it";

// The tooltip of the source label for `portName`: empty for a device; for a
// network source which one it is and that the rate and line settings do not
// apply; for a published address that is not valid, what is wrong with it.
std::string SourceLabelTip(std::string_view portName, const serial::PortLocations& where);

// What comes of typing `typed` (blanks around it ignored) for `comName` in
// the Setup COM Port dialog: the address is published (or, when the field is
// empty, a published address removed), and `note` says so, or why not.
// `changed`: the name now leads elsewhere.
struct AddressUse {
  bool changed = false;
  std::string note;
};
AddressUse UseTypedAddress(std::string_view comName, std::string_view typed,
                           const serial::PortLocations& where);

}  // namespace app
