#include "ports/diagnosis.h"

#include <algorithm>
#include <cstdio>

#include "ports/usb_ids.h"
#include "serial/port_names.h"

namespace ports {
namespace {

// How many of the names that lead to a device the one-line summary lists.
constexpr std::size_t kSummaryNames = 3;

bool Contains(const std::vector<std::string>& list, std::string_view item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "COM" (any case) and a number: a name that can be published as a link.
bool IsComName(std::string_view name) {
  if (name.size() < 4 || name.size() > 6) return false;
  for (int i = 0; i < 3; ++i) {
    if ((name[static_cast<std::size_t>(i)] & ~0x20) != "COM"[i]) return false;
  }
  return name.substr(3).find_first_not_of("0123456789") == std::string_view::npos;
}

// A word as a shell takes it: left alone when it is made of harmless
// characters, else in single quotes.
std::string Quoted(std::string_view word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("_-./:=@%+,").find(c) != std::string_view::npos;
  });
  if (plain) return std::string(word);
  std::string quoted = "'";
  for (const char c : Printable(word)) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// "COM3 (/dev/ttyUSB0)", or the path alone when the name is the path.
std::string Where(const OpenAttempt& attempt) {
  const std::string name = Printable(attempt.portName);
  if (attempt.devicePath.empty() || attempt.devicePath == attempt.portName) return name;
  return name + " (" + Printable(attempt.devicePath) + ")";
}

std::string LinkPath(const OpenAttempt& attempt) {
  if (attempt.linkFolder.empty()) return {};
  return attempt.linkFolder + "/" + attempt.portName;
}

// The permission bits as ls -l shows them: "crw-rw----+".
std::string ModeText(const NodeFacts& node) {
  std::string text = node.charDevice ? "c" : "-";
  for (const int shift : {6, 3, 0}) {
    const unsigned bits = (node.mode >> shift) & 7u;
    text += (bits & 4u) ? 'r' : '-';
    text += (bits & 2u) ? 'w' : '-';
    text += (bits & 1u) ? 'x' : '-';
  }
  if (node.hasAcl) text += '+';
  return text;
}

std::string UserWord(const std::string& user) { return user.empty() ? "\"$USER\"" : Quoted(user); }

// The COM name that leads to `device` now, if any; links resolved on both
// sides.
std::string NameOf(const std::string& device, const OpenAttempt& attempt, DiagnosisFacts& facts) {
  for (const NamedDevice& named : attempt.available) {
    if (named.device == device || facts.RealPath(named.device) == device) return named.name;
  }
  return {};
}

// Why ModemManager probes `tty`; empty when it does not.
std::string ModemManagerReason(const TtyFacts& tty) {
  if (!tty.usb) return {};
  const auto set = [&](const char* key) {
    const auto it = tty.udev.find(key);
    return it != tty.udev.end() && it->second == "1";
  };
  if (set("ID_MM_DEVICE_IGNORE") || set("ID_MM_PORT_IGNORE")) return {};
  const UsbDeviceFacts& usb = tty.usbDevice;
  // ModemManager's own rules leave these u-blox receivers alone.
  if (usb.vendorId == 0x1546 && usb.productId >= 0x01a5 && usb.productId <= 0x01a9) return {};
  for (const char* driver : {"option", "option1", "qcserial", "qcaux", "nozomi", "sierra"}) {
    if (tty.driver == driver) return "its driver " + tty.driver + " serves modem cards";
  }
  struct Vendor {
    int id;
    const char* name;
  };
  for (const Vendor vendor :
       {Vendor{0x1546, "u-blox"}, Vendor{0x1199, "Sierra Wireless"}, Vendor{0x12d1, "Huawei"}}) {
    if (usb.vendorId == vendor.id)
      return "it comes from " + std::string(vendor.name) + ", a maker of modems ModemManager knows";
  }
  const bool atCommands = tty.interfaceClass == 2 && tty.interfaceSubClass == 2 &&
                          tty.interfaceProtocol >= 1 && tty.interfaceProtocol <= 6;
  if (tty.driver == "cdc_acm" && atCommands && (usb.ttys.size() > 1 || usb.netInterfaces > 0))
    return "it is a CDC-ACM modem interface of a device with further ports";
  return {};
}

TtyFacts TtyOf(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  std::string real = facts.RealPath(attempt.devicePath);
  if (real.empty()) real = attempt.devicePath;
  return facts.Tty(BaseName(real));
}

Diagnosis ModemManagerDiagnosis(const OpenAttempt& attempt, const TtyFacts& tty, const std::string& reason,
                                bool seen) {
  Diagnosis d;
  d.cause = Cause::ModemManager;
  const std::string where = Where(attempt);
  d.summary = seen ? where + " is held by ModemManager, which probes it as a modem"
                   : "ModemManager is probably probing " + where + " as a modem";
  std::string why = reason.empty() ? std::string() : " (" + reason + ")";
  d.explanation.push_back("ModemManager runs here and takes " + Printable(attempt.devicePath) +
                          " for a possible modem" + why +
                          ". For up to half a minute after the device appears it holds it and sends AT "
                          "commands to it; an open in "
                          "that time is refused, and the commands can upset a receiver.");
  d.explanation.push_back(
      "Try again in a few seconds. For good, tell ModemManager to leave the device alone with a udev rule, "
      "reload the rules and plug the device in again; or, without a mobile-broadband modem, stop "
      "ModemManager:");
  if (tty.usb && tty.usbDevice.vendorId >= 0 && tty.usbDevice.productId >= 0) {
    char rule[160];
    std::snprintf(rule, sizeof rule,
                  "ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"",
                  static_cast<unsigned>(tty.usbDevice.vendorId),
                  static_cast<unsigned>(tty.usbDevice.productId));
    d.commands.push_back("echo '" + std::string(rule) +
                         "' | sudo tee /etc/udev/rules.d/61-gpsdesk-local.rules");
    d.commands.push_back("sudo udevadm control --reload");
  }
  d.commands.push_back("sudo systemctl disable --now ModemManager");
  return d;
}

Diagnosis GpsdDiagnosis(const OpenAttempt& attempt, bool seen) {
  Diagnosis d;
  d.cause = Cause::Gpsd;
  const std::string where = Where(attempt);
  d.summary = seen ? where + " is held by gpsd" : "gpsd is running and probably holds " + where;
  d.explanation.push_back(
      "gpsd, the GPS daemon, runs here. Its udev rule hands it many USB receivers when they are plugged in, "
      "and "
      "it opens them, for itself alone, whenever one of its clients runs.");
  d.explanation.push_back(
      "Stop it while gpsdesk uses the receiver; to keep it from taking receivers when they are plugged in, "
      "set "
      "USBAUTO=\"false\" in /etc/default/gpsd:");
  d.commands.push_back("sudo systemctl stop gpsd.socket gpsd.service");
  d.commands.push_back("sudo sed -i 's/^USBAUTO=.*/USBAUTO=\"false\"/' /etc/default/gpsd");
  return d;
}

Diagnosis HeldByUnseenDiagnosis(const OpenAttempt& attempt) {
  Diagnosis d;
  d.cause = Cause::HeldByUnseen;
  d.summary = Where(attempt) + " is in use by another program";
  d.explanation.push_back(
      "The device refused a second user, but the program that holds it cannot be seen from here: it runs as "
      "another user or as a system service. As root, fuser names it:");
  d.commands.push_back("sudo fuser -v " + Quoted(attempt.devicePath));
  return d;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    line += (u < 0x20 || u == 0x7f) ? '?' : c;
  }
  return line;
}

std::string UsbIdText(int vendorId, int productId) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", static_cast<unsigned>(vendorId & 0xffff),
                static_cast<unsigned>(productId & 0xffff));
  return text;
}

