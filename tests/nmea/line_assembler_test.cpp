#include "app/line_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Recorder : app::LineSink {
  std::string console;
  std::vector<std::string> sentences;
  int arms = 0, stops = 0;
  void ConsoleText(std::string_view t) override {
    console += t;
    pieces.emplace_back(t);
  }
  void Sentence(std::string_view s) override { sentences.emplace_back(s); }
  void ArmFlush() override { ++arms; }
  void StopFlush() override { ++stops; }
  std::vector<std::string> pieces;
};

const std::string kGga = "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76";

struct FramingCase {
  const char* legend;
  std::string input;
  std::string console;
  std::vector<std::string> sentences;
};

void PrintTo(const FramingCase& c, std::ostream* os) { *os << c.legend; }

class Framing : public testing::TestWithParam<FramingCase> {};

TEST_P(Framing, ConsoleAndSentences) {
  const FramingCase& c = GetParam();
  Recorder r;
  app::LineAssembler a;
  a.Feed(c.input, r);
  a.Flush(r);
  EXPECT_EQ(r.console, c.console);
  EXPECT_EQ(r.sentences, c.sentences);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Framing,
    testing::Values(
        FramingCase{"crlf", kGga + "\r\n", kGga + "\r\n", {kGga}},
        FramingCase{"cr_only", kGga + "\r", kGga + "\r\n", {kGga}},
        FramingCase{"lf_only_never_interpreted", kGga + "\n" + kGga + "\n", kGga + kGga, {}},
        FramingCase{
            "leading_garbage_shown_not_interpreted", "xy" + kGga + "\r\n", "xy" + kGga + "\r\n", {kGga}},
        FramingCase{"two_run_together_last_dollar_wins",
                    "$GPGSA,A,1$GPRMC,,V\r\n",
                    "$GPGSA,A,1$GPRMC,,V\r\n",
                    {"$GPRMC,,V"}},
        FramingCase{"control_byte_disqualifies",
                    "$GPGSA,A,\x01"
                    "3\r\n",
                    "$GPGSA,A,\x01"
                    "3\r\n",
                    {}},
        FramingCase{
            "later_dollar_requalifies", "$GP\x01XX$GPRMC,,V\r", "$GP\x01XX$GPRMC,,V\r\n", {"$GPRMC,,V"}},
        FramingCase{"high_byte_disqualifies", "$GPRMC,\xb0,V\r", "$GPRMC,\xb0,V\r\n", {}},
        FramingCase{"zero_byte_kept_in_console",
                    std::string("$GPRMC,\0,V\r\nA\r", 14),
                    std::string("$GPRMC,\0,V\r\nA\r\n", 15),
                    {}},
        FramingCase{"tab_is_white_space", "$GPRMC,\t,V\r", "$GPRMC,\t,V\r\n", {"$GPRMC,\t,V"}},
        FramingCase{"no_dollar", "hello\r", "hello\r\n", {}},
        FramingCase{"empty_lines", "\r\n\r\n", "\r\n\r\n", {}},
        FramingCase{"unterminated_flushed", "$GPRMC,1", "$GPRMC,1", {}}),
    [](const testing::TestParamInfo<FramingCase>& info) { return std::string(info.param.legend); });

TEST(LineAssembler, SplitAtEveryByteGivesOneLineAndOneSentence) {
  const std::string line = kGga + "\r\n";
  for (std::size_t cut = 0; cut <= line.size(); ++cut) {
    Recorder r;
    app::LineAssembler a;
    a.Feed(line.substr(0, cut), r);
    a.Feed(line.substr(cut), r);
    EXPECT_EQ(r.console, line) << cut;
    ASSERT_EQ(r.sentences.size(), 1u) << cut;
    EXPECT_EQ(r.sentences[0], kGga);
  }
}

