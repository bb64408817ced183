// Feeds arbitrary bytes through the receive path's line assembler into the
// interpreter and the JSON writer, and through FieldAt at every field number.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/line_assembler.h"
#include "nmea/interpreter.h"
#include "nmea/json.h"
#include "nmea/sentence.h"

namespace {

struct Sink : app::LineSink {
  nmea::ReceiverState state;
  nmea::Interpretation result;
  std::string json;
  void ConsoleText(std::string_view) override {}
  void Sentence(std::string_view s) override {
    nmea::Interpret(s, state, result);
    json.clear();
    nmea::AppendJsonLine(json, s, result, state, nmea::JsonOptions{true});
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Sink sink;
  app::LineAssembler assembler;
  assembler.Feed(bytes, sink);
  assembler.Flush(sink);
  // The raw bytes as one sentence, whatever they hold.
  nmea::Interpret(bytes, sink.state, sink.result);
  for (int n = 0; n <= 40; ++n) (void)nmea::FieldAt(bytes, n);
  return 0;
}
