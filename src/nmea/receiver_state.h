#pragma once
// What the tool keeps of the receiver's reports: the satellites for the two
// views and the last position. Everything else the receiver reports exists
// only as display texts.

#include <array>
#include <cstdint>

namespace nmea {

struct SatInfo {
  std::int32_t snr = 0;        // as the receiver wrote it; 0 when left empty
  std::int32_t elevation = 0;  // whole degrees
  std::int32_t azimuth = 0;    // whole degrees from true north
  std::int32_t used = 0;       // 1 when listed in the last $GPGSA

  friend bool operator==(const SatInfo&, const SatInfo&) = default;
};

inline constexpr int kChannelSlots = 16;
inline constexpr int kSatCount = 32;  // PRN 1 to 32
inline constexpr int kDefaultSvInView = 12;

struct ReceiverState {
  // PRN per slot, in the order the current $GPGSV set lists them.
  std::array<std::int32_t, kChannelSlots> channelPrn{};
  // Entry p-1 belongs to PRN p.
  std::array<SatInfo, kSatCount> sats{};
  // As the last $GPGSV reported it (12 when it reported 0). May exceed the
  // number of slots; ViewSlotCount bounds what the views read.
  std::int32_t svInView = kDefaultSvInView;
  // Last $GPGGA position in 1/10000 arc-minute; south and west negative.
  std::int32_t latitude = 0;
  std::int32_t longitude = 0;

  // Number of slots the views draw: svInView bounded to 0..16.
  int ViewSlotCount() const {
    if (svInView < 0) return 0;
    return svInView > kChannelSlots ? kChannelSlots : static_cast<int>(svInView);
  }
  // The satellite entry of a PRN, or nullptr outside 1 to 32.
  SatInfo* SatFor(std::int32_t prn) { return prn >= 1 && prn <= kSatCount ? &sats[prn - 1] : nullptr; }
  const SatInfo* SatFor(std::int32_t prn) const {
    return prn >= 1 && prn <= kSatCount ? &sats[prn - 1] : nullptr;
  }

  friend bool operator==(const ReceiverState&, const ReceiverState&) = default;
};

}  // namespace nmea