std::optional<RememberedDevice> StableNameOf(const std::string& device, DiagnosisFacts& facts) {
  const std::string real = facts.RealPath(device);
  if (real.empty()) return std::nullopt;
  for (const ByIdLink& link : facts.SerialByIdLinks()) {
    if (link.target == real) return RememberedDevice{link.path, real};
  }
  return std::nullopt;
}

bool ModemManagerProbes(const TtyFacts& tty) { return !ModemManagerReason(tty).empty(); }

std::optional<Diagnosis> CheckRenumbered(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  if (!attempt.lastGood || attempt.lastGood->byId.empty()) return std::nullopt;
  const RememberedDevice& last = *attempt.lastGood;
  const std::string now = facts.RealPath(last.byId);
  if (now.empty()) return std::nullopt;  // the receiver is not there
  if (!attempt.devicePath.empty() && facts.RealPath(attempt.devicePath) == now) return std::nullopt;
  const std::string name = NameOf(now, attempt, facts);
  const std::string byId = Printable(last.byId);

  Diagnosis d;
  d.cause = Cause::Renumbered;
  d.summary =
      "The receiver is now " + Printable(now) + (name.empty() ? "" : " (" + name + ")") + ", same " + byId;
  d.explanation.push_back(Printable(attempt.portName) + " last opened " + Printable(last.device) +
                          ", known as " + byId + ". The receiver has come back as " + Printable(now) +
                          (name.empty() ? "" : ", which is " + name + " now") +
                          ": a USB serial device gets the next free number when it is plugged in again.");
  if (IsComName(attempt.portName) && !attempt.linkFolder.empty()) {
    const std::string link = "the stable name as " + Printable(attempt.portName) +
                             ", so that the name follows the receiver whatever number it gets:";
    d.explanation.push_back(name.empty() ? "Link " + link
                                         : "Choose " + name + " in Setup COM Port, or link " + link);
    d.commands.push_back("mkdir -p " + Quoted(attempt.linkFolder));
    d.commands.push_back("ln -sfn " + Quoted(last.byId) + " " + Quoted(LinkPath(attempt)));
  } else {
    d.explanation.push_back("Open " + byId + " instead: that name follows the receiver.");
  }
  return d;
}

