#pragma once
// Where a port name leads. The tool names its ports "COM1" to "COM15"; on
// Linux each name is mapped to a tty device here, and only here:
//
// 1. A per-user folder of published links takes precedence. An entry named
//    after the port ("COM3"), normally a symbolic link to a device, makes that
//    name open the link's target. The receiver simulator publishes its
//    pseudo-terminal this way, and a user can link any device the same way.
//    An entry that is a regular file (not a link) holds a network address
//    instead, one line of at most 1 KiB: "tcp://HOST:PORT" or
//    "gpsd://HOST[:PORT][/DEVICE]" (net_address.h); the name then stands for
//    that network source.
//    The folder is $XDG_RUNTIME_DIR/gpsdesk/ports, or, when XDG_RUNTIME_DIR is
//    unset or not absolute, $HOME/.local/state/gpsdesk/ports; with neither
//    variable there is no folder and nothing is published.
// 2. The names without a link are given, in ascending order, to the machine's
//    serial devices in a stable order: /dev/ttyUSB*, /dev/ttyACM*,
//    /dev/rfcomm*, then the /dev/ttyS* UARTs that really exist (sysfs reports
//    a port type other than unknown). Numbers sort naturally (ttyUSB2 before
//    ttyUSB10). A device that a published link already points at is skipped,
//    so it never appears under two names.
//
// An absolute path names a device directly, and an address (text that
// starts with tcp:// or gpsd://) a network source. Any other name, and a port
// name that maps to nothing, resolves to ERROR_FILE_NOT_FOUND (2); an address
// that is not valid, typed or published, to ERROR_INVALID_NAME (123).
//
// What a name leads to (PortMapping::device, ResolvePortName's `device`) is
// an absolute device path, or else an address: the canonical form of a valid
// one, or the published text of one that is not valid (IsAddressTarget).

#include <string>
#include <string_view>
#include <vector>

#include "serial/serial_status.h"

namespace serial {

inline constexpr int kComPortCount = 15;  // the names the tool offers
inline constexpr int kMaxComNumber = 255;

// Where the mapping looks; tests point it at folders of their own.
struct PortLocations {
  std::string linkFolder;  // empty: no published links
  std::string devFolder = "/dev";
  std::string ttyClassFolder = "/sys/class/tty";
};

// The per-user link folder from the environment, as described above.
std::string DefaultLinkFolder();
PortLocations DefaultPortLocations();

// 7 for "COM7" (any case of "com"), 0 for anything that is not COM1..COM255
// written without leading zeros.
int ComNumberOf(std::string_view name);
// "COM7" for 7.
std::string ComNameOf(int number);

// The machine's serial devices in the stable order above, as full paths.
std::vector<std::string> SystemSerialDevices(const PortLocations& where);

// Whether what a name leads to is an address rather than a device path.
bool IsAddressTarget(std::string_view target);
// Why the address `target` cannot be used; empty when it can.
std::string AddressProblem(std::string_view target);

struct PortMapping {
  std::string name;     // "COM1"
  std::string device;   // full path, empty when the name maps to nothing
  bool linked = false;  // true when a published link decides it
};

// The mapping of COM1 to COM<count>, for showing which device a name opens.
std::vector<PortMapping> ListPortMappings(const PortLocations& where, int count = kComPortCount);

// Sets `device` to the path or address that `name` opens. Returns 0,
// ERROR_FILE_NOT_FOUND when the name maps to nothing, or ERROR_INVALID_NAME
// for an address that is not valid (`device` then holds its text).
Status ResolvePortName(std::string_view name, std::string& device, const PortLocations& where);
Status ResolvePortName(std::string_view name, std::string& device);

// Publishes `device` (an absolute path) under a COM name in the link folder,
// creating the folder (mode 0700) when needed and replacing an earlier link
// of that name in one step. ERROR_INVALID_PARAMETER for a name that is not a
// COM name, a device path that is not absolute, or no link folder.
Status PublishPortLink(const PortLocations& where, std::string_view comName, std::string_view device);
// Publishes a network address under a COM name: a regular file holding the
// address's canonical form, replacing an earlier entry of that name in one
// step. ERROR_INVALID_PARAMETER for a name that is not a COM name or no link
// folder, ERROR_INVALID_NAME for an address that is not valid.
Status PublishPortAddress(const PortLocations& where, std::string_view comName, std::string_view address);
// Removes the published entry of a COM name, a link or an address;
// ERROR_FILE_NOT_FOUND if none.
Status UnpublishPortLink(const PortLocations& where, std::string_view comName);

// The address a COM name's published entry holds (valid or not), without
// looking at any other entry or device; empty when the entry is not an
// address or there is none.
std::string PublishedAddress(const PortLocations& where, std::string_view comName);

}  // namespace serial
