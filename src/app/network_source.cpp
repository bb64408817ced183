#include "app/network_source.h"

#include "serial/net_address.h"

namespace app {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string SourceLabelTip(std::string_view portName, const serial::PortLocations& where) {
  const std::string address =
      serial::HasNetScheme(portName) ? std::string(portName) : serial::PublishedAddress(where, portName);
  if (address.empty()) return {};
  const std::string name = serial::QuotedText(portName);
  serial::NetAddress parsed;
  if (const std::string problem = serial::ParseNetAddress(address, parsed); !problem.empty())
    return name + ": the published address \"" + serial::QuotedText(address) + "\" is not usable: " + problem;
  const std::string canonical = serial::FormatNetAddress(parsed);
  std::string tip = canonical == name ? canonical + " is a network source" : name + " is " + canonical;
  if (parsed.scheme == serial::NetScheme::Gpsd)
    return tip + ", read through gpsd: the rate and line settings do not apply, and " + kGpsdSendBlocked;
  return tip + ", a network source: the rate and line settings do not apply";
}

AddressUse UseTypedAddress(std::string_view comName, std::string_view typed,
                           const serial::PortLocations& where) {
  AddressUse use;
  const std::string name = serial::QuotedText(comName);
  if (where.linkFolder.empty()) {
    use.note = "No folder to publish in: neither XDG_RUNTIME_DIR nor HOME is set";
    return use;
  }
  typed = Trimmed(typed);
  if (typed.empty()) {
    if (serial::PublishedAddress(where, comName).empty()) {
      use.note = "Type tcp://host:port or gpsd://host[:port][/device] for " + name;
      return use;
    }
    const serial::Status s = serial::UnpublishPortLink(where, comName);
    use.changed = s == serial::ERROR_SUCCESS;
    use.note = use.changed ? name + " no longer stands for a network address"
                           : "Could not remove the address of " + name + " (error " + std::to_string(s) + ")";
    return use;
  }
  serial::NetAddress parsed;
  if (const std::string problem = serial::ParseNetAddress(typed, parsed); !problem.empty()) {
    use.note = "Not used: " + problem;
    return use;
  }
  const std::string canonical = serial::FormatNetAddress(parsed);
  const serial::Status s = serial::PublishPortAddress(where, comName, canonical);
  use.changed = s == serial::ERROR_SUCCESS;
  use.note = use.changed ? name + " now stands for " + canonical
                         : "Could not publish the address of " + name + " (error " + std::to_string(s) + ")";
  return use;
}

}  // namespace app
