// Feeds arbitrary bytes through the receive path's line assembler into the
// every-constellation model, its window interpretation, the first-fix rule,
// the hint's detector and the --all JSON writer, and reads every view the
// model offers after each sentence.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/line_assembler.h"
#include "gnss/first_fix.h"
#include "gnss/gnss_json.h"
#include "gnss/interpret_all.h"
#include "gnss/unshown_notice.h"

namespace {

struct Listener : gnss::EpochListener {
  std::uint64_t last = 0;
  void OnEpochClosed(const gnss::EpochSummary& e, const gnss::GnssModel& m) override {
    // Epochs close in order, and the summary agrees with the model.
    if (e.index <= last || e.satellitesInView != m.InViewCount()) __builtin_trap();
    last = e.index;
  }
};

struct Sink : app::LineSink {
  gnss::GnssModel model;
  nmea::Interpretation result;
  std::string json;
  std::array<gnss::ChartBar, 16> bars;
  gnss::FirstFixRule rule;
  gnss::UnshownNotice notice;
  std::int64_t now = 0;
  void ConsoleText(std::string_view) override {}
  void Sentence(std::string_view s) override {
    (void)rule.Fed(gnss::InterpretAll(s, model, result), model);
    notice.Feed(s, now += 700);
    if (notice.Visible() && notice.Heads().empty()) __builtin_trap();
    json.clear();
    gnss::AppendJsonLine(json, s, result, model, gnss::JsonOptions{true});
    const std::size_t n = model.ChartBars(bars);
    if (n > bars.size() || model.InViewCount() > gnss::GnssModel::kMaxSatellites ||
        model.UsedCount() > gnss::GnssModel::kMaxSatellites)
      __builtin_trap();
    for (std::size_t g = 0; g < model.SignalGroupCount(); ++g) (void)model.SignalGroup(g);
    (void)model.UsedNotInView();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Listener listener;
  Sink sink;
  sink.model.SetEpochListener(&listener);
  app::LineAssembler assembler;
  assembler.Feed(bytes, sink);
  assembler.Flush(sink);
  // The raw bytes as one sentence, whatever they hold.
  sink.model.Feed(bytes);
  sink.model.Flush();
  return 0;
}
