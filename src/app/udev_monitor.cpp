#include "app/udev_monitor.h"

#include <libudev.h>

#include <cstring>

namespace app {
namespace {

// What an event may bring; udevd is trusted, but nothing is kept unbounded.
constexpr std::size_t kMaxProperties = 256;
constexpr std::size_t kMaxText = 4096;

std::string Bounded(const char* text) {
  if (text == nullptr) return {};
  return std::string(text, strnlen(text, kMaxText));
}

}  // namespace

std::unique_ptr<UdevMonitor> UdevMonitor::Open() {
  struct udev* context = udev_new();
  if (context == nullptr) return nullptr;
  // "udev", not "kernel": the kernel's own events come before the rules made
  // the node's links and set its permissions.
  struct udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
  if (monitor == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor) < 0) {
    if (monitor != nullptr) udev_monitor_unref(monitor);
    udev_unref(context);
    return nullptr;
  }
  return std::unique_ptr<UdevMonitor>(new UdevMonitor(context, monitor));
}

UdevMonitor::UdevMonitor(struct udev* context, struct udev_monitor* monitor)
    : context_(context), monitor_(monitor) {}

UdevMonitor::~UdevMonitor() {
  udev_monitor_unref(monitor_);
  udev_unref(context_);
}

int UdevMonitor::Descriptor() const { return udev_monitor_get_fd(monitor_); }

std::optional<ports::UdevEvent> UdevMonitor::Receive() {
  // The socket does not block: nothing waiting gives null.
  struct udev_device* device = udev_monitor_receive_device(monitor_);
  if (device == nullptr) return std::nullopt;
  ports::UdevEvent event;
  event.action = Bounded(udev_device_get_action(device));
  event.devNode = Bounded(udev_device_get_devnode(device));
  for (struct udev_list_entry* entry = udev_device_get_properties_list_entry(device);
       entry != nullptr && event.properties.size() < kMaxProperties;
       entry = udev_list_entry_get_next(entry)) {
    event.properties.emplace(Bounded(udev_list_entry_get_name(entry)),
                             Bounded(udev_list_entry_get_value(entry)));
  }
  udev_device_unref(device);
  return event;
}

}  // namespace app