std::optional<Diagnosis> CheckLinkTargetGone(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  if (!attempt.linked || attempt.devicePath.empty() || facts.Node(attempt.devicePath).exists)
    return std::nullopt;
  const std::string target = Printable(attempt.devicePath);
  const std::string link = Printable(LinkPath(attempt));
  Diagnosis d;
  d.cause = Cause::LinkTargetGone;
  d.summary = Printable(attempt.portName) + " is a published link to " + target + ", which is gone";
  if (StartsWith(attempt.devicePath, "/dev/pts/")) {
    d.explanation.push_back(
        "The link " + link + " leads to the pseudo-terminal " + target +
        ", which no longer exists: the program that published it (gpsdesk-sim, or a socat) "
        "has ended without removing it.");
    d.explanation.push_back(
        "Start the simulator again, or remove the link so that the name goes back to the machine's devices:");
  } else {
    d.explanation.push_back("The link " + link + " leads to " + target +
                            ", which does not exist now: the device is unplugged or has another name.");
    d.explanation.push_back(
        "Plug it in, point the link at the device's /dev/serial/by-id name, or remove the link so that the "
        "name "
        "goes back to the machine's devices:");
  }
  if (!attempt.linkFolder.empty()) d.commands.push_back("rm " + Quoted(LinkPath(attempt)));
  return d;
}

