// The receiver on its line, driven by a clock of the test's own: what it
// outputs and when, how it answers the tool's sentences, restarts, speed
// changes, in-system programming, replay and noise. What it writes is read
// back with the tool's own interpreter where the tool would interpret it.

#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>

#include "dialogs/sentences.h"
#include "nmea/sentence.h"
#include "resources/main_ids.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using sim_test::Command;
using sim_test::Heads;
using sim_test::Lines;

constexpr Millis kT0 = 1750000000000;  // 15:06:40 UTC, an even second

// Lines without their checksums, for comparing texts.
std::vector<std::string> Bodies(std::string_view text) {
  std::vector<std::string> bodies;
  for (const std::string& line : Lines(text)) {
    EXPECT_TRUE(sim_test::ChecksumOk(line)) << line;
    bodies.push_back(line.substr(0, line.rfind('*')));
  }
  return bodies;
}

class SimulatorTest : public testing::Test {
 protected:
  void Start(SimOptions options = {}) {
    options.version = "test 1.2";
    sim = std::make_unique<Simulator>(options, clock, [this](std::string_view t) { log.emplace_back(t); });
    sim->SetToolBaud(options.baud);
  }
  // Moves the clock on by `ms`, ticking at every moment something is due.
  std::string RunFor(Millis ms) {
    const Millis end = clock.Now() + ms;
    while (sim->NextDue() <= end) {
      clock.Set(std::max(clock.Now(), sim->NextDue()));
      sim->Tick();
    }
    clock.Set(end);
    sim->Tick();
    return sim->TakeOutput();
  }
  std::string Send(std::string_view bytes) {
    sim->Receive(bytes);
    return sim->TakeOutput();
  }
  bool Logged(std::string_view part) const {
    return std::any_of(log.begin(), log.end(), [&](const std::string& l) { return l.find(part) != l.npos; });
  }

  ManualClock clock{kT0 + 300};
  std::vector<std::string> log;
  std::unique_ptr<Simulator> sim;
};

TEST_F(SimulatorTest, StartsWithGgaGsaGsvRmcOnEverySecond) {
  Start();
  const std::string out = RunFor(3000);
  std::vector<std::string> heads = Heads(out);
  heads.erase(std::unique(heads.begin(), heads.end()), heads.end());  // one GSV set is several lines
  std::vector<std::string> expected;
  for (int epoch = 0; epoch < 3; ++epoch)
    expected.insert(expected.end(), {"$GPGGA", "$GPGSA", "$GPGSV", "$GPRMC"});
  EXPECT_EQ(heads, expected);
  std::vector<std::string> times;
  for (const std::string& line : Lines(out)) {
    if (line.starts_with("$GPGGA")) times.emplace_back(nmea::FieldView(line, 2));
  }
  EXPECT_EQ(times, (std::vector<std::string>{"150641.000", "150642.000", "150643.000"}));
}

TEST_F(SimulatorTest, RateOptionGivesThatManyEpochsASecond) {
  SimOptions options;
  options.rateHz = 5;
  Start(options);
  std::vector<std::string> times;
  for (const std::string& line : Lines(RunFor(1000))) {
    if (line.starts_with("$GPGGA")) times.emplace_back(nmea::FieldView(line, 2));
  }
  EXPECT_EQ(times,
            (std::vector<std::string>{"150640.400", "150640.600", "150640.800", "150641.000", "150641.200"}));
}

TEST_F(SimulatorTest, OutputFollowsTheSelectionAndRatesSent) {
  Start();
  dialogs::NmeaOutputSettings settings;
  settings.selectedCount = 0;
  dialogs::SelectNmeaMessage(settings, 5);  // VTG
  dialogs::SelectNmeaMessage(settings, 0);  // GGA
  settings.rates[0] = 2;
  const dialogs::NmeaOutputSentences s = dialogs::BuildNmeaOutputSentences(settings);
  EXPECT_EQ(Bodies(Send(s.enableSentence + "\r\n" + s.rateSentence + "\r\n")),
            (std::vector<std::string>{"$PVLXACK,108,OK", "$PVLXACK,103,OK"}));
  // Epochs at 41, 42, 43, 44 s; GGA in the even ones.
  EXPECT_EQ(Heads(RunFor(4000)),
            (std::vector<std::string>{"$GPVTG", "$GPVTG", "$GPGGA", "$GPVTG", "$GPVTG", "$GPGGA"}));

  settings.selectedCount = 0;
  Send(dialogs::BuildNmeaOutputSentences(settings).enableSentence + "\r\n");
  EXPECT_EQ(RunFor(3000), "");
}

