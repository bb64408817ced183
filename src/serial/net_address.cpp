#include "serial/net_address.h"

#include <arpa/inet.h>

#include <algorithm>

namespace serial {
namespace {

constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kGpsdScheme = "gpsd://";
constexpr std::size_t kMaxHostName = 253;
constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxZone = 15;  // an interface name
constexpr std::size_t kMaxDevice = 255;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z'); }

std::string CheckHostName(std::string_view host) {
  if (host.size() > kMaxHostName) return "the host name is longer than 253 characters";
  std::size_t start = 0;
  while (start <= host.size()) {
    std::size_t dot = host.find('.', start);
    if (dot == std::string_view::npos) dot = host.size();
    const std::string_view label = host.substr(start, dot - start);
    if (label.empty()) return "the host name has an empty part between dots";
    if (label.size() > kMaxLabel) return "a part of the host name is longer than 63 characters";
    if (label.front() == '-' || label.back() == '-') return "a part of the host name starts or ends with '-'";
    for (char c : label) {
      if (!IsAlnum(c) && c != '-') return "the host name may hold only letters, digits, '-' and '.'";
    }
    start = dot + 1;
  }
  return {};
}

std::string CheckIpv6(std::string_view inside) {
  std::string_view address = inside;
  if (const std::size_t percent = inside.find('%'); percent != std::string_view::npos) {
    const std::string_view zone = inside.substr(percent + 1);
    address = inside.substr(0, percent);
    if (zone.empty() || zone.size() > kMaxZone) return "the IPv6 zone after '%' must name an interface";
    for (char c : zone) {
      if (!IsAlnum(c) && c != '-' && c != '_' && c != '.')
        return "the IPv6 zone after '%' must name an interface";
    }
  }
  in6_addr parsed{};
  if (address.empty() || inet_pton(AF_INET6, std::string(address).c_str(), &parsed) != 1)
    return "not a valid IPv6 address between [ and ]";
  return {};
}

std::string CheckPort(std::string_view digits, std::uint16_t& port) {
  const char* const kWrong = "the port must be a number from 1 to 65535";
  if (digits.empty() || digits.size() > 5 || digits.front() == '0') return kWrong;
  unsigned long value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return kWrong;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value < 1 || value > 65535) return kWrong;
  port = static_cast<std::uint16_t>(value);
  return {};
}

std::string CheckDevice(std::string_view device) {
  if (device.size() < 2) return "the gpsd device path after the port is empty";
  if (device.size() > kMaxDevice) return "the gpsd device path is longer than 255 characters";
  for (char c : device) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F || c == '"' || c == '\\' || c == '?' || c == '#')
      return "the gpsd device path may not hold blanks, quotes, '\\', '?' or '#'";
  }
  return {};
}

}  // namespace

bool HasNetScheme(std::string_view text) {
  return StartsWithNoCase(text, kTcpScheme) || StartsWithNoCase(text, kGpsdScheme);
}

std::string ParseNetAddress(std::string_view text, NetAddress& out) {
  out = NetAddress{};
  NetAddress a;
  std::string_view rest;
  if (StartsWithNoCase(text, kTcpScheme)) {
    a.scheme = NetScheme::Tcp;
    rest = text.substr(kTcpScheme.size());
  } else if (StartsWithNoCase(text, kGpsdScheme)) {
    a.scheme = NetScheme::Gpsd;
    rest = text.substr(kGpsdScheme.size());
  } else {
    return "a network address starts with tcp:// or gpsd://";
  }

  if (rest.empty() || rest.front() == ':' || rest.front() == '/') return "the host is missing";
  if (rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) return "an IPv6 address needs its closing ]";
    const std::string_view inside = rest.substr(1, close - 1);
    if (std::string problem = CheckIpv6(inside); !problem.empty()) return problem;
    a.host = inside;
    rest = rest.substr(close + 1);
    if (!rest.empty() && rest.front() != ':' && rest.front() != '/')
      return "only :port or /device may follow the host";
  } else {
    const std::size_t end = std::min(rest.find_first_of(":/"), rest.size());
    const std::string_view host = rest.substr(0, end);
    rest = rest.substr(end);
    if (host.find('@') != std::string_view::npos) return "a network address takes no user name";
    const bool dotted = std::all_of(host.begin(), host.end(), [](char c) { return IsDigit(c) || c == '.'; });
    if (dotted) {
      in_addr parsed{};
      if (inet_pton(AF_INET, std::string(host).c_str(), &parsed) != 1) return "not a valid IPv4 address";
    } else if (std::string problem = CheckHostName(host); !problem.empty()) {
      return problem;
    }
    a.host.reserve(host.size());
    for (char c : host) a.host += Lower(c);
  }

  if (!rest.empty() && rest.front() == ':') {
    const std::size_t end = std::min(rest.find('/'), rest.size());
    if (std::string problem = CheckPort(rest.substr(1, end - 1), a.port); !problem.empty()) return problem;
    rest = rest.substr(end);
  } else if (a.scheme == NetScheme::Tcp) {
    return "a tcp:// address needs a port (tcp://host:port)";
  } else {
    a.port = kGpsdDefaultPort;
  }

  if (!rest.empty()) {
    if (a.scheme == NetScheme::Tcp) return "nothing may follow the port of a tcp:// address";
    if (std::string problem = CheckDevice(rest); !problem.empty()) return problem;
    a.device = rest;
  }
  out = std::move(a);
  return {};
}

std::string HostAndPort(const NetAddress& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string FormatNetAddress(const NetAddress& address) {
  return std::string(address.scheme == NetScheme::Tcp ? kTcpScheme : kGpsdScheme) + HostAndPort(address) +
         address.device;
}

std::string QuotedText(std::string_view text, std::size_t limit) {
  std::string out;
  for (char c : text.substr(0, limit)) {
    const auto u = static_cast<unsigned char>(c);
    out += u >= 0x20 && u < 0x7F ? c : '?';
  }
  if (text.size() > limit) out += "...";
  return out;
}

}  // namespace serial
