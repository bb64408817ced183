#pragma once
// Why a port did not open, in words, with the commands that fix it.
//
// An open that fails tells little: "no such device", "permission denied" or
// "busy". Diagnose() looks at the machine (through DiagnosisFacts) for the
// usual reasons behind each and explains the first that applies:
//
// - no such device: a receiver that came back under another number (known by
//   its /dev/serial/by-id name from its last good open), a published link
//   whose target has gone, a USB serial adapter that a braille display
//   daemon (brltty) took away from its driver, or simply nothing there; the
//   names that lead to a device now are listed;
// - permission: the device's group, whether the user is in it, and whether
//   only this login predates joining it;
// - busy: the program that holds it, or, when it cannot be seen,
//   ModemManager probing a modem-like device, or gpsd;
// - a network source that did not connect: what the connection or gpsd said,
//   and where the address is kept.
//
// Each check is a plain function of the attempt and the facts; nothing here
// touches the machine itself.

#include <optional>
#include <string>
#include <vector>

#include "ports/diagnosis_facts.h"
#include "ports/holders.h"

namespace ports {

enum class OpenFailure {
  NoDevice,  // the name leads nowhere, or the node is missing
  Refused,   // permission denied or busy
  Network,   // the name stands for a network source, which did not open
  Other,
};

// What a port name leads to now.
struct NamedDevice {
  std::string name;    // "COM1"
  std::string device;  // "/dev/ttyUSB0"

  friend bool operator==(const NamedDevice&, const NamedDevice&) = default;
};

// A device as it was at the last good open of a port name.
struct RememberedDevice {
  std::string byId;    // /dev/serial/by-id/usb-...
  std::string device;  // what that link led to then

  friend bool operator==(const RememberedDevice&, const RememberedDevice&) = default;
};

struct OpenAttempt {
  std::string portName;    // "COM3", or a path
  std::string devicePath;  // what the name led to; empty when it led nowhere
  bool linked = false;     // a published link decided the name
  OpenFailure failure = OpenFailure::Other;
  std::string failureText;       // the failure in the link's words, for Network and Other
  std::optional<Holder> holder;  // who refused it, when known
  std::optional<RememberedDevice> lastGood;
  std::vector<NamedDevice> available;  // the names that lead to a device now
  std::string linkFolder;              // where COM names are published; empty: none
};

enum class Cause {
  Unknown,
  NoDevice,
  Renumbered,
  LinkTargetGone,
  Brltty,
  NotInGroup,
  LoginPredatesGroup,
  NoAccess,  // in the group, or no group gives access
  HeldBy,
  ModemManager,
  Gpsd,
  HeldByUnseen,
  Network,
};

struct Diagnosis {
  Cause cause = Cause::Unknown;
  std::string summary;                   // one line
  std::vector<std::string> explanation;  // paragraphs
  std::vector<std::string> commands;     // to type in a terminal, one per line
};

Diagnosis Diagnose(const OpenAttempt& attempt, DiagnosisFacts& facts);

// The checks Diagnose runs, each for one cause; nothing when it does not
// apply.
std::optional<Diagnosis> CheckRenumbered(const OpenAttempt& attempt, DiagnosisFacts& facts);
std::optional<Diagnosis> CheckLinkTargetGone(const OpenAttempt& attempt, DiagnosisFacts& facts);
std::optional<Diagnosis> CheckBrltty(const OpenAttempt& attempt, DiagnosisFacts& facts);
Diagnosis NoDeviceDiagnosis(const OpenAttempt& attempt);
Diagnosis NetworkDiagnosis(const OpenAttempt& attempt);
std::optional<Diagnosis> CheckPermission(const OpenAttempt& attempt, DiagnosisFacts& facts);
std::optional<Diagnosis> CheckHolder(const OpenAttempt& attempt, DiagnosisFacts& facts);
std::optional<Diagnosis> CheckModemManager(const OpenAttempt& attempt, DiagnosisFacts& facts);
std::optional<Diagnosis> CheckGpsd(const OpenAttempt& attempt, DiagnosisFacts& facts);

// Whether ModemManager (1.20, its default strict filter) probes this tty:
// not when udev tells it to ignore the device or port; yes for the drivers
// of modem cards, for vendors whose modems it knows, and for a CDC-ACM
// interface with AT commands when the device has another port or a network
// interface.
bool ModemManagerProbes(const TtyFacts& tty);

// The summary, the explanation and the commands as one text for a message
// box.
std::string DiagnosisText(const Diagnosis& diagnosis);

// The /dev/serial/by-id name of `device` (links resolved), if it has one.
std::optional<RememberedDevice> StableNameOf(const std::string& device, DiagnosisFacts& facts);

// "1546:01a8".
std::string UsbIdText(int vendorId, int productId);

// Text from the machine (a command name, a USB string, a path) made fit for
// a line: control characters become '?'.
std::string Printable(std::string_view text);

}  // namespace ports
