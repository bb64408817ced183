#include "sim/options.h"

#include <arpa/inet.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "sim/command_parser.h"

namespace sim {
namespace {

constexpr double kWalkingSpeed = 1.4;  // metres per second

template <typename T>
bool ReadNumber(std::string_view text, T& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return false;
  }
  return ec == std::errc() && end == text.data() + text.size();
}

template <typename T>
std::string Text(T value) {
  char buf[32];
  if constexpr (std::is_floating_point_v<T>) {
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(value));
  } else {
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
  }
  return buf;
}

template <typename T>
std::string InRange(std::string_view name, std::string_view text, T low, T high, T& value) {
  if (!ReadNumber(text, value) || value < low || value > high) {
    return std::string(name) + " takes a number from " + Text(low) + " to " + Text(high) + ", not \"" +
           std::string(text) + "\"";
  }
  return {};
}

// --tcp [ADDRESS:]PORT, ADDRESS a numeric IPv4 address or an IPv6 one in
// brackets.
std::string TcpOption(std::string_view v, ProgramOptions& out) {
  const char* const kForm = "--tcp takes [ADDRESS:]PORT, PORT 0 to 65535 (0: a free one)";
  std::string_view host;
  std::string_view port = v;
  if (!v.empty() && v.front() == '[') {
    const std::size_t close = v.find("]:");
    if (close == std::string_view::npos) return kForm;
    host = v.substr(1, close - 1);
    port = v.substr(close + 2);
    in6_addr a{};
    if (inet_pton(AF_INET6, std::string(host).c_str(), &a) != 1) return kForm;
  } else if (const std::size_t colon = v.rfind(':'); colon != std::string_view::npos) {
    host = v.substr(0, colon);
    port = v.substr(colon + 1);
    in_addr a{};
    if (inet_pton(AF_INET, std::string(host).c_str(), &a) != 1) return kForm;
  }
  int number = -1;
  if (!ReadNumber(port, number) || number < 0 || number > 65535) return kForm;
  out.tcpPort = number;
  if (!host.empty()) out.tcpHost = std::string(host);
  return {};
}

}  // namespace

std::string UsageText() {
  return "usage: gpsdesk-sim [options]\n"
         "A GPS receiver on a pseudo-terminal, published as a COM name for gpsdesk.\n"
         "  --com N           publish as COM<N> (1 to 255; default 1)\n"
         "  --lat DEG         latitude, north positive (default 47.3769)\n"
         "  --lon DEG         longitude, east positive (default 8.5417)\n"
         "  --alt M           altitude in metres (default 408)\n"
         "  --walk            walk at 1.4 m/s round a circle instead of standing still\n"
         "  --speed MPS       walk at this speed (0 stands still)\n"
         "  --rate HZ         epochs per second (1 to 20; default 1)\n"
         "  --baud B          line speed at start (1200 to 115200; default 9600)\n"
         "  --start KIND      restart at power-on: hot, warm, cold, factory (default hot)\n"
         "  --ttff-scale F    multiply the times to fix by F (default 1; 0.01 for tests)\n"
         "  --replay FILE     play a recorded NMEA file at its own pace instead of the model\n"
         "  --noise FRACTION  corrupt this fraction of output lines (0 to 1; default 0)\n"
         "  --seed N          seed of the noise (default 1)\n"
         "  --record FILE     also write every byte that goes out on the line to FILE\n"
         "                    (while a TCP client reads, what the client took)\n"
         "  --tcp [ADDR:]PORT also serve the line on a TCP socket, one client at a time,\n"
         "                    as ser2net would (ADDR default 127.0.0.1; PORT 0 picks a\n"
         "                    free one); the address is printed on standard output\n"
         "  --help            show this text\n";
}

std::string ParseOptions(int argc, const char* const* argv, ProgramOptions& out) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view value;
    bool hasValue = false;
    if (const std::size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      hasValue = true;
    }
    auto next = [&](std::string_view& v) -> bool {
      if (hasValue) {
        v = value;
        return true;
      }
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };

    if (arg == "--help" || arg == "-h") {
      out.help = true;
      continue;
    }
    if (arg == "--walk") {
      if (hasValue) return "--walk takes no value";
      out.sim.model.walkSpeed = kWalkingSpeed;
      continue;
    }
    std::string_view v;
    const bool known = arg == "--com" || arg == "--lat" || arg == "--lon" || arg == "--alt" ||
                       arg == "--speed" || arg == "--rate" || arg == "--baud" || arg == "--start" ||
                       arg == "--ttff-scale" || arg == "--replay" || arg == "--noise" || arg == "--seed" ||
                       arg == "--record" || arg == "--tcp";
    if (!known) return "unknown option " + std::string(arg);
    if (!next(v)) return std::string(arg) + " needs a value";

    std::string error;
    if (arg == "--com") {
      error = InRange(arg, v, 1, 255, out.com);
    } else if (arg == "--lat") {
      error = InRange(arg, v, -90.0, 90.0, out.sim.model.origin.latitude);
    } else if (arg == "--lon") {
      error = InRange(arg, v, -180.0, 180.0, out.sim.model.origin.longitude);
    } else if (arg == "--alt") {
      error = InRange(arg, v, -1000.0, 20000.0, out.sim.model.origin.altitude);
    } else if (arg == "--speed") {
      error = InRange(arg, v, 0.0, 100.0, out.sim.model.walkSpeed);
    } else if (arg == "--rate") {
      error = InRange(arg, v, 1, 20, out.sim.rateHz);
    } else if (arg == "--baud") {
      std::uint32_t baud = 0;
      if (!ReadNumber(v, baud) || !IsSupportedBaud(baud)) {
        error = "--baud takes 1200, 2400, 4800, 9600, 19200, 38400, 57600 or 115200";
      } else {
        out.sim.baud = baud;
      }
    } else if (arg == "--start") {
      const auto kind = RestartByName(v);
      if (!kind) {
        error = "--start takes hot, warm, cold or factory";
      } else {
        out.sim.model.powerOn = *kind;
      }
    } else if (arg == "--ttff-scale") {
      error = InRange(arg, v, 0.0, 100.0, out.sim.model.ttffScale);
    } else if (arg == "--replay") {
      out.replayPath = std::string(v);
      if (out.replayPath.empty()) error = "--replay needs a file name";
    } else if (arg == "--noise") {
      error = InRange(arg, v, 0.0, 1.0, out.sim.noise);
    } else if (arg == "--seed") {
      if (!ReadNumber(v, out.sim.seed)) error = "--seed takes a whole number";
    } else if (arg == "--tcp") {
      error = TcpOption(v, out);
    } else if (arg == "--record") {
      out.recordPath = std::string(v);
      if (out.recordPath.empty()) error = "--record needs a file name";
    }
    if (!error.empty()) return error;
  }
  return {};
}

}  // namespace sim
