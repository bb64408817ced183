#include "app/line_assembler.h"

namespace app {
namespace {

// Printable bytes other than "$", which carry no decision of their own.
inline bool IsPlain(unsigned char c) { return c >= 0x20 && c <= 0x7E && c != '$'; }

}  // namespace

void LineAssembler::Feed(std::string_view bytes, LineSink& sink) {
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (IsPlain(c)) {
      // A run of plain text goes to the line and the sentence in one piece.
      std::size_t end = i + 1;
      while (end < n && IsPlain(static_cast<unsigned char>(bytes[end]))) ++end;
      const std::string_view run = bytes.substr(i, end - i);
      if (keepConsole_) consoleLine_.append(run);
      if (sentenceStarted_) {
        if (sentenceText_.size() + run.size() <= kMaxSentence) {
          sentenceText_.append(run);
        } else {
          sentenceText_.clear();  // too long to be NMEA: shown, not interpreted
          sentenceStarted_ = false;
        }
      }
      if (!flushArmed_) {
        flushArmed_ = true;
        sink.ArmFlush();
      }
      i = end;
      continue;
    }
    ++i;
    if (!IsPrintOrSpace(c)) {
      if (keepConsole_) consoleLine_ += static_cast<char>(c);
      sentenceText_.clear();
      sentenceStarted_ = false;
    } else if (c == '\r') {
      if (keepConsole_) {
        consoleLine_ += "\r\n";
        sink.ConsoleText(consoleLine_);
      }
      consoleLine_.clear();
      lineShown_ = false;
      flushArmed_ = false;
      sink.StopFlush();
      if (sentenceStarted_ && !sentenceText_.empty() && sentenceText_[0] == '$') sink.Sentence(sentenceText_);
      sentenceText_.clear();
      sentenceStarted_ = false;
    } else if (c == '\n') {
      // dropped
    } else {
      // "$" starts a new sentence; TAB, VT and FF are white space and belong
      // to the line and the sentence like any printable byte.
      if (c == '$') {
        sentenceText_.clear();
        sentenceStarted_ = true;
      }
      if (keepConsole_) consoleLine_ += static_cast<char>(c);
      if (sentenceStarted_) {
        if (sentenceText_.size() < kMaxSentence) {
          sentenceText_ += static_cast<char>(c);
        } else {
          sentenceText_.clear();
          sentenceStarted_ = false;
        }
      }
      if (!flushArmed_) {
        flushArmed_ = true;
        sink.ArmFlush();
      }
    }
  }
}

void LineAssembler::Flush(LineSink& sink) {
  if (!consoleLine_.empty()) {
    sink.ConsoleText(consoleLine_);
    consoleLine_.clear();
    lineShown_ = true;
  }
  flushArmed_ = false;
  sink.StopFlush();
}

void LineAssembler::EndLine(LineSink& sink) {
  if (keepConsole_ && (lineShown_ || !consoleLine_.empty())) {
    consoleLine_ += "\r\n";
    sink.ConsoleText(consoleLine_);
  }
  consoleLine_.clear();
  lineShown_ = false;
  sentenceText_.clear();
  sentenceStarted_ = false;
  flushArmed_ = false;
  sink.StopFlush();
}

void LineAssembler::DropSentence() {
  sentenceText_.clear();
  sentenceStarted_ = false;
}

}  // namespace app
