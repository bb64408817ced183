#pragma once
// Turns received bytes into console text and sentences for the interpreter,
// exactly as the receive path of the main window does:
//  - LF is dropped; CR ends the line, which goes to the console with CR LF;
//  - a line's sentence runs from its last "$" to the byte before its CR and is
//    interpreted only if no byte that is neither printable nor white space
//    came after that "$";
//  - such a byte is shown where it came, unchanged (the console shell decides
//    how to make a zero byte visible);
//  - a line not finished when the flush timer fires is shown as far as it
//    has come.
// The assembler is a plain class: the window owns the timer and calls
// Flush(), and receives what to show through a sink.

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

// Bytes 0x20-0x7E are printable and 0x09-0x0D and 0x20 white space, as in the
// C locale; bytes 0x80-0xFF are treated as neither.
inline bool IsPrintOrSpace(unsigned char c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0x09 && c <= 0x0D); }

class LineSink {
 public:
  virtual ~LineSink() = default;
  // Text for the console (and the log while logging).
  virtual void ConsoleText(std::string_view text) = 0;
  // A complete sentence for the interpreter, from "$" up to the CR.
  virtual void Sentence(std::string_view sentence) = 0;
  // Start the 200 ms console-flush timer / stop it.
  virtual void ArmFlush() {}
  virtual void StopFlush() {}
};

class LineAssembler {
 public:
  // A sentence longer than this (NMEA allows 82 bytes) cannot be NMEA; it is shown but not
  // interpreted, which keeps memory bounded on hostile input.
  static constexpr std::size_t kMaxSentence = 4096;

  // With keepConsole false, no console text is collected (the decoder only
  // wants sentences) and memory stays constant whatever the input.
  explicit LineAssembler(bool keepConsole = true) : keepConsole_(keepConsole) {}

  void Feed(std::string_view bytes, LineSink& sink);
  // The flush timer fired: show the unfinished line as far as it has come.
  void Flush(LineSink& sink);
  // The source has gone: the unfinished line is shown with a line end (also
  // when a flush showed a part of it already) and the sentence in progress is
  // dropped, so that nothing from the next source is taken for its rest.
  void EndLine(LineSink& sink);
  // The source was closed: the sentence in progress is dropped, so that the
  // next source's first bytes are never taken for its rest. The console line
  // is left as it is (the log keeps exactly what was received).
  void DropSentence();

  const std::string& ConsoleLine() const { return consoleLine_; }
  const std::string& SentenceText() const { return sentenceText_; }
  bool SentenceStarted() const { return sentenceStarted_; }
  bool FlushArmed() const { return flushArmed_; }

 private:
  bool keepConsole_;
  std::string consoleLine_;
  std::string sentenceText_;
  bool sentenceStarted_ = false;
  bool flushArmed_ = false;
  bool lineShown_ = false;  // a flush showed a part of the current line
};

}  // namespace app
