#pragma once
// udev's announcements of tty devices, through libudev: the events udevd
// broadcasts once its rules have run, so the device's node, its
// /dev/serial/by-id link and its permissions are in place when "add" comes.
// The only user of libudev; what the events mean is decided in
// ports/hotplug.h.

#include <memory>
#include <optional>

#include "ports/hotplug.h"

struct udev;
struct udev_monitor;

namespace app {

class UdevMonitor {
 public:
  // Listening from now on; nothing when udev cannot be listened to. Where no
  // udevd runs (a container) the monitor opens but stays silent.
  static std::unique_ptr<UdevMonitor> Open();
  ~UdevMonitor();
  UdevMonitor(const UdevMonitor&) = delete;
  UdevMonitor& operator=(const UdevMonitor&) = delete;

  // Readable while an event waits.
  int Descriptor() const;
  // The next waiting event; nothing when none waits.
  std::optional<ports::UdevEvent> Receive();

 private:
  UdevMonitor(struct udev* context, struct udev_monitor* monitor);

  struct udev* context_;
  struct udev_monitor* monitor_;
};

}  // namespace app
