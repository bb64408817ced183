// The real gpsdesk-sim on a real pseudo-terminal: it publishes its COM name,
// answers a version query, garbles while the port's speed differs from its
// own, and removes its link when terminated. Every wait is bounded.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "nmea/sentence.h"
#include "serial/port_names.h"
#include "sim_test_support.h"

namespace {

constexpr int kPatienceMs = 10000;  // failure bound only; never reached when all is well

using Deadline = std::chrono::steady_clock::time_point;
Deadline After(int ms) { return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms); }
int MsLeft(Deadline d) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(d - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Appends what `fd` delivers to `text` until `done(text)` or the deadline.
// Returns false on the deadline or at the end of the input.
template <typename Done>
bool ReadUntil(int fd, std::string& text, Done done, Deadline deadline) {
  while (!done(text)) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, MsLeft(deadline)) <= 0) return false;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n == 0) return false;
    if (n > 0) text.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

class SimProcess {
 public:
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (err_ >= 0) close(err_);
  }

  bool Start(const std::string& runtimeDir, std::vector<std::string> args) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    args.insert(args.begin(), GPSDESK_SIM);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string env = "XDG_RUNTIME_DIR=" + runtimeDir;
    char* envp[] = {env.data(), nullptr};
    const int rc = posix_spawn(&pid_, GPSDESK_SIM, &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    err_ = pipeFds[0];
    if (rc != 0) pid_ = -1;
    return rc == 0;
  }

  // Waits for a log line containing `part`.
  bool WaitForLog(std::string_view part) {
    return ReadUntil(
        err_, log_, [&](const std::string& t) { return t.find(part) != std::string::npos; },
        After(kPatienceMs));
  }

  // SIGTERM, then the end of its log, then its exit status.
  int Terminate() {
    kill(pid_, SIGTERM);
    ReadUntil(
        err_, log_, [](const std::string&) { return false; }, After(kPatienceMs));
    int status = -1;
    if (waitpid(pid_, &status, 0) == pid_) pid_ = -1;
    return status;
  }

  const std::string& Log() const { return log_; }

 private:
  pid_t pid_ = -1;
  int err_ = -1;
  std::string log_;
};

bool SetSpeed(int fd, speed_t speed) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  cfsetspeed(&t, speed);
  return tcsetattr(fd, TCSANOW, &t) == 0 && tcflush(fd, TCIFLUSH) == 0;
}

// A complete line beginning with `head` and a right checksum.
bool HasGoodLine(const std::string& text, std::string_view head) {
  for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    const std::size_t end = text.find("\r\n", at);
    if (end != std::string::npos && sim_test::ChecksumOk(std::string_view(text).substr(at, end - at)))
      return true;
  }
  return false;
}

TEST(SimProgram, PublishesAnswersGarblesAndCleansUp) {
  char folder[] = "/tmp/gpsdesk-sim-test-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string runtimeDir = folder;
  serial::PortLocations where;
  where.linkFolder = runtimeDir + "/gpsdesk/ports";

  SimProcess sim;
  ASSERT_TRUE(sim.Start(runtimeDir, {"--com", "9", "--rate", "10", "--ttff-scale", "0.01"}));
  ASSERT_TRUE(sim.WaitForLog("published COM9")) << sim.Log();
  std::string device;
  ASSERT_EQ(serial::ResolvePortName("COM9", device, where), 0u);
  EXPECT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;

  const int port = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(port, 0);
  ASSERT_TRUE(SetSpeed(port, B9600));

  const std::string query = sim_test::Command("$PVLRX600");
  ASSERT_EQ(write(port, query.data(), query.size()), static_cast<ssize_t>(query.size()));
  std::string heard;
  EXPECT_TRUE(ReadUntil(
      port, heard, [](const std::string& t) { return HasGoodLine(t, "$PVLX600 Velorin QK7720,"); },
      After(kPatienceMs)))
      << heard;
  EXPECT_TRUE(sim.WaitForLog("< $PVLRX600*"));

  // The port at twice the receiver's speed: from now on only garbage.
  ASSERT_TRUE(SetSpeed(port, B19200));
  heard.clear();
  EXPECT_TRUE(ReadUntil(
      port, heard, [](const std::string& t) { return t.size() >= 4000; }, After(kPatienceMs)));
  EXPECT_EQ(heard.find("$GP", heard.size() > 2000 ? heard.size() - 2000 : 0), std::string::npos);
  EXPECT_TRUE(sim.WaitForLog("the line is garbled"));

  ASSERT_TRUE(SetSpeed(port, B9600));
  heard.clear();
  EXPECT_TRUE(ReadUntil(
      port, heard, [](const std::string& t) { return HasGoodLine(t, "$GPGGA,"); }, After(kPatienceMs)));

  const int status = sim.Terminate();
  close(port);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << sim.Log();
  struct stat st {};
  EXPECT_NE(lstat((where.linkFolder + "/COM9").c_str(), &st), 0);
  EXPECT_NE(sim.Log().find("removed COM9"), std::string::npos) << sim.Log();
  std::filesystem::remove_all(runtimeDir);
}

}  // namespace