TEST_F(SimulatorTest, VersionReplyIsWhatTheToolLooksFor) {
  Start();
  const std::string out = Send(Command("$PVLRX600"));
  ASSERT_EQ(Lines(out).size(), 1u);
  EXPECT_EQ(nmea::FieldView(out, 1), "$PVLX600 Velorin QK7720");
  EXPECT_EQ(Bodies(out)[0], "$PVLX600 Velorin QK7720,test 1.2");
  sim_test::ToolView tool;
  tool.Read(out);
  EXPECT_EQ(tool.Text(ids::kVersion), "test 1.2");
  EXPECT_EQ(tool.versionReplies, 1);
}

TEST_F(SimulatorTest, SettingsReportShowsWhatWasSet) {
  Start();
  dialogs::NmeaOutputSettings nmea;
  nmea.rates[4] = 5;  // RMC
  const dialogs::NmeaOutputSentences s = dialogs::BuildNmeaOutputSentences(nmea);
  Send(s.enableSentence + "\r\n" + s.rateSentence + "\r\n");
  Send(dialogs::BuildFixSentence({1, 1}) + "\r\n");
  Send(Command("$PVLRX107,ALL,1"));
  EXPECT_EQ(Bodies(Send(Command("$PVLRX603"))),
            (std::vector<std::string>{"$PVLX603,100,0,9600,0", "$PVLX603,108,GGA,GSA,GSV,RMC",
                                      "$PVLX603,103,GGA,1,GLL,1,GSA,1,GSV,1,RMC,5,VTG,1,ZDA,1",
                                      "$PVLX603,107,ALL,1", "$PVLX603,113,1,1"}));

  // A factory restart forgets all of it.
  Send(Command("$PVLRX111,FACTORY"));
  EXPECT_EQ(Bodies(Send(Command("$PVLRX603"))).size(), 3u);
  EXPECT_EQ(sim->Output(), OutputConfig{});
}

TEST_F(SimulatorTest, EveryOtherSentenceIsAcknowledged) {
  Start();
  const std::pair<std::string, std::string> cases[] = {
      {dialogs::BuildLowPowerSentence({}) + "\r\n", "$PVLXACK,112,OK"},
      {dialogs::BuildLatLonInitSentence({}) + "\r\n", "$PVLXACK,104,OK"},
      {dialogs::BuildDatumSentence(dialogs::kDefaultDatumRow, {}) + "\r\n", "$PVLXACK,106,OK"},
      {dialogs::BuildMsgModeSentence({}) + "\r\n", "$PVLXACK,107,OK"},
      {dialogs::BuildNavSentence({}) + "\r\n", "$PVLXACK,110,OK"},
      {dialogs::BuildFixSentence({}) + "\r\n", "$PVLXACK,113,OK"},
      {dialogs::BuildEcefInitSentence({}) + "\r\n", "$PVLXACK,101,OK"},
      {dialogs::BuildResetSentence({}) + "\r\n", "$PVLXACK,111,OK"},
      {Command("$PVLRX103,GGA,0"), "$PVLXACK,103,BAD"},
  };
  for (const auto& [line, ack] : cases) {
    EXPECT_EQ(Bodies(Send(line)), std::vector<std::string>{ack}) << line;
  }
}

TEST_F(SimulatorTest, WrongChecksumIsIgnored) {
  Start();
  EXPECT_EQ(Send("$PVLRX600*00\r\n$PVLRX108,VTG*00\r\n$PVLRX111,COLD\r\n"), "");
  EXPECT_EQ(sim->Output(), OutputConfig{});
  EXPECT_EQ(sim->Model().LastRestart(), RestartKind::Hot);
  EXPECT_TRUE(Logged("checksum 00, should be"));
}

TEST_F(SimulatorTest, InSystemProgrammingIsSilentUntilAbort) {
  Start();
  EXPECT_EQ(Send(Command("$PVLRX601,9600")), "");
  EXPECT_EQ(Send("VL"), "");
  EXPECT_EQ(Send("RN"), "");
  EXPECT_TRUE(sim->InIsp());
  EXPECT_EQ(RunFor(3000), "");
  EXPECT_EQ(Send(Command("$PVLRX600")), "");
  EXPECT_EQ(Send(Command("$PVLRX108,VTG")), "");
  EXPECT_EQ(Send("ABORT\r\n"), "");
  EXPECT_FALSE(sim->InIsp());
  EXPECT_EQ(Heads(RunFor(1000)),
            (std::vector<std::string>{"$GPGGA", "$GPGSA", "$GPGSV", "$GPGSV", "$GPRMC"}));
}

