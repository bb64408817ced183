#include "app/replay_reader.h"

#include "gnss/constellation.h"
#include "nmea/interpreter.h"
#include "nmea/sentence.h"

namespace app {

bool ReplayReader::StartsGroup(std::string_view line) const {
  const std::string_view head = nmea::FieldView(line, 1);
  if (head == nmea::kHeadGga) return true;
  gnss::Talker talker;
  return groupStart_ == GroupStart::AnyGga && head.size() == 6 && head[0] == '$' && head.substr(3) == "GGA" &&
         gnss::ParseTalker(head.substr(1, 2), talker);
}

ReplayReader::TickResult ReplayReader::Tick(ByteSource& source, ReplaySink& sink) {
  std::string block;
  std::string line;
  if (ggaHeld_) {
    sink.GgaReleased();
    block = heldGga_ + "\r\n";
    sink.Sentence(heldGga_);
    ggaHeld_ = false;
  }
  for (int units = 0; units < kMaxLinesPerTick; ++units) {
    // One pass: up to the line's CR, or 2000 bytes, whichever comes first.
    for (std::size_t pass = 0; pass < kMaxPassBytes; ++pass) {
      int c = source.Get();
      // Files saved with Unix line ends: an LF that follows no CR ends the
      // line as a CR does; the LF of a CR LF pair is ignored.
      const bool lfEndsLine = c == '\n' && !afterCr_;
      afterCr_ = c == '\r';
      if (lfEndsLine) c = '\r';
      if (c < 0) {
        block += line;
        if (!block.empty()) sink.Echo(block);
        return TickResult::EndOfFile;
      }
      if (c == '$') {
        block += line;
        line.assign(1, '$');
      } else if (c == '\n') {
        // ignored
      } else if (c == '\r') {
        if (!StartsGroup(line)) {
          block += line;
          block += "\r\n";
          if (!line.empty() && line[0] == '$') sink.Sentence(line);
          line.clear();
          break;
        }
        if (!block.empty()) sink.Echo(block);
        heldGga_ = std::move(line);
        ggaHeld_ = true;
        return TickResult::More;
      } else {
        line += static_cast<char>(c);
      }
    }
  }
  // 30 lines without a group's first line; an incomplete line is dropped.
  if (!block.empty()) sink.Echo(block);
  return TickResult::More;
}

}  // namespace app