std::optional<Diagnosis> CheckBrltty(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  std::optional<UsbDeviceFacts> claimed;
  std::optional<UsbIdRange> kind;
  for (const UsbDeviceFacts& usb : facts.UsbDevices()) {
    if (!usb.ttys.empty()) continue;
    kind = FindUsbId(kBrailleClaimedBridgeIds, usb.vendorId, usb.productId);
    if (kind) {
      claimed = usb;
      break;
    }
  }
  if (!claimed) return std::nullopt;
  const bool running = Contains(facts.ProcessNames(), "brltty");
  std::vector<RuleFileFacts> rules;
  for (RuleFileFacts& rule : facts.RuleFiles("brltty")) {
    if (!rule.masked) rules.push_back(std::move(rule));
  }
  if (!running && rules.empty()) return std::nullopt;

  const std::string id = UsbIdText(claimed->vendorId, claimed->productId);
  Diagnosis d;
  d.cause = Cause::Brltty;
  d.summary = "The " + std::string(kind->name) + " (" + id + ") has no serial device: brltty claims it";
  std::string product = Printable(claimed->product);
  d.explanation.push_back("A " + std::string(kind->name) + " (" + id +
                          (product.empty() ? "" : ", \"" + product + "\"") +
                          ") is plugged in but has no serial device, so " + Printable(attempt.portName) +
                          " cannot reach it. brltty, the braille display daemon, claims adapters with this "
                          "id, because some braille "
                          "displays are built on the same chip: the serial driver lets go of the adapter a "
                          "moment after it appears, "
                          "and its device node vanishes.");
  std::string evidence = running ? "brltty is running" : "";
  for (const RuleFileFacts& rule : rules)
    evidence += (evidence.empty() ? "brltty's udev rule " : "; its udev rule ") + Printable(rule.path) +
                " is in effect";
  d.explanation.push_back(evidence + ".");
  d.explanation.push_back(
      "Without a braille display, remove brltty. With one, mask its udev rules by name instead. Then plug "
      "the "
      "adapter in again:");
  d.commands.push_back("sudo apt remove brltty");
  for (const RuleFileFacts& rule : rules)
    d.commands.push_back("sudo ln -s /dev/null " + Quoted("/etc/udev/rules.d/" + rule.name));
  if (!rules.empty()) d.commands.push_back("sudo udevadm control --reload");
  return d;
}

Diagnosis NoDeviceDiagnosis(const OpenAttempt& attempt) {
  Diagnosis d;
  d.cause = Cause::NoDevice;
  const std::string name = Printable(attempt.portName);
  std::string list;
  for (std::size_t i = 0; i < attempt.available.size() && i < kSummaryNames; ++i)
    list += (i == 0 ? "" : ", ") + attempt.available[i].name + " " + Printable(attempt.available[i].device);
  if (attempt.available.size() > kSummaryNames) list += ", ...";
  d.summary = attempt.devicePath.empty() ? name + " leads to no device"
                                         : Printable(attempt.devicePath) + " does not exist";
  d.summary += attempt.available.empty() ? "; no serial device is connected" : "; devices now: " + list;

  if (attempt.devicePath.empty() && IsComName(attempt.portName)) {
    d.explanation.push_back(name +
                            " is not connected to a device: the names without a published link go to the "
                            "machine's serial devices in turn, and there are fewer of those.");
  } else {
    d.explanation.push_back(Printable(attempt.devicePath.empty() ? attempt.portName : attempt.devicePath) +
                            " does not exist: the device is not plugged in, or has another name now.");
  }
  if (attempt.available.empty()) {
    d.explanation.push_back(
        "No serial device is connected now. Check the cable and the receiver's power; the kernel log tells "
        "what "
        "happened when it was plugged in:");
    d.commands.push_back("sudo dmesg | tail -n 20");
  } else {
    std::string names = "The names that lead to a device now:";
    for (const NamedDevice& named : attempt.available)
      names += "\n" + named.name + ": " + Printable(named.device);
    d.explanation.push_back(names);
    d.explanation.push_back("The stable names of the USB serial devices, and what they lead to:");
    d.commands.push_back("ls -l /dev/serial/by-id/");
  }
  return d;
}

