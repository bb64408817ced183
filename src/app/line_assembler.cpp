#include "app/line_assembler.h"

namespace app {

void LineAssembler::Feed(std::string_view bytes, LineSink& sink) {
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (!IsPrintOrSpace(c)) {
      if (keepConsole_) consoleLine_ += ch;
      sentenceText_.clear();
      sentenceStarted_ = false;
    } else if (c == '\r') {
      if (keepConsole_) {
        consoleLine_ += "\r\n";
        sink.ConsoleText(consoleLine_);
      }
      consoleLine_.clear();
      flushArmed_ = false;
      sink.StopFlush();
      if (sentenceStarted_ && !sentenceText_.empty() && sentenceText_[0] == '$') sink.Sentence(sentenceText_);
      sentenceText_.clear();
      sentenceStarted_ = false;
    } else if (c == '\n') {
      // dropped
    } else {
      if (c == '$') {
        sentenceText_.clear();
        sentenceStarted_ = true;
      }
      if (keepConsole_) consoleLine_ += ch;
      if (sentenceStarted_) {
        if (sentenceText_.size() < kMaxSentence) {
          sentenceText_ += ch;
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
  }
  flushArmed_ = false;
  sink.StopFlush();
}

}  // namespace app
