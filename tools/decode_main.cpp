// gpsdesk-decode: reads NMEA bytes from a file or standard input, assembles
// lines as the live receive path does, interprets every sentence with the
// tool's own interpreter (with --all: the every-constellation one) and writes
// one JSON object per sentence.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "app/line_assembler.h"
#include "gnss/gnss_json.h"
#include "gnss/interpret_all.h"
#include "nmea/interpreter.h"
#include "nmea/json.h"

namespace {

constexpr const char* kUsage =
    "usage: gpsdesk-decode [--all] [--state] [--lf] [FILE]\n"
    "Reads NMEA from FILE (or standard input when FILE is absent or \"-\") and writes\n"
    "one JSON object per interpreted sentence to standard output.\n"
    "Lines end at CR, as on the receiver's line; LF is ignored.\n"
    "  --all     interpret every constellation's talkers (GN GL GA GB BD GQ GI...)\n"
    "            as the window's \"All constellations\" mode does\n"
    "  --state   add the whole receiver state to every object\n"
    "  --lf      also end a line at an LF that follows no CR (files saved with Unix line ends)\n";

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

class JsonSink : public app::LineSink {
 public:
  JsonSink(bool all, bool withState) : all_(all), options_{withState}, allOptions_{withState} {}
  void ConsoleText(std::string_view) override {}
  void Sentence(std::string_view sentence) override {
    if (all_) {
      gnss::InterpretAll(sentence, model_, result_);
      gnss::AppendJsonLine(out_, sentence, result_, model_, allOptions_);
    } else {
      nmea::Interpret(sentence, state_, result_);
      nmea::AppendJsonLine(out_, sentence, result_, state_, options_);
    }
    ++count_;
  }
  std::string& Out() { return out_; }
  unsigned long long Count() const { return count_; }

 private:
  bool all_;
  nmea::JsonOptions options_;
  gnss::JsonOptions allOptions_;
  nmea::ReceiverState state_;
  gnss::GnssModel model_;
  nmea::Interpretation result_;
  std::string out_;
  unsigned long long count_ = 0;
};

// Turns an LF that follows no CR into a CR, so Unix-style files split into
// lines; a CR LF pair passes unchanged (the LF is then ignored as usual).
class BareLfToCr {
 public:
  std::string_view Apply(std::string_view in) {
    buf_.assign(in);
    for (char& c : buf_) {
      const bool isCr = c == '\r';
      if (c == '\n' && !prevCr_) c = '\r';
      prevCr_ = isCr;
    }
    return buf_;
  }

 private:
  std::string buf_;
  bool prevCr_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  bool all = false;
  bool withState = false;
  bool lfEndsLines = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--all") {
      all = true;
    } else if (arg == "--state") {
      withState = true;
    } else if (arg == "--lf") {
      lfEndsLines = true;
    } else if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "gpsdesk-decode: unknown option %s\n%s", argv[i], kUsage);
      return 2;
    } else if (path) {
      std::fprintf(stderr, "gpsdesk-decode: only one input file\n%s", kUsage);
      return 2;
    } else {
      path = argv[i];
    }
  }

  int fd = STDIN_FILENO;
  if (path && std::strcmp(path, "-") != 0) {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      std::fprintf(stderr, "gpsdesk-decode: cannot open %s: %s\n", path, std::strerror(errno));
      return 2;
    }
  }

  app::LineAssembler assembler(/*keepConsole=*/false);
  JsonSink sink(all, withState);
  sink.Out().reserve(1 << 17);
  BareLfToCr lfToCr;
  bool sawLf = false;
  static char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "gpsdesk-decode: read error: %s\n", std::strerror(errno));
      break;  // what was decoded so far stands
    }
    if (n == 0) break;
    std::string_view chunk(buf, static_cast<std::size_t>(n));
    if (lfEndsLines) {
      chunk = lfToCr.Apply(chunk);
    } else if (!sawLf) {
      sawLf = chunk.find('\n') != std::string_view::npos;
    }
    assembler.Feed(chunk, sink);
    if (sink.Out().size() >= (1 << 16)) {
      if (!WriteAll(STDOUT_FILENO, sink.Out())) return 0;  // reader went away
      sink.Out().clear();
    }
  }
  WriteAll(STDOUT_FILENO, sink.Out());
  if (sink.Count() == 0 && sawLf) {
    std::fputs("gpsdesk-decode: no line ended with CR; for files with Unix line ends use --lf\n", stderr);
  }
  if (fd != STDIN_FILENO) ::close(fd);
  return 0;
}
