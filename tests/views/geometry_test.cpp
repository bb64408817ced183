#include "views/geometry.h"

#include <gtest/gtest.h>

namespace {

using views::Point;

TEST(SkyGeometry, MainWindowArea) {
  auto sky = views::LayoutSky(273, 252);
  EXPECT_EQ(sky.radius, 124.0);
  EXPECT_EQ(sky.centre, (Point{134, 125}));
  EXPECT_EQ(sky.rings, (std::array<int, 5>{20, 41, 62, 82, 103}));
  EXPECT_EQ(views::SkyTextHeight(252), 10);
  EXPECT_EQ(views::MarkerRadius(10), 8);
  EXPECT_EQ(views::SkyPoint(sky, 90, 0), (Point{257, 124}));
  EXPECT_EQ(views::SkyPoint(sky, 0, 0), (Point{133, 1}));
  EXPECT_EQ(views::SkyPoint(sky, 180, 45), (Point{134, 186}));
  for (double a : {0.0, 45.0, 123.0, 359.0}) EXPECT_EQ(views::SkyPoint(sky, a, 90), (Point{134, 125}));
  // Taller than wide: the width decides the radius.
  EXPECT_EQ(views::LayoutSky(100, 300).radius, 48.0);
}

TEST(SkyGeometry, MarkersShownRule) {
  EXPECT_FALSE(views::SkyMarkerShown({0, 10, 0, 0}));  // azimuth 0, SNR 0
  EXPECT_TRUE(views::SkyMarkerShown({0, 10, 5, 0}));
  EXPECT_TRUE(views::SkyMarkerShown({30, 0, 0, 0}));  // north horizon, but heard
  EXPECT_FALSE(views::SkyMarkerShown({0, 0, 0, 1}));
}

TEST(ChartGeometry, TwelveEmptyBarsAtStart) {
  auto c = views::LayoutChart(273, 102, 12);
  EXPECT_EQ(c.barWidth, 20);
  EXPECT_EQ(c.fontHeight, 10);
  EXPECT_EQ(c.fontWidth, 6);
  const int lefts[] = {3, 25, 48, 70, 93, 115, 138, 161, 183, 206, 228, 251};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(c.BarLeft(i), lefts[i]) << i;
}

TEST(ChartGeometry, EightBarsExample) {
  nmea::ReceiverState st;
  st.svInView = 8;
  const int snr[] = {45, 30, 10, 5, 0, 20, 38, 44};
  for (int i = 0; i < 8; ++i) {
    st.channelPrn[i] = i + 1;
    st.sats[i].snr = snr[i];
  }
  auto c = views::LayoutChart(273, 102, st.ViewSlotCount());
  EXPECT_EQ(c.barWidth, 31);
  EXPECT_EQ(c.fontHeight, 15);
  EXPECT_EQ(c.fontWidth, 10);
  EXPECT_EQ(c.barBottom, 87);
  const int maxSnr = views::RaiseMaxSnr(st, 20);
  EXPECT_EQ(maxSnr, 45);
  const int tops[] = {4, 31, 67, 76, 85, 49, 16, 5};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(views::BarTop(c, snr[i], maxSnr), tops[i]) << i;
  EXPECT_FALSE(views::SnrLabelShown(0));
  EXPECT_TRUE(views::SnrLabelShown(69));
  EXPECT_FALSE(views::SnrLabelShown(70));
  EXPECT_TRUE(views::SnrLabelInside(20));
  EXPECT_FALSE(views::SnrLabelInside(10));
}

TEST(ChartGeometry, WideBarsFontAndFullScaleNeverFalls) {
  auto c = views::LayoutChart(273, 102, 4);
  EXPECT_EQ(c.barWidth, 65);
  EXPECT_EQ(c.fontHeight, 24);
  EXPECT_EQ(c.fontWidth, 15);
  nmea::ReceiverState st;
  st.channelPrn[0] = 3;
  st.sats[2].snr = 25;
  EXPECT_EQ(views::RaiseMaxSnr(st, 50), 50);
  // Slots beyond the 16 that exist, or PRNs without an entry, read as zero.
  st.svInView = 1000;
  st.channelPrn[15] = 99;
  EXPECT_EQ(views::SlotSat(st, 15).snr, 0);
  EXPECT_EQ(views::SlotSat(st, 16).snr, 0);
  EXPECT_EQ(views::SlotSat(st, -1).snr, 0);
  EXPECT_EQ(views::LayoutChart(273, 102, 0).bars, 0);
  EXPECT_EQ(views::BarTop(views::LayoutChart(273, 102, 1), 2147483647, 20), -1000000);
}

}  // namespace