std::optional<Diagnosis> CheckPermission(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  const NodeFacts node = facts.Node(attempt.devicePath);
  if (!node.exists || node.usable) return std::nullopt;
  const std::string device = Printable(attempt.devicePath);
  const std::string user = facts.UserName();
  const std::string group = node.groupName.empty() ? std::to_string(node.groupId) : node.groupName;
  const std::string shownUser = user.empty() ? "this user" : Printable(user);
  const std::string mode = ModeText(node);
  const std::vector<unsigned> processGroups = facts.ProcessGroups();
  const std::vector<unsigned> databaseGroups = facts.DatabaseGroups(user);
  const auto has = [&](const std::vector<unsigned>& groups) {
    return std::find(groups.begin(), groups.end(), node.groupId) != groups.end();
  };
  // Joining the group helps only when the group may read and write, and
  // nobody should join root's group for a serial port.
  const bool groupGrants = (node.mode & 060u) == 060u && node.groupId != 0;

  Diagnosis d;
  if (groupGrants && !has(processGroups) && has(databaseGroups)) {
    d.cause = Cause::LoginPredatesGroup;
    d.summary = "Permission denied: " + shownUser + " is in group " + Printable(group) +
                ", but this login began before joining it";
    d.explanation.push_back(
        device + " is " + mode + ", group " + Printable(group) + ". The group database lists " + shownUser +
        " in " + Printable(group) +
        ", but gpsdesk runs with the groups of a login that began before that: groups are "
        "fixed when a session starts (id -nG shows this login's groups, id -nG " +
        UserWord(user) + " the database's).");
    d.explanation.push_back(
        "Log out of every session and log in again; the desktop's user manager can outlive a single logout, "
        "so "
        "restart if that is not enough. To start gpsdesk with the group at once:");
    d.commands.push_back("sg " + Quoted(group) + " -c gpsdesk");
  } else if (groupGrants && !has(processGroups)) {
    d.cause = Cause::NotInGroup;
    d.summary = "Permission denied: " + device + " belongs to group " + Printable(group) + ", and " +
                shownUser + " is not in it";
    d.explanation.push_back(device + " is " + mode + ", group " + Printable(group) + ": only members of " +
                            Printable(group) + " may open it.");
    d.explanation.push_back(
        "Add " + shownUser +
        " to the group, then log out of every session and log in again (or restart): groups are fixed when a "
        "session starts.");
    d.commands.push_back("sudo usermod -aG " + Quoted(group) + " " + UserWord(user));
  } else {
    d.cause = Cause::NoAccess;
    d.summary = "Permission denied: " + device + " is " + mode + ", group " + Printable(group);
    if (groupGrants) {
      d.explanation.push_back(device + " is " + mode + ", group " + Printable(group) + ", and " + shownUser +
                              " is in that group, yet may not open it: an access control list or a security "
                              "module refuses it.");
      d.commands.push_back("getfacl " + Quoted(attempt.devicePath));
    } else {
      d.explanation.push_back(
          device + " is " + mode + ", group " + Printable(group) +
          ": no group of users may read and write it, so joining a group does not help. A "
          "udev rule sets a device's group and mode; this shows what udev knows of it:");
      d.commands.push_back("udevadm info -q property -n " + Quoted(attempt.devicePath));
    }
  }
  // A receiver that gpsdesk's own udev rule covers opens without the group
  // in a desktop session once the rule has seen it.
  const TtyFacts tty = TtyOf(attempt, facts);
  bool ruleInstalled = false;
  for (const RuleFileFacts& rule : facts.RuleFiles("gpsdesk")) ruleInstalled |= !rule.masked;
  if (tty.usb && !node.hasAcl && ruleInstalled &&
      FindUsbId(kReceiverUsbIds, tty.usbDevice.vendorId, tty.usbDevice.productId)) {
    d.explanation.push_back(
        "gpsdesk's udev rule gives the user of a local desktop session access to this receiver without any "
        "group, but the device has no such access yet: it was plugged in before the rule was installed, or "
        "this "
        "is not a local desktop session. Plug it in again, or apply the rules to it now:");
    d.commands.push_back("sudo udevadm trigger --action=change --subsystem-match=tty");
  }
  return d;
}

std::optional<Diagnosis> CheckHolder(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  if (!attempt.holder) return std::nullopt;
  const Holder& holder = *attempt.holder;
  if (holder.name == "ModemManager") {
    const TtyFacts tty = TtyOf(attempt, facts);
    return ModemManagerDiagnosis(attempt, tty, ModemManagerReason(tty), true);
  }
  if (holder.name == "gpsd") return GpsdDiagnosis(attempt, true);
  Diagnosis d;
  d.cause = Cause::HeldBy;
  d.summary = Where(attempt) + " is " + DescribeHolder(holder);
  d.explanation.push_back(
      std::string(holder.via == HeldVia::LockFile ? "Another program holds the port's lock file"
                                                  : "Another program has the device open") +
      ". Two programs reading one port split the receiver's data between them, so gpsdesk does not open it a "
      "second time. Close the port in that program, or end it:");
  d.commands.push_back("kill " + std::to_string(holder.pid));
  return d;
}

