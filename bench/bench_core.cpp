// Throughput of the receive-side core on the recorded logs.

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/line_assembler.h"
#include "gnss/gnss_json.h"
#include "gnss/interpret_all.h"
#include "nmea/interpreter.h"
#include "nmea/json.h"
#include "nmea/sentence.h"

namespace {

// All recordings, with CR LF line ends as a receiver sends them.
const std::string& Recordings() {
  static const std::string all = [] {
    std::string out;
    for (const char* name : {"gpsd-gp-320fw-2019-04-07-coldboot", "gpsd-haicom-305N", "gpsd-myguide-3100",
                             "gpsd-neo-m8n", "gpsd-nmea-rtk", "gpsd-telit-he910"}) {
      std::ifstream in(std::string(GPSDESK_TEST_DATA) + "/nmea/" + name + ".nmea", std::ios::binary);
      std::string line;
      while (std::getline(in, line)) out += line + "\r\n";
    }
    return out;
  }();
  return all;
}

struct CountingSink : app::LineSink {
  nmea::ReceiverState state;
  nmea::Interpretation result;
  std::string json;
  bool writeJson = false;
  void ConsoleText(std::string_view t) override { benchmark::DoNotOptimize(t.data()); }
  void Sentence(std::string_view s) override {
    nmea::Interpret(s, state, result);
    if (writeJson) nmea::AppendJsonLine(json, s, result, state, nmea::JsonOptions{});
  }
};

void BM_AssembleAndInterpret(benchmark::State& st) {
  const std::string& bytes = Recordings();
  CountingSink sink;
  for (auto _ : st) {
    app::LineAssembler a;
    a.Feed(bytes, sink);
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * bytes.size()));
}
BENCHMARK(BM_AssembleAndInterpret);

// What gpsdesk-decode does per byte, less the final write.
void BM_DecodeToJson(benchmark::State& st) {
  const std::string& bytes = Recordings();
  CountingSink sink;
  sink.writeJson = true;
  for (auto _ : st) {
    app::LineAssembler a(false);
    sink.json.clear();
    a.Feed(bytes, sink);
    benchmark::DoNotOptimize(sink.json.data());
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeToJson);

void BM_InterpretGsv(benchmark::State& st) {
  nmea::ReceiverState state;
  nmea::Interpretation r;
  const std::string s = "$GPGSV,3,1,12,01,53,280,36,03,29,301,24,04,55,223,37,08,38,166,16*7C";
  for (auto _ : st) {
    nmea::Interpret(s, state, r);
    benchmark::DoNotOptimize(r.texts.data());
  }
}
BENCHMARK(BM_InterpretGsv);

void BM_FieldAtLast(benchmark::State& st) {
  const std::string s = "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*35";
  for (auto _ : st) benchmark::DoNotOptimize(nmea::FieldAt(s, 18));
}
BENCHMARK(BM_FieldAtLast);

// The every-constellation model alone, as a statistics listener would run
// it: one Feed per sentence, epochs closing, no texts.
struct GnssSink : app::LineSink {
  gnss::GnssModel model;
  nmea::Interpretation result;
  std::string json;
  enum Mode { kModel, kInterpret, kJson } mode = kModel;
  std::uint64_t epochs = 0;
  void ConsoleText(std::string_view t) override { benchmark::DoNotOptimize(t.data()); }
  void Sentence(std::string_view s) override {
    if (mode == kModel) {
      epochs += (model.Feed(s) & gnss::kEpochClosed) != 0;
      return;
    }
    gnss::InterpretAll(s, model, result);
    if (mode == kJson) gnss::AppendJsonLine(json, s, result, model, gnss::JsonOptions{});
  }
};

void RunGnss(benchmark::State& st, GnssSink::Mode mode) {
  const std::string& bytes = Recordings();
  auto sink = std::make_unique<GnssSink>();
  sink->mode = mode;
  for (auto _ : st) {
    app::LineAssembler a(false);
    sink->json.clear();
    a.Feed(bytes, *sink);
    benchmark::DoNotOptimize(sink->json.data());
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * bytes.size()));
  st.counters["epochs"] = static_cast<double>(sink->epochs) / static_cast<double>(st.iterations());
}

void BM_GnssModelFeed(benchmark::State& st) { RunGnss(st, GnssSink::kModel); }
BENCHMARK(BM_GnssModelFeed);

void BM_InterpretAll(benchmark::State& st) { RunGnss(st, GnssSink::kInterpret); }
BENCHMARK(BM_InterpretAll);

// What gpsdesk-decode --all does per byte, less the final write.
void BM_DecodeAllToJson(benchmark::State& st) { RunGnss(st, GnssSink::kJson); }
BENCHMARK(BM_DecodeAllToJson);

// One u-blox-style epoch with four constellations and two GPS signals; the
// time alternates so that every round is an epoch of its own.
void BM_GnssModelMultiEpoch(benchmark::State& st) {
  const char* bodies[] = {
      "GNRMC,%s,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A,V",
      "GNGGA,%s,4717.11437,N,00833.91522,E,1,08,1.01,499.6,M,48.0,M,,",
      "GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1",
      "GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2",
      "GNGSA,A,3,07,12,33,,,,,,,,,,1.05,0.64,0.83,3",
      "GNGSA,A,3,13,12,22,19,08,21,,,,,,,1.05,0.64,0.83,4",
      "GPGSV,3,1,11,02,07,130,20,06,21,090,24,12,75,223,30,17,21,042,27,1",
      "GPGSV,3,2,11,19,37,056,27,22,21,317,23,24,56,151,24,25,33,248,34,1",
      "GPGSV,3,3,11,32,34,300,39,03,02,018,,10,00,000,,1",
      "GPGSV,2,1,06,03,02,018,,06,21,090,,10,00,000,,24,56,151,,8",
      "GPGSV,2,2,06,25,33,248,,32,34,300,,8",
      "GLGSV,1,1,04,73,12,066,30,76,07,251,28,82,07,354,33,84,15,099,35,1",
      "GAGSV,1,1,03,07,45,120,38,12,10,300,31,33,20,200,29,7",
      "GBGSV,2,1,06,13,45,120,38,12,40,200,36,22,35,060,30,19,20,300,25,1",
      "GBGSV,2,2,06,08,07,033,20,21,50,100,40,1",
      "GNGLL,4717.11437,N,00833.91522,E,%s,A,A",
  };
  std::vector<std::string> epochs[2];
  for (int e = 0; e < 2; ++e) {
    for (const char* body : bodies) {
      std::string s = std::string("$") + body;
      const std::size_t at = s.find("%s");
      if (at != std::string::npos) s.replace(at, 2, e ? "083600.00" : "083559.00");
      nmea::AppendChecksum(s);
      epochs[e].push_back(s);
    }
  }
  std::size_t bytes = 0;
  for (const auto& s : epochs[0]) bytes += s.size() + 2;
  auto model = std::make_unique<gnss::GnssModel>();
  int round = 0;
  for (auto _ : st) {
    for (const auto& s : epochs[round & 1]) benchmark::DoNotOptimize(model->Feed(s));
    ++round;
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * bytes));
}
BENCHMARK(BM_GnssModelMultiEpoch);

}  // namespace

BENCHMARK_MAIN();
