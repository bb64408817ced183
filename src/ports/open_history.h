#pragma once
// The stable name of the device each port name last opened. USB serial
// devices are numbered in the order they appear, so a receiver plugged in
// again may come back as /dev/ttyUSB1 instead of /dev/ttyUSB0; its
// /dev/serial/by-id name stays. Remembered at every good open, for the whole
// process, so that a later "no such device" can say where the receiver went.
// Every member may be called from any thread.

#include <optional>
#include <string_view>

#include "ports/diagnosis.h"

namespace ports {

// Keeps `device` as what `portName` opened last; nothing (a device without a
// stable name) forgets what it opened before.
void RememberGoodOpen(std::string_view portName, const std::optional<RememberedDevice>& device);
// What `portName` opened last with a stable name; nothing when it never
// opened one.
std::optional<RememberedDevice> LastGoodOpen(std::string_view portName);
// Forgets everything; for tests.
void ForgetGoodOpens();

}  // namespace ports
