#pragma once
// The receiver on its serial line, without the line itself: it takes the
// bytes the tool sent, answers them, produces the periodic output on the
// clock it is given, and garbles both directions while the tool's port runs
// at another speed. The program around it moves the bytes to and from a
// pseudo-terminal.
//
// Replies of its own:
//   "$PVLX600 Velorin QK7720,<version>"      to $PVLRX600
//   "$PVLX603,..." lines                      to $PVLRX603 (the settings)
//   "$PVLXACK,<nnn>,OK" or "$PVLXACK,<nnn>,BAD"  to every other $PVLRX<nnn>
//                                            it takes (BAD: fields unusable,
//                                            nothing changed)
// $PVLRX601 gets no reply: the receiver falls silent and ignores everything
// until a line ending in "ABORT". Lines with a wrong or missing checksum and
// lines that are not $PVLRX sentences are ignored.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "sim/clock.h"
#include "sim/command_parser.h"
#include "sim/line_garbler.h"
#include "sim/receiver_model.h"
#include "sim/replay_source.h"

namespace sim {

struct SimOptions {
  ModelOptions model;
  int rateHz = 1;               // epochs per second
  std::uint32_t baud = 9600;    // the receiver's line speed at power-on
  double noise = 0;             // fraction of output lines corrupted
  std::uint64_t seed = 1;       // of the noise
  std::string version = "1.0";  // second field of the version reply
};

class Simulator {
 public:
  using LogFunction = std::function<void(std::string_view)>;

  Simulator(const SimOptions& options, const Clock& clock, LogFunction log = {});

  // Plays `replay` instead of the model's epochs, from now on.
  void SetReplay(ReplaySource replay);

  // The speed the tool's end of the line is set to; 0 when unknown, which
  // counts as matching.
  void SetToolBaud(std::uint32_t baud);
  std::uint32_t LineBaud() const { return baud_; }
  bool Garbling() const { return toolBaud_ != 0 && toolBaud_ != baud_; }
  bool InIsp() const { return isp_; }
  int Protocol() const { return protocol_; }

  const ReceiverModel& Model() const { return model_; }
  const OutputConfig& Output() const { return config_; }

  // Bytes from the tool, as they left its port.
  void Receive(std::string_view bytes);
  // Produces what is due by the clock's present time.
  void Tick();
  // The clock time at which Tick next has something to do.
  Millis NextDue() const;
  // What the tool's port receives, since the last call.
  std::string TakeOutput();

  // The lines of the settings report.
  std::string SettingsReport() const;

 private:
  static constexpr std::size_t kMaxLine = 1024;

  void HandleLine(std::string_view line);
  void Apply(const Command& c);
  void Reply(std::string body);
  void Emit(std::string_view text);
  void Log(std::string_view text) const;
  void LogLineState(bool garblingBefore) const;
  Millis EpochTime(std::int64_t index) const;
  void ResetSettings();

  SimOptions options_;
  const Clock& clock_;
  LogFunction log_;
  ReceiverModel model_;
  OutputConfig config_;
  NoiseInjector noise_;
  std::optional<ReplaySource> replay_;
  Millis nextReplay_ = 0;
  std::int64_t nextEpoch_ = 0;

  std::uint32_t baud_;
  std::uint32_t toolBaud_ = 0;
  int protocol_ = 0;
  bool isp_ = false;
  std::map<int, std::string> otherSettings_;  // fields of the other sentences, by number

  std::string line_;  // received, not yet ended
  bool lineTooLong_ = false;
  std::string output_;
};

// `text` with every byte that is not printable ASCII shown as "\xNN", for
// the log.
std::string Printable(std::string_view text);

}  // namespace sim
