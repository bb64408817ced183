// The signal chart drawn into an image of the main window's chart area.

#include "views/chart_painter.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <climits>
#include <vector>

#include "view_pixels.h"
#include "views/geometry.h"

namespace {

using views_test::At;
using views_test::CountColour;
using views_test::CountPixels;

constexpr int kW = 273;
constexpr int kH = 102;
const QColor kBackground(212, 208, 200);
const views::EtchColours kEtch{QColor(90, 90, 90), QColor(230, 230, 230)};

QImage Chart(const nmea::ReceiverState& state, int& maxSnr,
             views::TextCells cells = views::TextCells::Opaque) {
  return views::ComposeChart(kW, kH, {kBackground, kEtch, cells}, state, maxSnr);
}

// Slots holding PRN 1 to n with the given SNRs.
nmea::ReceiverState Slots(const std::vector<int>& snrs) {
  nmea::ReceiverState st;
  st.svInView = static_cast<int>(snrs.size());
  for (std::size_t i = 0; i < snrs.size(); ++i) {
    st.channelPrn[i] = static_cast<int>(i) + 1;
    st.sats[i].snr = snrs[i];
  }
  return st;
}

TEST(ChartPainter, TwelveEmptyBarsAtStart) {
  int maxSnr = 20;
  const QImage img = Chart(nmea::ReceiverState{}, maxSnr);
  ASSERT_EQ(img.size(), QSize(kW - 1, kH - 1));  // the last column and row are the window's
  EXPECT_EQ(At(img, 0, 50), kEtch.shadow);
  EXPECT_EQ(At(img, 1, 50), kEtch.highlight);
  EXPECT_EQ(At(img, kW - 2, 50), kEtch.shadow);
  const int bottom = kH - 10;  // above the PRN strip, one font height
  for (int left : {3, 25, 48, 70, 93, 115, 138, 161, 183, 206, 228, 251}) {
    EXPECT_EQ(At(img, left - 1, 50), kBackground) << left;
    EXPECT_EQ(At(img, left, 50), kEtch.shadow) << left;
    EXPECT_EQ(At(img, left + 18, 50), kEtch.shadow) << left;
    EXPECT_EQ(At(img, left + 19, 50), kEtch.highlight) << left;
    EXPECT_EQ(At(img, left + 5, 3), kEtch.shadow) << left;
    EXPECT_EQ(At(img, left + 5, bottom - 1), kEtch.highlight) << left;
    // Empty inside, no number; the PRN "0" underneath.
    EXPECT_EQ(CountColour(img, QRect(left + 1, 4, 17, bottom - 6), views::kEmptyBarColour),
              17 * (bottom - 6));
    EXPECT_GT(CountPixels(img, QRect(left, bottom, 20, kH - bottom), views_test::NearlyBlack), 0) << left;
  }
  EXPECT_EQ(maxSnr, 20);
}

TEST(ChartPainter, EightBarsScaleToTheStrongestAndPlaceTheirNumbers) {
  nmea::ReceiverState st = Slots({45, 30, 10, 5, 0, 20, 38, 44});
  st.sats[1].used = 1;
  int maxSnr = 20;
  const QImage img = Chart(st, maxSnr);
  EXPECT_EQ(maxSnr, 45);
  const views::ChartLayout chart = views::LayoutChart(kW, kH, 8);
  const QFontMetrics metrics(views::ChartLabelFont(15, 10));
  const int cell = metrics.ascent() + metrics.descent();
  const int tops[] = {4, 31, 67, 76, 85, 49, 16, 5};
  for (int i = 0; i < 8; ++i) {
    const int left = chart.BarLeft(i);
    const int snr = st.sats[static_cast<std::size_t>(i)].snr;
    EXPECT_EQ(At(img, left + 5, 3), kEtch.shadow) << i;  // frame from y 3 to 87
    EXPECT_EQ(At(img, left + 5, 86), kEtch.highlight) << i;
    if (snr > 0) {
      EXPECT_EQ(At(img, left + 2, tops[i]), i == 1 ? views::kUsedBarColour : views::kBarColour) << i;
    }
    if (tops[i] > 4) {
      EXPECT_EQ(At(img, left + 2, tops[i] - 1), views::kEmptyBarColour) << i;
    }

    // Strong signals white inside just below the top, weak ones black above it.
    const QRect below(left + 1, tops[i], 28, cell);
    const QRect above(left + 1, tops[i] - cell, 28, cell);
    EXPECT_EQ(CountPixels(img, below, views_test::NearlyWhite) > 0, snr > 10) << i;
    EXPECT_EQ(CountPixels(img, above, views_test::NearlyBlack) > 0, snr > 0 && snr <= 10) << i;
    if (snr > 10) {
      const QRect ink = views_test::BoundsOf(img, below, views_test::NearlyWhite);
      EXPECT_NEAR(ink.center().x(), left + 1 + 14, 2) << i;
    }
  }
}

TEST(ChartPainter, LabelsFollowTheBarWidthAndStopAtSeventy) {
  // Four bars are 65 pixels wide: the font stops at 24 x 15.
  ASSERT_EQ(views::LayoutChart(kW, kH, 4).fontHeight, 24);
  EXPECT_NEAR(QFontMetrics(views::ChartLabelFont(24, 15)).averageCharWidth(), 15, 2);
  EXPECT_NEAR(QFontMetrics(views::ChartLabelFont(10, 6)).averageCharWidth(), 6, 1);
  auto inkHeight = [](const std::vector<int>& snrs) {
    int maxSnr = 20;
    return views_test::BoundsOf(Chart(Slots(snrs), maxSnr), QRect(4, 4, kW - 8, 60), views_test::NearlyWhite)
        .height();
  };
  EXPECT_GT(inkHeight({40, 40, 40, 40}), inkHeight(std::vector<int>(8, 40)));
  EXPECT_GT(inkHeight({69}), 0);
  EXPECT_EQ(inkHeight({70}), 0);
  EXPECT_EQ(inkHeight({99}), 0);
}

// The font height is the height of the whole text cell: the PRN labels fill
// the strip below the bars and leave the area's frame alone.
TEST(ChartPainter, LabelCellsAreTheFontHeightAndStayInTheStrip) {
  struct Case {
    int bars, height, width;
  };
  for (const Case c : {Case{12, 10, 6}, Case{8, 15, 10}, Case{4, 24, 15}}) {
    SCOPED_TRACE(c.bars);
    const views::ChartLayout chart = views::LayoutChart(kW, kH, c.bars);
    ASSERT_EQ(chart.fontHeight, c.height);
    ASSERT_EQ(chart.fontWidth, c.width);
    const QFontMetrics metrics(views::ChartLabelFont(c.height, c.width));
    EXPECT_EQ(metrics.ascent() + metrics.descent(), c.height);
    EXPECT_EQ(metrics.averageCharWidth(), c.width);

    std::vector<int> snrs(static_cast<std::size_t>(c.bars), 0);
    if (c.bars == 8) snrs = {45, 30, 10, 5, 0, 20, 38, 44};
    nmea::ReceiverState st = Slots(snrs);
    for (int i = 0; i < c.bars; ++i) st.channelPrn[static_cast<std::size_t>(i)] = 10 + i;  // two digits
    for (views::TextCells cells : {views::TextCells::Opaque, views::TextCells::Transparent}) {
      int maxSnr = 20;
      const QImage img = Chart(st, maxSnr, cells);
      // The frame's inner bottom line runs unbroken under every label.
      EXPECT_EQ(CountColour(img, QRect(0, kH - 2, kW - 1, 1), kEtch.shadow), kW - 1);
      for (int i = 0; i < c.bars; ++i) {
        const int left = chart.BarLeft(i);
        const QRect under(left - 1, chart.barBottom, chart.barWidth + 2, kH - 1 - chart.barBottom);
        // The label's cell starts on the bar's bottom frame lines, which are
        // drawn over it, and ends just above the area's frame.
        const QRect ink = views_test::BoundsOf(img, under, views_test::NearlyBlack);
        ASSERT_FALSE(ink.isEmpty()) << i;
        EXPECT_LE(ink.bottom(), kH - 3) << i;
        EXPECT_NEAR(ink.center().x(), left + chart.barWidth / 2, 2) << i;
        if (cells == views::TextCells::Opaque) {
          const QRect patch =
              views_test::BoundsOf(img, under, [](QRgb p) { return QColor(p) == views::kEmptyBarColour; });
          EXPECT_EQ(patch.top(), chart.barBottom) << i;
          EXPECT_EQ(patch.bottom(), kH - 3) << i;
        }
      }
    }
  }
}

TEST(ChartPainter, FullScaleOnlyRises) {
  int maxSnr = 20;
  Chart(Slots({50}), maxSnr);
  ASSERT_EQ(maxSnr, 50);
  // From now on SNR 25 fills half of the 81-pixel inside of eight bars.
  const QImage img = Chart(Slots({25, 12, 0, 0, 0, 0, 0, 0}), maxSnr);
  EXPECT_EQ(maxSnr, 50);
  EXPECT_EQ(At(img, 5, 4 + 81 / 2), views::kBarColour);
  EXPECT_EQ(At(img, 5, 4 + 81 / 2 - 1), views::kEmptyBarColour);
  Chart(Slots({0, 0, 0}), maxSnr);
  EXPECT_EQ(maxSnr, 50);
}

TEST(ChartPainter, OpaqueAndTransparentLabelsDifferOnlyInThePrnStrip) {
  const nmea::ReceiverState st = Slots({45, 30, 10, 5, 0, 20, 38, 44});
  int maxSnr = 20;
  const QImage opaque = Chart(st, maxSnr, views::TextCells::Opaque);
  const QImage transparent = Chart(st, maxSnr, views::TextCells::Transparent);
  const int bottom = views::LayoutChart(kW, kH, 8).barBottom;
  const QRect strip(2, bottom, kW - 4, kH - 2 - bottom);
  EXPECT_GT(CountColour(opaque, strip, views::kEmptyBarColour), 0);
  EXPECT_EQ(CountColour(transparent, strip, views::kEmptyBarColour), 0);
  // The SNR numbers' cells have the colour they stand on.
  EXPECT_EQ(opaque.copy(0, 0, kW - 1, bottom - 2), transparent.copy(0, 0, kW - 1, bottom - 2));
}

TEST(ChartPainter, DamagedSlotsDrawAtMostSixteenBarsAndNoneBelowOne) {
  nmea::ReceiverState st;
  const int prns[] = {0, 33, -1, INT_MIN, INT_MAX, 1, 2, 3, 32, 31, 4, 5, 6, 7, 8, 9};
  for (int i = 0; i < 16; ++i) st.channelPrn[static_cast<std::size_t>(i)] = prns[i];
  st.sats[0].snr = INT_MAX;
  st.sats[1].snr = INT_MIN;
  st.sats[2].snr = -5;
  st.svInView = 16;
  int maxSnr = 20;
  const QImage sixteen = Chart(st, maxSnr);
  EXPECT_EQ(maxSnr, INT_MAX);
  const views::ChartLayout chart = views::LayoutChart(kW, kH, 16);
  EXPECT_EQ(At(sixteen, chart.BarLeft(5) + 2, 4), views::kBarColour);  // PRN 1: full
  EXPECT_EQ(At(sixteen, chart.BarLeft(6) + 2, chart.barBottom - 3), views::kEmptyBarColour);
  st.svInView = INT_MAX;
  EXPECT_EQ(Chart(st, maxSnr), sixteen);

  for (int n : {0, -1, INT_MIN}) {
    st.svInView = n;
    maxSnr = 20;
    const QImage img = Chart(st, maxSnr);
    EXPECT_EQ(maxSnr, 20) << n;
    EXPECT_EQ(CountColour(img, QRect(2, 2, kW - 4, kH - 4), kBackground), (kW - 4) * (kH - 4)) << n;
  }
}

}  // namespace
