// The real main window on network sources: gpsdesk-sim's socket as a raw
// tcp:// stream, and a real gpsd fed by gpsfake (Debian package
// gpsd-clients) as gpsd://. What the user sees must be the window of a local
// port: the same data, the same commands where they can be sent, and a lost
// connection reported as an unplugged device is.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "app/network_source.h"
#include "platform/qt_window_messages.h"
#include "resources/main_ids.h"
#include "serial/port_names.h"
#include "serial/serial_wnd.h"

extern char** environ;

namespace {

using app::CMainDlg;

constexpr int kPatienceMs = 20000;  // failure bound only

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = std::string(path != nullptr ? path : "") + ":/usr/sbin:/usr/local/sbin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    const std::string candidate = dirs.substr(start, colon - start) + "/" + name;
    if (colon > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = colon + 1;
  }
  return {};
}

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
    port = ntohs(a.sin_port);
  close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  if (!ok && errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    int err = 0;
    socklen_t length = sizeof err;
    ok = poll(&p, 1, 200) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) == 0 && err == 0;
  }
  close(fd);
  return ok;
}

// A child process in a process group of its own, its output in a file,
// ended with the whole group.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Stop(SIGTERM); }

  bool Start(std::vector<std::string> args, const std::string& log, const std::vector<std::string>& env) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envCopy = env;
    std::vector<char*> envp;
    for (std::string& e : envCopy) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    if (posix_spawn(&pid_, argv[0], &files, &attributes, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    return pid_ > 0;
  }
  // Ends the group (the child and what it started) and waits until none of
  // it is left.
  void Stop(int signal) {
    if (pid_ <= 0) return;
    kill(-pid_, signal);
    waitpid(pid_, nullptr, 0);
    if (!QTest::qWaitFor([&] { return kill(-pid_, 0) != 0; }, 5000)) {
      kill(-pid_, SIGKILL);
      EXPECT_TRUE(QTest::qWaitFor([&] { return kill(-pid_, 0) != 0; }, 5000)) << "the group outlived SIGKILL";
    }
    pid_ = -1;
  }
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

std::vector<std::string> Environment(const std::string& replace, const std::string& value) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind(replace + "=", 0) != 0) env.emplace_back(*e);
  }
  env.push_back(replace + "=" + value);
  return env;
}

// gpsdesk-sim serving its line on a free TCP port.
class SocketSimulator {
 public:
  SocketSimulator() {
    log_ = dir_.path().toStdString() + "/sim.log";
    sim_.Start(
        {GPSDESK_SIM, "--com", "5", "--tcp", "0", "--ttff-scale", "0.04", "--lat", "25.05", "--lon", "121.5"},
        log_, Environment("XDG_RUNTIME_DIR", dir_.path().toStdString()));
  }
  // "tcp://127.0.0.1:<port>", once it serves.
  std::string Address() {
    std::string address;
    (void)QTest::qWaitFor(
        [&] {
          const std::string log = Log();
          const std::size_t at = log.find("serving tcp://");
          if (at == std::string::npos) return false;
          const std::size_t end = log.find(' ', at + 8);
          address = log.substr(at + 8, end - at - 8);
          return true;
        },
        kPatienceMs);
    return address;
  }
  void Kill() { sim_.Stop(SIGKILL); }
  std::string Log() const { return Slurp(log_); }

 private:
  QTemporaryDir dir_;  // its own link folder: the pty it also publishes stays out of the window's way
  std::string log_;
  Child sim_;
};

// gpsd on a free port, fed a recording by gpsfake, over and over. Its files
// (the control socket, the pseudo-terminal's link) go to a folder of the
// test's own.
class GpsFake {
 public:
  static bool Installed() { return !FindProgram("gpsfake").empty() && !FindProgram("gpsd").empty(); }

