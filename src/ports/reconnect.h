#pragma once
// Following the plug: telling that the open port's device went away, and
// waiting for the same device to come back so that it can be opened again.
//
// A device that goes away hangs its port up: the port's notification comes
// with EV_ERR, the watcher ends, nothing arrives any more (a network source
// behaves the same, its reads failing). SourceLost decides that from the
// notification and the link's health.
//
// While waiting, each check (every second, and whenever udev announces a
// tty) asks whether the device is back and under which port name:
//
// - a USB device udev knew at the last open: the device of the same identity
//   (hotplug.h), whatever it is numbered now, under the name that leads to it
//   now, the old name first;
// - a name a published link decides (the receiver simulator's
//   pseudo-terminal): the link's target once it exists, and for a
//   pseudo-terminal only once the link has been published anew, since the
//   number of a closed pseudo-terminal soon goes to some other program's
//   terminal;
// - any other port name: once it leads to a device again; a name that is no
//   port name nor path (a network address) is simply tried.
//
// A device that is back but refuses to open (ModemManager or gpsd look at a
// new device first and hold it for a moment; or no permission) is tried
// again for a few seconds before the wait is given up.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/diagnosis.h"
#include "ports/diagnosis_facts.h"
#include "ports/hotplug.h"
#include "serial/port_names.h"
#include "serial/serial_status.h"

namespace ports {

// What the window knows about its port when a notification has been handled.
struct LinkHealth {
  bool open = false;        // the port is open and is the window's source
  bool hungUp = false;      // the link says its device hung up
  bool readFailed = false;  // a read of this notification failed
};

// Whether the port notification `events` (low 16 bits: EV_RXCHAR, EV_ERR...;
// 0 for the console flush, which looks at no port) tells that the source is
// gone: its device hung up, or reading from it fails.
bool SourceLost(std::uint32_t events, const LinkHealth& health);

// A published link's directory entry, to tell a link published anew from the
// one that was there.
struct LinkStamp {
  std::uint64_t inode = 0;
  std::int64_t changedNs = 0;

  friend bool operator==(const LinkStamp&, const LinkStamp&) = default;
};

// What is looked at while waiting; behind an interface so that tests can
// make the machine up.
class ReturnFacts {
 public:
  virtual ~ReturnFacts() = default;
  // The port names with the device each leads to now, links resolved; empty
  // when a name leads to nothing that exists.
  virtual std::vector<NamedDevice> Names() = 0;
  // The existing device `portName` leads to now, links resolved; empty when
  // it leads to nothing that exists.
  virtual std::string Resolve(const std::string& portName) = 0;
  // The published link of `portName`; nothing when it has none.
  virtual std::optional<LinkStamp> PublishedLink(const std::string& portName) = 0;
  // What udev knows of the device (links resolved); empty when nothing.
  virtual UdevProperties Properties(const std::string& device) = 0;
  // `path` with every link resolved; empty when it leads nowhere.
  virtual std::string RealPath(const std::string& path) = 0;
};

// The machine: the port names of `where` (COM1 to COM15), the udev database
// and /dev/serial/by-id through `facts`.
class SysReturnFacts final : public ReturnFacts {
 public:
  SysReturnFacts(serial::PortLocations where, DiagnosisFacts& facts);
  std::vector<NamedDevice> Names() override;
  std::string Resolve(const std::string& portName) override;
  std::optional<LinkStamp> PublishedLink(const std::string& portName) override;
  UdevProperties Properties(const std::string& device) override;
  std::string RealPath(const std::string& path) override;

 private:
  serial::PortLocations where_;
  DiagnosisFacts& facts_;
};

// The port as it was at its last good open.
struct FollowedPort {
  std::string portName;  // "COM3", a path, or an address
  std::string device;    // what it led to, links resolved; empty when not a device
  std::optional<UsbIdentity> usb;
  std::optional<LinkStamp> link;  // the published link that decided the name
};

// Takes note of `portName`, which has just opened.
FollowedPort DescribeOpenedPort(const std::string& portName, ReturnFacts& facts);

class Reconnector {
 public:
  // How often the wait looks for the device.
  static constexpr std::int64_t kRetryMs = 1000;
  // How long a device that is back may refuse to open before the wait ends.
  static constexpr std::int64_t kRefusalPatienceMs = 6000;

  enum class Next { KeepWaiting, Reconnected, GiveUp };

  // Starts waiting for `port`, lost at `nowMs` (a monotonic clock).
  void Follow(FollowedPort port, std::int64_t nowMs);
  void Stop() { waiting_ = false; }
  bool Waiting() const { return waiting_; }
  const FollowedPort& Port() const { return port_; }
  std::int64_t LostAtMs() const { return lostAtMs_; }

  // The port name to open now, or nothing while the device is not back.
  std::optional<std::string> Check(ReturnFacts& facts) const;
  // The same for a udev event: a USB device is looked for in the event
  // itself; for anything else any tty that appears is a reason to look.
  std::optional<std::string> Check(ReturnFacts& facts, const UdevEvent& event) const;
  // What follows from opening the name Check gave with result `status`.
  Next Tried(serial::Status status, std::int64_t nowMs);

 private:
  // The name that leads to `device` now, the followed one first.
  std::optional<std::string> NameOf(const std::string& device, ReturnFacts& facts) const;

  FollowedPort port_;
  bool waiting_ = false;
  std::int64_t lostAtMs_ = 0;
  std::optional<std::int64_t> refusedSinceMs_;
};

// The lines the log gets about the gap, with their CR LF:
// "-- COM3 device removed at 12:34:56 --" and
// "-- COM3 reconnected at 12:35:10 after 14 s --" (" as COM4" after the name
// when the device came back under another name).
std::string RemovedNote(std::string_view portName, const std::tm& at);
std::string ReconnectedNote(std::string_view lostName, std::string_view portName, const std::tm& at,
                            std::int64_t gapSeconds);

}  // namespace ports