TEST(LineAssembler, FlushShowsPartialLineAndSentenceStillCompletes) {
  Recorder r;
  app::LineAssembler a;
  a.Feed("$GPRMC,12", r);
  EXPECT_EQ(r.arms, 1);  // armed once, by the first byte
  EXPECT_TRUE(a.FlushArmed());
  a.Flush(r);
  EXPECT_FALSE(a.FlushArmed());
  EXPECT_EQ(r.pieces, (std::vector<std::string>{"$GPRMC,12"}));
  a.Feed("34,V\r\n", r);
  EXPECT_EQ(r.arms, 2);  // the remainder armed the timer again
  EXPECT_EQ(r.pieces, (std::vector<std::string>{"$GPRMC,12", "34,V\r\n"}));
  EXPECT_EQ(r.sentences, (std::vector<std::string>{"$GPRMC,1234,V"}));
  a.Flush(r);  // nothing pending: nothing shown
  EXPECT_EQ(r.pieces.size(), 2u);
}

// The device went away in the middle of a line: the line ends there, and
// what the next device sends is never taken for the rest of its sentence.
TEST(LineAssembler, EndedLineIsClosedAndItsSentenceDropped) {
  Recorder r;
  app::LineAssembler a;
  a.Feed("$GPRMC,12", r);
  a.Flush(r);  // part of the line is on screen already
  a.EndLine(r);
  EXPECT_EQ(r.console, "$GPRMC,12\r\n");
  EXPECT_FALSE(a.FlushArmed());
  a.Feed("34,V\r\n$GPRMC,56,A\r\n", r);
  EXPECT_EQ(r.console, "$GPRMC,12\r\n34,V\r\n$GPRMC,56,A\r\n");
  EXPECT_EQ(r.sentences, (std::vector<std::string>{"$GPRMC,56,A"}));

  a.Feed("$GPGSA", r);  // not flushed yet
  a.EndLine(r);
  EXPECT_EQ(r.console, "$GPRMC,12\r\n34,V\r\n$GPRMC,56,A\r\n$GPGSA\r\n");
  a.EndLine(r);  // between lines: nothing to end
  EXPECT_EQ(r.console, "$GPRMC,12\r\n34,V\r\n$GPRMC,56,A\r\n$GPGSA\r\n");
  EXPECT_EQ(r.sentences.size(), 1u);
}

// The port was closed in the middle of a sentence: the console keeps the
// text as it came, but the next port's bytes never complete that sentence.
TEST(LineAssembler, DroppedSentenceIsNotCompletedByTheNextSource) {
  Recorder r;
  app::LineAssembler a;
  a.Feed("$GPGGA,1200", r);
  a.Flush(r);
  a.DropSentence();
  a.Feed("00.00,4807.038,N\r\n$GPRMC,1,A\r\n", r);
  EXPECT_EQ(r.console, "$GPGGA,120000.00,4807.038,N\r\n$GPRMC,1,A\r\n");
  EXPECT_EQ(r.sentences, (std::vector<std::string>{"$GPRMC,1,A"}));
}

TEST(LineAssembler, OverlongSentenceIsShownButNotInterpreted) {
  Recorder r;
  app::LineAssembler a;
  const std::string huge = "$GPXXX," + std::string(app::LineAssembler::kMaxSentence, 'x');
  a.Feed(huge + "\r" + "$GPRMC,,V\r", r);
  EXPECT_EQ(r.console, huge + "\r\n$GPRMC,,V\r\n");
  EXPECT_EQ(r.sentences, (std::vector<std::string>{"$GPRMC,,V"}));
  // The longest sentence still interpreted, fed in pieces.
  std::string longest = "$GPXXX," + std::string(app::LineAssembler::kMaxSentence - 7, 'y');
  a.Feed(longest.substr(0, 1000), r);
  a.Feed(longest.substr(1000) + "\r", r);
  EXPECT_EQ(r.sentences.back(), longest);
  a.Feed(longest + "y\r", r);  // one byte more
  EXPECT_EQ(r.sentences.back(), longest);
  EXPECT_EQ(r.sentences.size(), 2u);
}

TEST(LineAssembler, WithoutConsoleMemoryStaysBounded) {
  Recorder r;
  app::LineAssembler a(/*keepConsole=*/false);
  const std::string chunk(4096, 'z');
  a.Feed("$", r);
  for (int i = 0; i < 100; ++i) a.Feed(chunk, r);
  EXPECT_TRUE(a.ConsoleLine().empty());
  EXPECT_LE(a.SentenceText().size(), app::LineAssembler::kMaxSentence);
  EXPECT_TRUE(r.console.empty());
}

}  // namespace
