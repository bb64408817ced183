#pragma once
// Running a shell command line (the decoder in a pipe) and reading files,
// for the tests that run gpsdesk-decode itself.

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace test_shell {

struct ShellRun {
  int status = -1;
  std::string out;
};

inline ShellRun RunShell(const std::string& command) {
  ShellRun r;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return r;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int st = ::pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The decoder's path, quoted for the shell.
inline std::string Decoder() { return std::string("'") + GPSDESK_DECODE + "'"; }

}  // namespace test_shell
