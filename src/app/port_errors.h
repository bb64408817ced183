#pragma once
// Plain words for the status of a failed port open, shown as the status
// line's tooltip next to "COMn open ERR!", and the longer explanation with
// its fix that the window's "Why?" entry shows.

#include <string>
#include <string_view>
#include <vector>

#include "ports/device_details.h"
#include "ports/diagnosis.h"
#include "serial/port_names.h"
#include "serial/serial_status.h"

namespace app {

std::string PortOpenReason(serial::Status status);
// The same for an open of `portName` that just failed; a refusal because
// another program holds the port names that program ("held by minicom, pid
// 4711").
std::string PortOpenReason(serial::Status status, std::string_view portName);

// COM1 to COM15 and where each leads now.
std::vector<ports::PortChoice> PortChoices(const serial::PortLocations& where);

// What is known about the open of `portName` that just failed with `status`:
// where the name led, who refused it, what it opened last time, and which
// names lead to a device that exists now. `detail` is what the link said of
// the failure (CSerialLink::FailureDetail), if anything.
ports::OpenAttempt FailedOpenAttempt(serial::Status status, std::string_view portName,
                                     const serial::PortLocations& where, ports::DiagnosisFacts& facts,
                                     std::string_view detail = {});

// Why that open failed, and what to do about it.
ports::Diagnosis DiagnoseOpenFailure(serial::Status status, std::string_view portName,
                                     ports::DiagnosisFacts& facts, const serial::PortLocations& where,
                                     std::string_view detail = {});

// After `portName` opened: remembers the stable name of its device, so that
// a later failure can tell where the receiver went.
void NoteGoodOpen(std::string_view portName, ports::DiagnosisFacts& facts,
                  const serial::PortLocations& where);

}  // namespace app
