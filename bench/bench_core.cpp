// Throughput of the receive-side core on the recorded logs.

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/line_assembler.h"
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

}  // namespace

BENCHMARK_MAIN();
