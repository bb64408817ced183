#pragma once
// Which data source the window opened last. Opening a different one (another
// file, another port name, or a port name that now leads to another device)
// starts the receiver's displays from their start values, so that nothing
// the previous source reported is shown as if the new one had said it.
// Reopening the same source keeps them.

#include <string>
#include <string_view>

namespace app {

// A replay file: its path made absolute and free of "." and ".." where the
// system can tell, so two spellings of one file are one source.
std::string FileSourceIdentity(std::string_view path);
// A port: its name and the device that name opened.
std::string PortSourceIdentity(std::string_view portName, std::string_view device);

class LastSource {
 public:
  // Records that `identity` was opened. True when another source had been
  // opened before and it was not this one.
  bool Opened(std::string identity);
  const std::string& Identity() const { return last_; }

 private:
  std::string last_;  // empty before the first open
};

}  // namespace app