  explicit GpsFake(const std::string& recording) : port_(FreePort()) {
    log_ = dir_.path().toStdString() + "/gpsfake.log";
    // Feeding starts at once, not when a client comes: looping (no -1)
    // keeps the receiver talking for as long as the test needs.
    fake_.Start({FindProgram("gpsfake"), "-P", std::to_string(port_), "-q", "-c", "0.05",
                 std::string(GPSDESK_TEST_DATA) + "/nmea/" + recording},
                log_, Environment("TMPDIR", dir_.path().toStdString()));
  }
  bool Ready() const {
    return fake_.Running() && QTest::qWaitFor([&] { return Accepts(port_); }, kPatienceMs);
  }
  std::string Address(const std::string& device = {}) const {
    return "gpsd://127.0.0.1:" + std::to_string(port_) + device;
  }
  std::string Log() const { return Slurp(log_); }

 private:
  QTemporaryDir dir_;
  int port_;
  std::string log_;
  Child fake_;
};

// Counts the port notifications that report a hang-up, before the window
// handles them.
class HangUpCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    const platform::WindowMessageEvent* m = platform::AsWindowMessage(event);
    if (m != nullptr && m->Message() == serial::CSerialWnd::DefaultComMsg() && (m->First() & serial::EV_ERR))
      ++hangUps;
    return false;
  }
  int hangUps = 0;
};

struct Window {
  Window(const std::string& name, const std::string& address) : name(name) {
    EXPECT_EQ(serial::PublishPortAddress(serial::DefaultPortLocations(), name, address), 0);
    dlg.show();
    dlg.portName = name;
    dlg.baudRate = 9600;
    dlg.UpdateSourceDisplay();
  }
  ~Window() { serial::UnpublishPortLink(serial::DefaultPortLocations(), name); }
  void Click(int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
  std::string Console() const {
    return dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->toPlainText().toStdString();
  }
  std::string Tip(int id) const { return dlg.Control(id)->toolTip().toStdString(); }
  bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, kPatienceMs); }
  bool Shows(int id, const std::string& text) {
    return WaitFor([&] { return dlg.ItemText(id) == text; });
  }
  std::string name;
  CMainDlg dlg;
};

constexpr int kSendingButtons[] = {
    ids::kFactory,       ids::kHotStart, ids::kWarmStart,   ids::kColdStart,  ids::kVersionQuery,
    ids::kSettingsQuery, ids::kSetBaud,  ids::kEcefInit,    ids::kLatLonInit, ids::kDatum,
    ids::kMsgMode,       ids::kSetNmea,  ids::kNavSettings, ids::kReset,      ids::kLowPower,
    ids::kFixExtraction, ids::kEnterIsp};

TEST(NetworkSource, SimulatorOverTcpLooksLikeALocalPortUntilItIsGone) {
  SocketSimulator sim;
  const std::string address = sim.Address();
  ASSERT_FALSE(address.empty()) << sim.Log();
  Window w("COM6", address);
  HangUpCounter counter;
  w.dlg.installEventFilter(&counter);
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.ItemText(ids::kStatus), "COM6 open OK!\r\n");
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM6 9600bps");
  EXPECT_EQ(w.Tip(ids::kSourceLabel),
            "COM6 is " + address + ", a network source: the rate and line settings do not apply");
  EXPECT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  EXPECT_TRUE(w.Shows(ids::kLatitudeDeg, "N025"));
  EXPECT_NE(w.Console().find("$GPRMC,"), std::string::npos);

  // Commands go over the socket to the receiver.
  ASSERT_TRUE(w.dlg.Control(ids::kColdStart)->isEnabled());
  EXPECT_EQ(w.Tip(ids::kColdStart), "");
  w.Click(ids::kColdStart);
  EXPECT_TRUE(w.WaitFor([&] { return sim.Log().find("< $PVLRX111,COLD*") != std::string::npos; }))
      << sim.Log();
  EXPECT_TRUE(w.Shows(ids::kFix, "Fix : not available"));

  // The simulator dies: the window hears of it as of an unplugged device.
  sim.Kill();
  ASSERT_TRUE(w.WaitFor([&] { return counter.hangUps > 0; }));
  if (w.dlg.sourceOpen == 1) w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_FALSE(w.dlg.serial.IsOpen());
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "OPEN");
  EXPECT_EQ(counter.hangUps, 1);
}

