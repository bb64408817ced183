#pragma once
// How the console stays bounded. After every addition it holds at most 200
// lines: past that, the oldest lines go 20 at a time until it is back within
// the limit, however many lines one addition brought. A line counts once it
// holds text or has ended; the empty line after a final line end does not, so
// one line at a time the console trims exactly where a count taken before
// each addition of the empty line too would: 200 complete lines stay, the
// 201st takes the oldest 20 away. Input that seldom ends a line cannot grow it without bound either:
// past the character cap, the oldest text goes until half the cap is left,
// cut at a line start where one lies in the part that has to go.
//
// The console is asked what it holds through ConsoleShape; the planner says
// how much to remove from the front of the console followed by the addition,
// so a window removes old text once and inserts only what stays, instead of
// inserting thousands of lines and removing them 20 at a time.

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

struct ConsoleBounds {
  int maxLines = 200;
  int trimLines = 20;
  std::size_t maxChars = 1024 * 1024;
};

// The console as it stands. Positions count characters of the shown text,
// each line end as one.
class ConsoleShape {
 public:
  virtual ~ConsoleShape() = default;
  // At least 1: an empty console holds one empty line.
  virtual int Lines() const = 0;
  virtual std::size_t Length() const = 0;
  // Where line `line` (0 to Lines() - 1) starts.
  virtual std::size_t LineStart(int line) const = 0;
  // The line that holds `position` (0 to Length()).
  virtual int LineAt(std::size_t position) const = 0;
};

// Received text with its line ends as the console shows them: CR LF, a lone
// CR and a lone LF each become one '\n'. Every other byte stays as it is.
std::string ConsoleLineEnds(std::string_view text);

// How many characters to remove from the front of the console's text
// followed by `addition` (line ends as ConsoleLineEnds leaves them), so that
// what remains keeps to `bounds`. Up to Length() they come from the console,
// the rest from the front of the addition. 0 when nothing has to go.
std::size_t PlanConsoleCut(const ConsoleShape& console, std::string_view addition,
                           const ConsoleBounds& bounds = {});

}  // namespace app
