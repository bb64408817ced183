#pragma once
// Paces a recorded NMEA file (CR LF, CR or LF line ends): one group of lines per tick, each group
// beginning with a $GPGGA line (or, for the "All constellations" mode, with the
// GGA line of any GNSS talker, so that a receiver talking GN is replayed one
// fix per tick as well). The GGA line that ends a tick is held back and
// released (counted, echoed and interpreted) at the start of the next tick,
// so every group reaches the console in one piece.
//
// The reader is a plain class over a byte source; the window owns the file
// and the timer and receives what to do, in order, through a sink.

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace app {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The next byte (0-255), or -1 at the end of the file or on a read error.
  virtual int Get() = 0;
};

// Buffered reads from an open stdio file; the caller keeps the file.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(std::FILE* f) : f_(f) {}
  int Get() override { return f_ ? std::getc(f_) : -1; }

 private:
  std::FILE* f_;
};

class ReplaySink {
 public:
  virtual ~ReplaySink() = default;
  // A held GGA line is being released: the window advances a running
  // TTFF count by one step, since replayed time passes one group per tick.
  virtual void GgaReleased() {}
  // A sentence for the interpreter (a line beginning with "$", without CR LF).
  virtual void Sentence(std::string_view sentence) = 0;
  // A block of lines for the console (and the log while logging).
  virtual void Echo(std::string_view block) = 0;
};

// The lines that begin a group.
enum class GroupStart { GpGga, AnyGga };

class ReplayReader {
 public:
  static constexpr int kMaxLinesPerTick = 30;
  static constexpr std::size_t kMaxPassBytes = 2000;

  // Takes effect from the next line read.
  void SetGroupStart(GroupStart start) { groupStart_ = start; }
  bool StartsGroup(std::string_view line) const;

  enum class TickResult { More, EndOfFile };

  // A new file was opened: nothing is held over from the previous one.
  void Restart() {
    ggaHeld_ = false;
    afterCr_ = false;
  }
  // One tick. On EndOfFile the window closes the replay.
  TickResult Tick(ByteSource& source, ReplaySink& sink);

  bool GgaHeld() const { return ggaHeld_; }
  const std::string& HeldGga() const { return heldGga_; }

 private:
  std::string heldGga_;
  bool ggaHeld_ = false;
  bool afterCr_ = false;  // the last byte read was a CR
  GroupStart groupStart_ = GroupStart::GpGga;
};

}  // namespace app
