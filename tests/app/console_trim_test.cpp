#include "app/console_trim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

using app::ConsoleBounds;
using app::PlanConsoleCut;

// A console held as plain text, lines separated by '\n'.
class TextConsole final : public app::ConsoleShape {
 public:
  int Lines() const override { return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1; }
  std::size_t Length() const override { return text.size(); }
  std::size_t LineStart(int line) const override {
    std::size_t at = 0;
    for (int i = 0; i < line; ++i) at = text.find('\n', at) + 1;
    return at;
  }
  int LineAt(std::size_t position) const override {
    return static_cast<int>(
        std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(position), '\n'));
  }
  // What the window does with the plan: the front goes, the rest is added.
  void Append(const std::string& addition, const ConsoleBounds& bounds = {}) {
    const std::size_t cut = PlanConsoleCut(*this, addition, bounds);
    text = (text + addition).substr(cut);
  }
  std::string text;
};

// The straightforward way: add everything, then take the oldest 20 lines
// away as long as there are more than 200.
// Lines hold text or have ended: the empty one after a final line end does
// not count.
std::ptrdiff_t ContentLines(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n') + (text.empty() || text.back() == '\n' ? 0 : 1);
}

void AppendAndTrimTwentyAtATime(std::string& text, const std::string& addition) {
  text += addition;
  while (ContentLines(text) > 200) {
    std::size_t at = 0;
    for (int i = 0; i < 20; ++i) at = text.find('\n', at) + 1;
    text.erase(0, at);
  }
}

std::string Lines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "line " + std::to_string(i) + "\n";
  return s;
}

TEST(ConsoleLineEnds, EachLineEndBecomesOneNewline) {
  EXPECT_EQ(app::ConsoleLineEnds("a\r\nb\rc\nd\r\n\r\n"), "a\nb\nc\nd\n\n");
  EXPECT_EQ(app::ConsoleLineEnds("\r"), "\n");
  EXPECT_EQ(app::ConsoleLineEnds("\n\r"), "\n\n");  // LF then a lone CR
  EXPECT_EQ(app::ConsoleLineEnds(std::string("x\0\x01\t\x7f\xff", 6)), std::string("x\0\x01\t\x7f\xff", 6));
}

TEST(ConsoleTrim, TwoHundredLinesAtMostAfterEveryAddition) {
  TextConsole console;
  console.Append(Lines(1, 199));
  console.Append("new");  // 200 lines: no trim
  EXPECT_EQ(console.text, Lines(1, 199) + "new");

  console.text = Lines(1, 199);
  console.Append(Lines(200, 200));  // 200 complete lines stay
  EXPECT_EQ(console.text, Lines(1, 200));
  console.Append("new");  // the 201st: the oldest 20 go
  EXPECT_EQ(console.text, Lines(21, 200) + "new");
  console.Append("\n");  // ends the line it started: still 181
  EXPECT_EQ(console.text, Lines(21, 200) + "new\n");

  console.text = Lines(1, 200);
  console.Append(Lines(201, 201));
  EXPECT_EQ(console.text, Lines(21, 201));
}

TEST(ConsoleTrim, LargeAdditionKeepsWhatTwentyLineTrimsWouldKeep) {
  // 5000 lines in one go, onto an empty console and onto one with a pending
  // partial line: the front of the addition goes, not just the console.
  for (const std::string& before : {std::string(), Lines(1, 150) + "partial "}) {
    TextConsole console;
    console.text = before;
    std::string expected = before;
    const std::string addition = Lines(1001, 6000);
    console.Append(addition);
    AppendAndTrimTwentyAtATime(expected, addition);
    EXPECT_EQ(console.text, expected);
    EXPECT_LE(ContentLines(console.text), 200);
  }
}

TEST(ConsoleTrim, AgreesWithTwentyLineTrimsForAnySequenceOfAdditions) {
  std::mt19937 random(7);
  TextConsole console;
  std::string expected;
  int next = 0;
  for (int round = 0; round < 400; ++round) {
    std::string addition;
    const int lines = std::uniform_int_distribution<int>(0, round % 10 == 0 ? 600 : 45)(random);
    for (int i = 0; i < lines; ++i) addition += "l" + std::to_string(next++) + "\n";
    if (random() % 3 == 0) addition += "part" + std::to_string(next++);  // a flushed, unfinished line
    console.Append(addition);
    AppendAndTrimTwentyAtATime(expected, addition);
    ASSERT_EQ(console.text, expected) << "round " << round;
    ASSERT_LE(ContentLines(console.text), 200);
  }
}

TEST(ConsoleTrim, CharacterCapHoldsForFewLongLines) {
  const ConsoleBounds bounds{200, 20, 1000};
  TextConsole console;
  // One line that never ends: the oldest characters go, down to half the cap.
  for (int i = 0; i < 7; ++i) {
    console.Append(std::string(300, static_cast<char>('a' + i)), bounds);
    EXPECT_LE(console.text.size(), 1000u);
  }
  // 1200 after 'd' and 1100 after 'f' each went down to the last 500.
  EXPECT_EQ(console.text, std::string(200, 'e') + std::string(300, 'f') + std::string(300, 'g'));
  // A single addition far beyond the cap keeps only its own tail.
  console.Append(std::string(5000, 'x') + "tail", bounds);
  EXPECT_EQ(console.text, std::string(496, 'x') + "tail");

  // Where a line starts in the part that has to go, the cut goes there.
  console.text = std::string(400, 'a') + "\n" + std::string(400, 'b') + "\n";
  console.Append(std::string(300, 'c') + "\n" + std::string(100, 'd'), bounds);
  EXPECT_EQ(console.text, std::string(300, 'c') + "\n" + std::string(100, 'd'));
  console.text = std::string(300, 'a') + "\n" + std::string(500, 'b') + "\n" + std::string(150, 'c');
  console.Append(std::string(100, 'd'), bounds);  // 1052: the first line start past 552 is in the console
  EXPECT_EQ(console.text, std::string(150, 'c') + std::string(100, 'd'));
  // Only the empty line after the last line end starts later: the long
  // line loses its front, not everything.
  console.text = std::string(400, 'a') + "\n";
  console.Append(std::string(700, 'b') + "\n", bounds);
  EXPECT_EQ(console.text, std::string(499, 'b') + "\n");
}

TEST(ConsoleTrim, NothingGoesWithinTheBounds) {
  TextConsole console;
  EXPECT_EQ(PlanConsoleCut(console, ""), 0u);
  console.text = Lines(1, 150);
  EXPECT_EQ(PlanConsoleCut(console, Lines(151, 199)), 0u);
  EXPECT_EQ(PlanConsoleCut(console, std::string(100000, 'x')), 0u);
}

}  // namespace
