// The notice that the GPS-only window shows nothing of what arrives.

#include "gnss/unshown_notice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Feeds one epoch of `heads` (as "$XXYYY,..." sentences) at time `ms`;
// returns whether the notice is visible after it.
bool Epoch(gnss::UnshownNotice& n, const std::vector<std::string>& heads, std::int64_t ms) {
  for (const std::string& h : heads) n.Feed("$" + h + ",1,2,3*00", ms);
  return n.Visible();
}

const std::vector<std::string> kGnOnly = {"GNRMC", "GNGGA", "GNGSA", "GLGSV", "GNGLL"};
// u-blox M8 defaults: GPS satellites in GPGSV, all else combined.
const std::vector<std::string> kUblox = {"GNRMC", "GNVTG", "GNGGA", "GNGSA", "GNGSA", "GPGSV", "GLGSV"};

TEST(UnshownNotice, AfterFiveSecondsOfOtherTalkersOnly) {
  for (const auto& stream : {kGnOnly, kUblox}) {
    gnss::UnshownNotice n;
    for (int s = 0; s < 5; ++s) EXPECT_FALSE(Epoch(n, stream, 1000 + s * 1000)) << s;
    EXPECT_TRUE(Epoch(n, stream, 6000));
  }
  gnss::UnshownNotice n;
  for (int s = 0; s <= 6; ++s) Epoch(n, kUblox, s * 1000);
  EXPECT_EQ(n.Heads(), "GNGGA, GNRMC, GNGSA, GLGSV");  // GPGSV is shown; GNVTG is never read
  EXPECT_EQ(n.Text(),
            "Receiving GNGGA, GNRMC, GNGSA, GLGSV that this window does not show. Click to turn on All "
            "constellations.");
}

TEST(UnshownNotice, NeverForAGpReceiverEvenWithOtherConstellationsBeside) {
  gnss::UnshownNotice n;
  for (int s = 0; s < 20; ++s) {
    EXPECT_FALSE(Epoch(n, {"GPRMC", "GPGGA", "GPGSA", "GPGSV", "GLGSV", "GLGSA", "GNGNS"}, s * 1000)) << s;
    EXPECT_FALSE(
        Epoch(n, {"IIGGA", "PUBX", "GNZDA", "gngga"}, s * 1000 + 500));  // no GNSS kind the window reads
  }
}

TEST(UnshownNotice, GoesWhenGpReturnsOrTheOthersStop) {
  gnss::UnshownNotice n;
  for (int s = 0; s <= 5; ++s) Epoch(n, {"GNGGA", "GNGSA"}, s * 1000);
  ASSERT_TRUE(n.Visible());
  EXPECT_TRUE(Epoch(n, {"GPGGA", "GNGSA"}, 6000));  // DOPs still unread
  EXPECT_TRUE(n.Feed("$GPGSA,A,3*00", 6000));       // changed: hidden
  EXPECT_FALSE(n.Visible());

  for (int s = 0; s <= 5; ++s) Epoch(n, {"GNGGA"}, 10000 + s * 1000);
  ASSERT_TRUE(n.Visible());
  EXPECT_TRUE(Epoch(n, {"GPTXT"}, 19999));  // GNGGA last came 4.999 s ago
  EXPECT_FALSE(Epoch(n, {"GPTXT"}, 20000));

  n.Reset();
  EXPECT_FALSE(n.Visible());
  EXPECT_EQ(n.Heads(), "");
}

}  // namespace
