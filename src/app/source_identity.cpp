#include "app/source_identity.h"

#include <filesystem>
#include <system_error>

namespace app {

std::string FileSourceIdentity(std::string_view path) {
  std::error_code error;
  const std::filesystem::path canonical =
      std::filesystem::weakly_canonical(std::filesystem::path(path), error);
  return "file:" + (error || canonical.empty() ? std::string(path) : canonical.string());
}

std::string PortSourceIdentity(std::string_view portName, std::string_view device) {
  std::string id = "port:";
  id.append(portName);
  id += '\n';
  id.append(device);
  return id;
}

bool LastSource::Opened(std::string identity) {
  const bool other = !last_.empty() && identity != last_;
  last_ = std::move(identity);
  return other;
}

}  // namespace app
