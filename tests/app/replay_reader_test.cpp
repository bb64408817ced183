#include "app/replay_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/timer_texts.h"

namespace {

struct StringSource : app::ByteSource {
  explicit StringSource(std::string s) : data(std::move(s)) {}
  int Get() override { return pos < data.size() ? static_cast<unsigned char>(data[pos++]) : -1; }
  std::string data;
  std::size_t pos = 0;
};

// Records the calls in order, as one list of events.
struct Recorder : app::ReplaySink {
  std::vector<std::string> events;
  void GgaReleased() override { events.push_back("count"); }
  void Sentence(std::string_view s) override { events.push_back("interpret " + std::string(s)); }
  void Echo(std::string_view b) override { events.push_back("echo " + std::string(b)); }
};

const std::string kGroup1 = "$GPGGA,1\r\n$GPGSA,A,3\r\n$GPGSV,1,1,00\r\n$GPRMC,1\r\n";
const std::string kGroup2 = "$GPGGA,2\r\n$GPGSA,A,2\r\n$GPGSV,1,1,00\r\n$GPRMC,2\r\n";

TEST(ReplayReader, OneGroupPerTickWithTheGgaHeldOver) {
  StringSource src("$GPTXT,hello\r\n" + kGroup1 + kGroup2);
  app::ReplayReader r;
  Recorder rec;
  using R = app::ReplayReader::TickResult;
  EXPECT_EQ(r.Tick(src, rec), R::More);  // only the lines before the first GGA
  EXPECT_EQ(rec.events, (std::vector<std::string>{"interpret $GPTXT,hello", "echo $GPTXT,hello\r\n"}));
  EXPECT_TRUE(r.GgaHeld());

  rec.events.clear();
  EXPECT_EQ(r.Tick(src, rec), R::More);
  EXPECT_EQ(rec.events,
            (std::vector<std::string>{"count", "interpret $GPGGA,1", "interpret $GPGSA,A,3",
                                      "interpret $GPGSV,1,1,00", "interpret $GPRMC,1", "echo " + kGroup1}));
  rec.events.clear();
  EXPECT_EQ(r.Tick(src, rec), R::EndOfFile);  // the last group goes out at the end
  EXPECT_EQ(rec.events.front(), "count");
  EXPECT_EQ(rec.events.back(), "echo " + kGroup2);
}

TEST(ReplayReader, ThirtyLinesPerTickWithoutGga) {
  std::string file;
  for (int i = 0; i < 45; ++i) file += "$GPRMC," + std::to_string(i) + "\r\n";
  StringSource src(file);
  app::ReplayReader r;
  Recorder rec;
  EXPECT_EQ(r.Tick(src, rec), app::ReplayReader::TickResult::More);
  ASSERT_EQ(rec.events.size(), 31u);  // 30 interpretations, then one echo
  EXPECT_EQ(rec.events[29], "interpret $GPRMC,29");
  EXPECT_EQ(rec.events[30].substr(0, 16), "echo $GPRMC,0\r\n$");
  rec.events.clear();
  EXPECT_EQ(r.Tick(src, rec), app::ReplayReader::TickResult::EndOfFile);
  EXPECT_EQ(rec.events.size(), 16u);
}

TEST(ReplayReader, PartialLastLineEchoedNotInterpretedAndLongLinesBounded) {
  StringSource src("$GPRMC,1\r$GPRMC,2");  // CR-only ends, unterminated last line
  app::ReplayReader r;
  Recorder rec;
  EXPECT_EQ(r.Tick(src, rec), app::ReplayReader::TickResult::EndOfFile);
  EXPECT_EQ(rec.events, (std::vector<std::string>{"interpret $GPRMC,1", "echo $GPRMC,1\r\n$GPRMC,2"}));

  // A file with no CR at all: 30 passes of 2000 bytes end the tick.
  StringSource endless(std::string(100000, 'x'));
  Recorder rec2;
  EXPECT_EQ(r.Tick(endless, rec2), app::ReplayReader::TickResult::More);
  EXPECT_EQ(endless.pos, 60000u);
  EXPECT_TRUE(rec2.events.empty());  // the incomplete line is dropped
}

TEST(ReplayReader, UnixLineEndsReplayLikeCrLf) {
  std::string crlf = "$GPTXT,x\r\n" + kGroup1 + kGroup2;
  std::string lf;
  for (char c : crlf)
    if (c != '\r') lf += c;
  StringSource a(crlf), b(lf);
  app::ReplayReader ra, rb;
  Recorder reca, recb;
  while (ra.Tick(a, reca) == app::ReplayReader::TickResult::More) {
  }
  while (rb.Tick(b, recb) == app::ReplayReader::TickResult::More) {
  }
  EXPECT_EQ(recb.events, reca.events);
  EXPECT_EQ(reca.events.size(), 14u);
}

TEST(ReplayReader, RestartForgetsTheHeldGga) {
  StringSource a("$GPGGA,1\r\n");
  app::ReplayReader r;
  Recorder rec;
  r.Tick(a, rec);
  EXPECT_TRUE(r.GgaHeld());
  r.Restart();
  StringSource b("");
  rec.events.clear();
  r.Tick(b, rec);
  EXPECT_TRUE(rec.events.empty());
}

TEST(ReplayReader, AnyTalkersGgaStartsAGroupOnlyWhenAsked) {
  const std::string file = "$GNRMC,1\r\n$GNGGA,1\r\n$GLGSV,1,1,00\r\n$GNGGA,2\r\n$IIGGA,3\r\n$GNGGAX,4\r\n";
  for (const auto start : {app::GroupStart::GpGga, app::GroupStart::AnyGga}) {
    StringSource src(file);
    app::ReplayReader r;
    r.SetGroupStart(start);
    Recorder rec;
    std::vector<int> ticks;  // lines echoed per tick
    while (true) {
      rec.events.clear();
      const auto result = r.Tick(src, rec);
      const std::string echoed = rec.events.empty() ? "" : rec.events.back();
      ticks.push_back(static_cast<int>(std::count(echoed.begin(), echoed.end(), '\n')));
      if (result == app::ReplayReader::TickResult::EndOfFile) break;
    }
    // Only GNSS talkers' GGA heads begin a group; other talkers and other heads do not.
    const std::vector<int> expected =
        start == app::GroupStart::AnyGga ? std::vector<int>{1, 2, 3} : std::vector<int>{6};
    EXPECT_EQ(ticks, expected) << static_cast<int>(start);
  }
}

TEST(TimerTexts, Formats) {
  EXPECT_EQ(app::TtffText(0), "TTFF  0 seconds");
  EXPECT_EQ(app::TtffText(59), "TTFF  59 seconds");
  EXPECT_EQ(app::TtffText(75), "TTFF   00:01:15");
  EXPECT_EQ(app::StopwatchText(3725), "Timer  01:02:05");
  EXPECT_EQ(app::StopwatchText(86400 + 61), "Timer  00:01:01");
  EXPECT_EQ(app::TtffText(4294967295u), "TTFF   06:28:15");
}

}  // namespace