TEST(NetworkSource, GpsdSourceShowsTheReceiverAndTakesNoCommands) {
  if (!GpsFake::Installed()) GTEST_SKIP() << "gpsfake is not installed (Debian gpsd and gpsd-clients)";
  GpsFake gpsd("gpsd-nmea-rtk.nmea");
  ASSERT_TRUE(gpsd.Ready()) << gpsd.Log();
  Window w("COM7", gpsd.Address());
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.ItemText(ids::kStatus), "COM7 open OK!\r\n") << w.dlg.serial.FailureDetail();
  EXPECT_TRUE(w.Shows(ids::kLatitudeDeg, "N041"));
  EXPECT_TRUE(w.Shows(ids::kLongitudeDeg, "W093"));
  EXPECT_TRUE(w.WaitFor([&] { return w.Console().find("$GPGGA,") != std::string::npos; }));
  EXPECT_EQ(w.Console().find('{'), std::string::npos) << "gpsd's own lines reached the console";
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM7 9600bps");
  EXPECT_NE(w.Tip(ids::kSourceLabel).find("read through gpsd"), std::string::npos)
      << w.Tip(ids::kSourceLabel);

  for (int id : kSendingButtons) {
    EXPECT_FALSE(w.dlg.Control(id)->isEnabled()) << id;
    EXPECT_EQ(w.Tip(id), app::kGpsdSendBlocked) << id;
  }
  EXPECT_TRUE(w.dlg.Control(ids::kExitIsp)->isEnabled());
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "COM7 closed!\r\n");
  for (int id : kSendingButtons) EXPECT_EQ(w.Tip(id), "") << id;
}

// Every line that comes through gpsd is one of the receiver's, whole and
// with its own line end, in the receiver's order; gpsd's own lines never
// come. An unknown device is refused with gpsd's words.
TEST(NetworkSource, GpsdPassesTheReceiversLinesVerbatim) {
  if (!GpsFake::Installed()) GTEST_SKIP() << "gpsfake is not installed (Debian gpsd and gpsd-clients)";
  const std::string recording = "gpsd-haicom-305N.nmea";  // lines end in LF alone
  GpsFake gpsd(recording);
  ASSERT_TRUE(gpsd.Ready()) << gpsd.Log();

  serial::CSerialLink link;
  EXPECT_EQ(link.Open(gpsd.Address("/dev/gpsdesk-none").c_str(), 2048, 2048), serial::ERROR_DEV_NOT_EXIST);
  EXPECT_EQ(link.FailureDetail(), "gpsd: No such device as /dev/gpsdesk-none");

  ASSERT_EQ(link.Open(gpsd.Address().c_str(), 2048, 2048), 0) << link.FailureDetail();
  std::string received;
  const auto lines = [&] { return std::count(received.begin(), received.end(), '\n'); };
  // A full pass of epochs and more: 40 lines.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        char buffer[4096];
        std::uint32_t got = 0;
        if (link.WaitEvent(nullptr, 100) == 0 && link.Read(buffer, sizeof buffer, &got, nullptr, 0) == 0)
          received.append(buffer, got);
        return lines() >= 40;
      },
      kPatienceMs))
      << received;
  link.Close();

  const std::string text = Slurp(std::string(GPSDESK_TEST_DATA) + "/nmea/" + recording);
  std::vector<std::string> recorded;
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    recorded.push_back(text.substr(at, end - at + 1));
  std::vector<std::string> heard;
  for (std::size_t at = 0, end; (end = received.find('\n', at)) != std::string::npos; at = end + 1)
    heard.push_back(received.substr(at, end - at + 1));
  for (const std::string& line : heard) {
    EXPECT_NE(line.front(), '{') << line;
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), line), recorded.end()) << line;
  }
  // Each line follows its predecessor as in the recording (which loops).
  for (std::size_t i = 1; i < heard.size(); ++i) {
    bool follows = false;
    for (std::size_t j = 0; j < recorded.size() && !follows; ++j)
      follows = recorded[j] == heard[i - 1] && recorded[(j + 1) % recorded.size()] == heard[i];
    EXPECT_TRUE(follows) << heard[i - 1] << " then " << heard[i];
  }
}

}  // namespace