TEST_F(SimulatorTest, SpeedChangeGarblesUntilTheToolFollows) {
  Start();
  // The acknowledgement still goes out at the old speed.
  EXPECT_EQ(Bodies(Send(dialogs::BuildUartSentence({0, 2, 0}) + "\r\n")),
            std::vector<std::string>{"$PVLXACK,100,OK"});
  EXPECT_EQ(sim->LineBaud(), 4800u);
  EXPECT_TRUE(Logged("the line is garbled"));

  const std::string garbled = RunFor(2000);
  EXPECT_FALSE(garbled.empty());
  EXPECT_EQ(garbled.find("$GP"), std::string::npos);
  // What the tool sends at its old speed is garbage to the receiver.
  EXPECT_EQ(Send(Command("$PVLRX600")), "");

  sim->SetToolBaud(4800);
  const std::string clean = RunFor(1000);
  EXPECT_EQ(Heads(clean).front(), "$GPGGA");
  for (const std::string& line : Lines(clean)) EXPECT_TRUE(sim_test::ChecksumOk(line)) << line;
  EXPECT_EQ(Lines(Send(Command("$PVLRX600"))).size(), 1u);
}

struct RestartCase {
  const char* legend;
  std::string sentence;
  RestartKind kind;
};
void PrintTo(const RestartCase& c, std::ostream* os) { *os << c.legend; }

class RestartSeenByTheTool : public SimulatorTest, public testing::WithParamInterface<RestartCase> {};

TEST_P(RestartSeenByTheTool, NoFixForTheScaledTimeThenTwoDThenThreeD) {
  SimOptions options;
  options.rateHz = 10;
  options.model.ttffScale = 0.1;
  Start(options);
  RunFor(2000);  // settled on the power-on hot start
  const Millis restart = clock.Now();
  Send(GetParam().sentence + "\r\n");
  ASSERT_EQ(sim->Model().LastRestart(), GetParam().kind);
  const FixTiming timing = TimingOf(GetParam().kind, options.model.ttffScale);

  sim_test::ToolView tool;
  while (clock.Now() < restart + timing.noFix + timing.twoD + 1000) {
    tool.Read(RunFor(100));
    const Millis since = clock.Now() - restart;
    const char* expected = since < timing.noFix                 ? "Fix : not available"
                           : since < timing.noFix + timing.twoD ? "Fix : 2D"
                                                                : "Fix : 3D";
    ASSERT_EQ(tool.Text(ids::kFix), expected) << since << " ms after the restart";
  }
  EXPECT_GT(tool.ttffStops, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RestartSeenByTheTool,
    testing::Values(
        RestartCase{"hot", dialogs::BuildResetSentence({0, 1, false}), RestartKind::Hot},
        RestartCase{"warm", dialogs::BuildResetSentence({0, 2, false}), RestartKind::Warm},
        RestartCase{"cold", dialogs::BuildResetSentence({0, 3, false}), RestartKind::Cold},
        RestartCase{"factory", dialogs::BuildResetSentence({0, 0, false}), RestartKind::Factory},
        RestartCase{"bits_cold", dialogs::BuildResetSentence({4 | 16 | 32, 0, true}), RestartKind::Cold},
        RestartCase{"ecef_warm", dialogs::BuildEcefInitSentence({"1", "2", "3", "0", "0", "0", 4, 1}),
                    RestartKind::Warm}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST_F(SimulatorTest, ReplayKeepsTheRecordingsPaceAndGoesRound) {
  Start();
  const std::string file = Command("$GPGGA,120000.00,4722.6146,N,00832.5021,E,1,08,1.0,409.7,M,0.0,M,,") +
                           Command("$GPGSA,A,3") +
                           Command("$GPGGA,120001.00,4722.6146,N,00832.5021,E,1,08,1.0,409.7,M,0.0,M,,") +
                           "\n" + Command("$GPRMC,120001.00,A,4722.6146,N,00832.5021,E,0.0,0.0,150625,,,A") +
                           Command("$GPGGA,120003.00,4722.6146,N,00832.5021,E,1,08,1.0,409.7,M,0.0,M,,");
  sim->SetReplay(ReplaySource(file));
  EXPECT_EQ(Heads(RunFor(0)), (std::vector<std::string>{"$GPGGA", "$GPGSA"}));
  std::vector<std::pair<Millis, std::vector<std::string>>> seen;
  const Millis start = clock.Now();
  while (clock.Now() < start + 5500) {
    if (std::string out = RunFor(100); !out.empty()) seen.emplace_back(clock.Now() - start, Heads(out));
  }
  using HeadList = std::vector<std::string>;
  EXPECT_EQ(seen, (std::vector<std::pair<Millis, HeadList>>{{1000, {"$GPGGA", "$GPRMC"}},
                                                            {3000, {"$GPGGA"}},
                                                            {4000, {"$GPGGA", "$GPGSA"}},
                                                            {5000, {"$GPGGA", "$GPRMC"}}}));
  // The receiver still answers while it replays.
  EXPECT_EQ(nmea::FieldView(Send(Command("$PVLRX600")), 1), "$PVLX600 Velorin QK7720");
}

}  // namespace
}  // namespace sim
