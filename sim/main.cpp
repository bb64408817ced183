// gpsdesk-sim: a GPS receiver on a pseudo-terminal. It publishes the
// terminal under a COM name in the serial layer's link folder, plays the
// receiver model (or a recording) on it, answers the tool's commands, logs
// what it receives to standard error, and removes its link when ended by
// SIGINT, SIGTERM or SIGHUP. With --tcp it serves the same line on a TCP
// socket too (tcp_line.h).

#include <fcntl.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "gpsdesk_version.h"
#include "serial/port_names.h"
#include "serial/serial_system.h"
#include "sim/options.h"
#include "sim/simulator.h"
#include "sim/tcp_line.h"

namespace {

constexpr int kLongestWaitMs = 250;        // the tool's port speed is looked at this often at least
constexpr std::size_t kReadLimit = 65536;  // per wake-up

void LogLine(std::string_view text) {
  const sim::Millis now = sim::SystemClock().Now();
  const std::time_t seconds = static_cast<std::time_t>(now / 1000);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  std::fprintf(stderr, "%02d:%02d:%02d.%03d %.*s\n", tm.tm_hour, tm.tm_min, tm.tm_sec,
               static_cast<int>(now % 1000), static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
}

void Report(const std::string& what) { std::fprintf(stderr, "gpsdesk-sim: %s\n", what.c_str()); }

bool Fail(const std::string& what) {
  Report(what);
  return false;
}

// A descriptor closed with its owner.
struct Descriptor {
  int fd = -1;
  explicit Descriptor(int f = -1) : fd(f) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

// The pseudo-terminal: the master the simulator talks through, and a slave
// descriptor kept open so the terminal stays up, and its settings with it,
// between the tool's opens.
struct Pty {
  Descriptor master;
  Descriptor slave;
  std::string slavePath;
};

bool OpenPty(Pty& pty, std::uint32_t baud) {
  pty.master.fd = posix_openpt(O_RDWR | O_NOCTTY);
  if (pty.master.fd < 0) return Fail(std::string("no pseudo-terminal: ") + std::strerror(errno));
  fcntl(pty.master.fd, F_SETFD, FD_CLOEXEC);
  fcntl(pty.master.fd, F_SETFL, fcntl(pty.master.fd, F_GETFL) | O_NONBLOCK);
  char name[128];
  if (grantpt(pty.master.fd) != 0 || unlockpt(pty.master.fd) != 0 ||
      ptsname_r(pty.master.fd, name, sizeof name) != 0) {
    return Fail(std::string("pseudo-terminal not usable: ") + std::strerror(errno));
  }
  pty.slavePath = name;
  pty.slave.fd = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (pty.slave.fd < 0) return Fail("cannot open " + pty.slavePath + ": " + std::strerror(errno));

  termios t{};
  if (tcgetattr(pty.slave.fd, &t) != 0) return Fail(std::string("tcgetattr: ") + std::strerror(errno));
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  if (tcsetattr(pty.slave.fd, TCSANOW, &t) != 0)
    return Fail(std::string("tcsetattr: ") + std::strerror(errno));
  serial::LineSettings line;
  serial::SerialSystem& system = serial::RealSerialSystem();
  if (system.GetLine(pty.slave.fd, line) != 0) return Fail("cannot read the terminal's settings");
  line.baud = baud;
  if (system.SetLine(pty.slave.fd, line) != 0) return Fail("cannot set the terminal's speed");
  return true;
}

// The speed the tool (or whoever last set it) gave the terminal; 0 if unknown.
std::uint32_t TerminalBaud(int slave) {
  serial::LineSettings line;
  return serial::RealSerialSystem().GetLine(slave, line) == 0 ? line.baud : 0;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

void Record(std::FILE* record, std::string_view bytes) {
  if (record == nullptr || bytes.empty()) return;
  std::fwrite(bytes.data(), 1, bytes.size(), record);
  std::fflush(record);
}

// Writes what the line carries; what the terminal cannot take is lost, as on
// a real line nobody listens to. Returns whether everything went out. What
// went out is also appended to `record` when one is open.
bool WriteOut(int fd, std::string_view bytes, std::FILE* record) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      Record(record, bytes.substr(0, static_cast<std::size_t>(n)));
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

int Run(const sim::ProgramOptions& options) {
  std::optional<sim::ReplaySource> replay;
  if (!options.replayPath.empty()) {
    std::string text;
    if (!ReadFile(options.replayPath, text)) {
      Report("cannot read " + options.replayPath);
      return 1;
    }
    replay.emplace(text);
    if (replay->Empty()) {
      Report(options.replayPath + " holds no lines");
      return 1;
    }
  }

  // Signals arrive through a descriptor the loop waits on.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  const Descriptor signals(signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK));
  if (signals.fd < 0) {
    Report(std::string("signalfd: ") + std::strerror(errno));
    return 1;
  }

  Pty pty;
  if (!OpenPty(pty, options.sim.baud)) return 1;
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> record;
  if (!options.recordPath.empty()) {
    record.reset(std::fopen(options.recordPath.c_str(), "wb"));
    if (!record) {
      Report("cannot create " + options.recordPath);
      return 1;
    }
  }

  sim::TcpLine tcp;
  if (options.tcpPort >= 0) {
    if (const std::string error = tcp.Listen(options.tcpHost, options.tcpPort); !error.empty()) {
      Report(error);
      return 1;
    }
    std::printf("%s\n", tcp.Address().c_str());
    std::fflush(stdout);
    LogLine("serving " + tcp.Address() + " (one client at a time)");
  }

  const serial::PortLocations where = serial::DefaultPortLocations();
  const std::string comName = serial::ComNameOf(options.com);
  bool published = false;
  if (where.linkFolder.empty()) {
    // The socket alone is enough to be of use.
    if (!tcp.Listening()) {
      Report("neither XDG_RUNTIME_DIR nor HOME is set: nowhere to publish " + comName);
      return 1;
    }
    LogLine("neither XDG_RUNTIME_DIR nor HOME is set: " + comName + " is not published");
  } else if (const serial::Status status = serial::PublishPortLink(where, comName, pty.slavePath);
             status != 0) {
    Report("cannot publish " + comName + " in " + where.linkFolder + " (error " + std::to_string(status) +
           ")");
    return 1;
  } else {
    published = true;
    LogLine("published " + comName + " -> " + pty.slavePath + " in " + where.linkFolder);
  }

  sim::SystemClock clock;
  sim::ProgramOptions settings = options;
  settings.sim.version = std::string("gpsdesk-sim ") + GPSDESK_VERSION;
  sim::Simulator simulator(settings.sim, clock, LogLine);
  if (replay) {
    simulator.SetReplay(std::move(*replay));
    LogLine("replaying " + options.replayPath);
  }

  bool dropping = false;
  for (;;) {
    const sim::Millis wait = simulator.NextDue() - clock.Now();
    const int timeout = wait <= 0 ? 0 : static_cast<int>(wait < kLongestWaitMs ? wait : kLongestWaitMs);
    // Negative descriptors (no socket, no client) are passed over by poll.
    pollfd fds[4] = {{pty.master.fd, POLLIN, 0},
                     {signals.fd, POLLIN, 0},
                     {tcp.ListenerFd(), POLLIN, 0},
                     {tcp.ClientFd(), POLLIN, 0}};
    if (poll(fds, 4, timeout) < 0 && errno != EINTR) {
      Fail(std::string("poll: ") + std::strerror(errno));
      break;
    }
    if (fds[1].revents & POLLIN) {
      signalfd_siginfo info{};
      if (read(signals.fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        LogLine(std::string("stopping on ") + strsignal(static_cast<int>(info.ssi_signo)));
      }
      break;
    }
    if (fds[3].revents != 0 && fds[3].fd == tcp.ClientFd()) {
      std::string heard;
      const bool stays = tcp.ReadClient(heard);
      simulator.Receive(heard);
      if (!stays) LogLine("client left");
    }
    if (fds[2].revents & POLLIN) {
      if (const std::string what = tcp.Accept(); !what.empty()) LogLine(what);
    }
    // A network line has no speed of its own: while a client reads the socket
    // the receiver's output reaches it as sent.
    simulator.SetToolBaud(tcp.HasClient() ? 0 : TerminalBaud(pty.slave.fd));
    if (fds[0].revents & POLLIN) {
      char buffer[4096];
      std::size_t total = 0;
      while (total < kReadLimit) {
        const ssize_t n = read(pty.master.fd, buffer, sizeof buffer);
        if (n <= 0) break;
        simulator.Receive(std::string_view(buffer, static_cast<std::size_t>(n)));
        total += static_cast<std::size_t>(n);
      }
    }
    simulator.Tick();
    const std::string out = simulator.TakeOutput();
    if (!out.empty()) {
      // The terminal gets the output always; the record holds what the
      // reader took: the socket's client while there is one.
      const bool socketReads = tcp.HasClient();
      bool sent = WriteOut(pty.master.fd, out, socketReads ? nullptr : record.get());
      if (socketReads) {
        const std::size_t taken = tcp.Write(out);
        Record(record.get(), std::string_view(out).substr(0, taken));
        sent = taken == out.size();
        if (!tcp.HasClient()) LogLine("client left");
      }
      if (sent == dropping) {
        dropping = !sent;
        LogLine(dropping ? "nobody reads the line: output is lost" : "the line is read again");
      }
    }
  }

  // Remove the link only while it still leads to this terminal.
  std::string device;
  if (published && serial::ResolvePortName(comName, device, where) == 0 && device == pty.slavePath) {
    serial::UnpublishPortLink(where, comName);
    LogLine("removed " + comName);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  sim::ProgramOptions options;
  if (const std::string error = sim::ParseOptions(argc, argv, options); !error.empty()) {
    std::fprintf(stderr, "gpsdesk-sim: %s\n%s", error.c_str(), sim::UsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(sim::UsageText().c_str(), stdout);
    return 0;
  }
  return Run(options);
}
