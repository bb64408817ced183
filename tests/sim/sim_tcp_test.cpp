// gpsdesk-sim --tcp: the line on a socket as ser2net would serve it, and the
// option that asks for it. Every wait is bounded.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/options.h"
#include "sim_test_support.h"

namespace {

constexpr int kPatienceMs = 10000;  // failure bound only

using Deadline = std::chrono::steady_clock::time_point;
Deadline After(int ms) { return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms); }
int MsLeft(Deadline d) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(d - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Appends what `fd` delivers to `text` until `part` is in it; false on the
// deadline or at the end of the input.
bool ReadUntil(int fd, std::string& text, std::string_view part) {
  const Deadline deadline = After(kPatienceMs);
  while (text.find(part) == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, MsLeft(deadline)) <= 0) return false;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    text.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

class TcpSim {
 public:
  explicit TcpSim(const std::string& runtimeDir) {
    int err[2];
    int out[2];
    if (pipe2(err, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> args{GPSDESK_SIM,    "--com", "8",     "--rate", "10",
                                  "--ttff-scale", "0.01",  "--tcp", "0"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string env = "XDG_RUNTIME_DIR=" + runtimeDir;
    char* envp[] = {env.data(), nullptr};
    if (posix_spawn(&pid_, GPSDESK_SIM, &actions, nullptr, argv.data(), envp) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(err[1]);
    close(out[1]);
    err_ = err[0];
    out_ = out[0];
  }
  ~TcpSim() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(err_);
    close(out_);
  }
  // The port from the address printed on standard output.
  int Port() {
    std::string printed;
    if (!ReadUntil(out_, printed, "\n")) return -1;
    const std::string prefix = "tcp://127.0.0.1:";
    if (printed.rfind(prefix, 0) != 0) return -1;
    return std::stoi(printed.substr(prefix.size()));
  }
  bool WaitForLog(std::string_view part) { return ReadUntil(err_, log_, part); }
  const std::string& Log() const { return log_; }

 private:
  pid_t pid_ = -1;
  int err_ = -1;
  int out_ = -1;
  std::string log_;
};

TEST(SimProgram, ServesTheLineOnASocketToOneClientAtATime) {
  char folder[] = "/tmp/gpsdesk-sim-tcp-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  TcpSim sim(folder);
  const int port = sim.Port();
  ASSERT_GT(port, 0);
  ASSERT_TRUE(sim.WaitForLog("published COM8")) << sim.Log() << " the terminal is served as well";

  const int first = Connect(port);
  ASSERT_GE(first, 0);
  std::string heard;
  EXPECT_TRUE(ReadUntil(first, heard, "$GPGGA,"));
  const std::string query = sim_test::Command("$PVLRX600");
  ASSERT_EQ(write(first, query.data(), query.size()), static_cast<ssize_t>(query.size()));
  EXPECT_TRUE(ReadUntil(first, heard, "$PVLX600 Velorin QK7720,")) << heard;
  EXPECT_TRUE(sim.WaitForLog("< $PVLRX600*"));

  // A second client is turned away; the first keeps the line.
  const int second = Connect(port);
  ASSERT_GE(second, 0);
  std::string refused;
  EXPECT_FALSE(ReadUntil(second, refused, "$"));
  EXPECT_EQ(refused, "");
  EXPECT_TRUE(sim.WaitForLog("refused a second client"));
  close(second);
  heard.clear();
  EXPECT_TRUE(ReadUntil(first, heard, "$GPRMC,"));

  // When the first goes, the next may come.
  close(first);
  EXPECT_TRUE(sim.WaitForLog("client left"));
  const int third = Connect(port);
  ASSERT_GE(third, 0);
  heard.clear();
  EXPECT_TRUE(ReadUntil(third, heard, "$GPGSV,"));
  close(third);
  std::filesystem::remove_all(folder);
}

TEST(Options, TcpTakesAPortAndAnAddressToListenOn) {
  struct Case {
    const char* value;
    int port;
    const char* host;
  };
  for (const Case c :
       {Case{"2000", 2000, "127.0.0.1"}, Case{"0", 0, "127.0.0.1"}, Case{"0.0.0.0:10110", 10110, "0.0.0.0"},
        Case{"[::1]:2947", 2947, "::1"}, Case{"65535", 65535, "127.0.0.1"}}) {
    sim::ProgramOptions o;
    const char* argv[] = {"gpsdesk-sim", "--tcp", c.value};
    EXPECT_EQ(sim::ParseOptions(3, argv, o), "") << c.value;
    EXPECT_EQ(o.tcpPort, c.port) << c.value;
    EXPECT_EQ(o.tcpHost, c.host) << c.value;
  }
  sim::ProgramOptions none;
  EXPECT_EQ(none.tcpPort, -1);
  for (const char* wrong :
       {"65536", "-1", "", "port", "localhost:2000", "1.2.3:5", "[::1]2000", "[::1:2000", ":2000"}) {
    sim::ProgramOptions o;
    const char* argv[] = {"gpsdesk-sim", "--tcp", wrong};
    EXPECT_NE(sim::ParseOptions(3, argv, o), "") << wrong;
  }
}

}  // namespace
