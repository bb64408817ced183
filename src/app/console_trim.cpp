#include "app/console_trim.h"

#include <algorithm>
#include <cstdint>

namespace app {
namespace {

// Where line `line` of the console followed by `addition` starts.
std::size_t CombinedLineStart(const ConsoleShape& console, std::string_view addition, std::int64_t line) {
  const int own = console.Lines();
  if (line < own) return console.LineStart(static_cast<int>(line));
  // Line own - 1 + j starts after the j-th line end of the addition.
  std::int64_t ends = line - own + 1;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = addition.find('\n', at);
    if (end == std::string_view::npos) return console.Length() + addition.size();  // not reached
    at = end + 1;
    if (--ends == 0) return console.Length() + at;
  }
}

// The first line start at or after `position` of the combined text, or
// `position` itself when no line with text in it starts there or later: a
// long last line then loses its front rather than all of it.
std::size_t LineStartFrom(const ConsoleShape& console, std::string_view addition, std::size_t position) {
  const std::size_t length = console.Length();
  const std::size_t total = length + addition.size();
  std::size_t start = total;
  const int lastOwn = console.Lines() - 1;
  if (position <= console.LineStart(lastOwn)) {
    int line = console.LineAt(position);
    if (console.LineStart(line) < position) ++line;
    start = console.LineStart(line);
  } else {
    const std::size_t from = position > length ? position - length - 1 : 0;
    const std::size_t end = addition.find('\n', from);
    if (end != std::string_view::npos) start = length + end + 1;
  }
  return start < total ? start : position;
}

}  // namespace

std::string ConsoleLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::size_t PlanConsoleCut(const ConsoleShape& console, std::string_view addition,
                           const ConsoleBounds& bounds) {
  const std::int64_t maxLines = std::max(bounds.maxLines, 1);
  const std::int64_t trim = std::max(bounds.trimLines, 1);
  // Lines that hold text or have ended: the empty line after a final line
  // end is not one yet. Counted so, 199 lines and one more make 200 and stay;
  // the next one brings 201 and the oldest 20 go.
  std::int64_t lines =
      console.Lines() + static_cast<std::int64_t>(std::count(addition.begin(), addition.end(), '\n'));
  const bool openLineEmpty =
      addition.empty() ? console.LineStart(console.Lines() - 1) == console.Length() : addition.back() == '\n';
  if (openLineEmpty) --lines;
  std::size_t cut = 0;
  if (lines > maxLines) {
    // As many rounds of `trim` lines as it takes to get within the limit.
    const std::int64_t gone = (lines - maxLines + trim - 1) / trim * trim;
    cut = CombinedLineStart(console, addition, gone);
  }
  const std::size_t end = console.Length() + addition.size();
  if (end - cut > bounds.maxChars) {
    const std::size_t keep = bounds.maxChars / 2;
    cut = std::max(cut, LineStartFrom(console, addition, end - keep));
  }
  return cut;
}

}  // namespace app