std::optional<Diagnosis> CheckModemManager(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  // The device first: the bus is asked only about a device it would probe.
  const TtyFacts tty = TtyOf(attempt, facts);
  const std::string reason = ModemManagerReason(tty);
  if (reason.empty()) return std::nullopt;
  if (!Contains(facts.ProcessNames(), "ModemManager") &&
      !facts.BusNameHasOwner("org.freedesktop.ModemManager1"))
    return std::nullopt;
  return ModemManagerDiagnosis(attempt, tty, reason, false);
}

std::optional<Diagnosis> CheckGpsd(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  if (!Contains(facts.ProcessNames(), "gpsd")) return std::nullopt;
  return GpsdDiagnosis(attempt, false);
}

Diagnosis NetworkDiagnosis(const OpenAttempt& attempt) {
  Diagnosis d;
  d.cause = Cause::Network;
  const std::string name = Printable(attempt.portName);
  const std::string address = Printable(attempt.devicePath.empty() ? attempt.portName : attempt.devicePath);
  d.summary = Printable(attempt.failureText);
  std::string where = name == address ? address : name + " stands for the network source " + address;
  if (attempt.linked && !LinkPath(attempt).empty())
    where += " (kept in " + Printable(LinkPath(attempt)) + ")";
  d.explanation.push_back(where + ". Opening it failed: " + d.summary + ".");
  const bool gpsd = address.rfind("gpsd://", 0) == 0;
  if (!serial::AddressProblem(attempt.devicePath.empty() ? attempt.portName : attempt.devicePath).empty()) {
    d.explanation.push_back(
        "An address is one line: tcp://HOST:PORT for a raw NMEA stream (ser2net, socat), or "
        "gpsd://HOST[:PORT][/DEVICE] for gpsd. Type it for the name in Setup COM Port.");
  } else if (gpsd) {
    d.explanation.push_back(
        "Check that gpsd runs and listens there (it listens on this machine only unless started with -G) "
        "and, when the address names a device, that gpsd has that device. This shows what gpsd has:");
    d.commands.push_back("gpspipe -w -n 4");
  } else {
    d.explanation.push_back(
        "Check that the server (ser2net, socat or another) runs, serves that port and lets this machine in, "
        "and that the address is right; Setup COM Port changes it.");
  }
  return d;
}

Diagnosis Diagnose(const OpenAttempt& attempt, DiagnosisFacts& facts) {
  OpenFailure failure = attempt.failure;
  if (failure == OpenFailure::Network) return NetworkDiagnosis(attempt);
  // A node that vanished between finding the name and opening it.
  if (failure == OpenFailure::Refused && !attempt.devicePath.empty() &&
      !facts.Node(attempt.devicePath).exists)
    failure = OpenFailure::NoDevice;
  if (failure == OpenFailure::NoDevice) {
    if (auto d = CheckRenumbered(attempt, facts)) return *d;
    if (auto d = CheckLinkTargetGone(attempt, facts)) return *d;
    if (auto d = CheckBrltty(attempt, facts)) return *d;
    return NoDeviceDiagnosis(attempt);
  }
  if (failure == OpenFailure::Refused) {
    if (auto d = CheckPermission(attempt, facts)) return *d;
    if (auto d = CheckHolder(attempt, facts)) return *d;
    if (auto d = CheckModemManager(attempt, facts)) return *d;
    if (auto d = CheckGpsd(attempt, facts)) return *d;
    return HeldByUnseenDiagnosis(attempt);
  }
  Diagnosis d;
  d.summary = Printable(attempt.failureText);
  d.explanation.push_back("Opening " + Where(attempt) + " failed: " + Printable(attempt.failureText) + ".");
  return d;
}

std::string DiagnosisText(const Diagnosis& diagnosis) {
  std::string text = diagnosis.summary;
  for (const std::string& paragraph : diagnosis.explanation) text += "\n\n" + paragraph;
  if (!diagnosis.commands.empty()) text += "\n";
  for (const std::string& command : diagnosis.commands) text += "\n    " + command;
  return text;
}

}  // namespace ports
