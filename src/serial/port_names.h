#pragma once
// Where a port name leads. The tool names its ports "COM1" to "COM15"; on
// Linux each name is mapped to a tty device here, and only here:
//
// 1. A per-user folder of published links takes precedence. An entry named
//    after the port ("COM3"), normally a symbolic link to a device, makes that
//    name open the link's target. The receiver simulator publishes its
//    pseudo-terminal this way, and a user can link any device the same way.
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
// An absolute path names a device directly. Any other name, and a port name
// that maps to nothing, resolves to ERROR_FILE_NOT_FOUND (2).

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

struct PortMapping {
  std::string name;     // "COM1"
  std::string device;   // full path, empty when the name maps to nothing
  bool linked = false;  // true when a published link decides it
};

// The mapping of COM1 to COM<count>, for showing which device a name opens.
std::vector<PortMapping> ListPortMappings(const PortLocations& where, int count = kComPortCount);

// Sets `device` to the path that `name` opens. Returns 0, or
// ERROR_FILE_NOT_FOUND when the name maps to nothing.
Status ResolvePortName(std::string_view name, std::string& device, const PortLocations& where);
Status ResolvePortName(std::string_view name, std::string& device);

// Publishes `device` (an absolute path) under a COM name in the link folder,
// creating the folder (mode 0700) when needed and replacing an earlier link
// of that name in one step. ERROR_INVALID_PARAMETER for a name that is not a
// COM name, a device path that is not absolute, or no link folder.
Status PublishPortLink(const PortLocations& where, std::string_view comName, std::string_view device);
// Removes the published entry of a COM name; ERROR_FILE_NOT_FOUND if none.
Status UnpublishPortLink(const PortLocations& where, std::string_view comName);

}  // namespace serial
