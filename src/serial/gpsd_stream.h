#pragma once
// What gpsd sends a client that asked for the raw stream
// (?WATCH={"enable":true,"raw":1}): its own JSON objects, one a line, each
// beginning with '{' (VERSION, DEVICES, WATCH, DEVICE, ERROR...), between the
// receiver's lines, which gpsd passes whole and with their own line ends.
// GpsdStream takes gpsd's lines out of the bytes as they come, in pieces of
// any size, so that only the receiver's bytes remain.
//
// It also notices gpsd announcing that the watched device went away
// ({"class":"DEVICE","path":...,"activated":0}), which the link treats as
// the device being unplugged.

#include <cstddef>
#include <string>
#include <string_view>

namespace serial {

class GpsdStream {
 public:
  // `device`: the device the client watches; empty when it watches all.
  explicit GpsdStream(std::string device = {});

  // Removes gpsd's own lines from `bytes` in place and returns how many of
  // the receiver's bytes remain at the front.
  std::size_t Filter(unsigned char* bytes, std::size_t count);

  // gpsd said the watched device is gone.
  bool DeviceGone() const { return deviceGone; }

  // The longest gpsd line that is looked into; longer ones are dropped
  // unread.
  static constexpr std::size_t kMaxJsonLine = 4096;

 private:
  void JsonLineEnded();

  std::string device;
  bool atLineStart = true;
  bool inJson = false;
  bool jsonTooLong = false;
  std::string json;
  bool deviceGone = false;
};

// The value of the first member `name` of a one-line JSON object when it is
// a string, unescaped, non-printable characters as '?', at most 200
// characters; empty when there is none.
std::string JsonStringMember(std::string_view line, std::string_view name);

// Whether the object's "class" member is `name`.
bool JsonClassIs(std::string_view line, std::string_view name);

}  // namespace serial
