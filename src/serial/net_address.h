#pragma once
// Network addresses that a port name can stand for instead of a device:
//
//   tcp://HOST:PORT                  a raw byte stream, as ser2net or socat
//                                    serve a receiver's serial line
//   gpsd://HOST[:PORT][/DEVICE]      gpsd's client socket (port 2947 unless
//                                    given), optionally one of its devices
//
// HOST is a host name (letters, digits and hyphens in dot-separated labels),
// an IPv4 address in dotted decimal, or an IPv6 address in brackets
// ("[::1]", "[fe80::1%eth0]"). PORT is 1 to 65535 without leading zeros.
// DEVICE is an absolute path of printable characters without blanks, quotes
// or backslashes (it travels inside gpsd's JSON). The scheme may be written
// in any case; nothing else may follow the address (no user, query or
// fragment).
//
// Parsing is strict: anything else is refused with a sentence that says what
// is wrong, so a mistyped address never turns into a connection attempt
// somewhere unexpected.

#include <cstdint>
#include <string>
#include <string_view>

namespace serial {

enum class NetScheme { Tcp, Gpsd };

inline constexpr std::uint16_t kGpsdDefaultPort = 2947;

struct NetAddress {
  NetScheme scheme = NetScheme::Tcp;
  std::string host;  // without the brackets of an IPv6 address
  std::uint16_t port = 0;
  std::string device;  // gpsd only; empty: every device gpsd has

  friend bool operator==(const NetAddress&, const NetAddress&) = default;
};

// Whether `text` starts with one of the two schemes (any case): the text is
// meant as an address, valid or not.
bool HasNetScheme(std::string_view text);

// Fills `out` from `text`. Returns an empty string on success, otherwise
// what is wrong ("the port must be a number from 1 to 65535").
std::string ParseNetAddress(std::string_view text, NetAddress& out);

// The address written in its one canonical form: lower-case scheme, IPv6 in
// brackets, a gpsd port always written out.
std::string FormatNetAddress(const NetAddress& address);

// "host:port" as a connection reads it, IPv6 in brackets.
std::string HostAndPort(const NetAddress& address);

// `text` cut to `limit` characters with every byte that is not printable
// ASCII shown as '?', for messages that quote an address.
std::string QuotedText(std::string_view text, std::size_t limit = 80);

}  // namespace serial
