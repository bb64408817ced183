// The two views of the "All constellations" mode drawn into images of the
// main window's areas: markers and bars from the every-constellation model,
// labels with the constellation letter.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <cmath>
#include <vector>

#include "platform/dialog_look.h"
#include "view_pixels.h"
#include "views/chart_painter.h"
#include "views/geometry.h"
#include "views/sky_painter.h"

namespace {

using gnss::Constellation;
using views_test::At;
using views_test::CountColour;
using views_test::CountPixels;

const QColor kBackground(212, 208, 200);
const views::EtchColours kEtch{QColor(90, 90, 90), QColor(230, 230, 230)};
// The main window's sky look (its fonts exist only with the application).
views::SkyLook SkyLook() { return {kBackground, kEtch, platform::CreateFont("System", 10, 6), 10, 8}; }
constexpr int kW = 273;

gnss::SkySat Sat(Constellation c, int svid, int azimuth, int elevation, bool used) {
  gnss::SkySat s;
  s.key = {c, svid};
  s.label = gnss::MakeLabel(s.key);
  s.azimuth = static_cast<std::int16_t>(azimuth);
  s.elevation = static_cast<std::int16_t>(elevation);
  s.has = gnss::Observation::kHasAzimuth | gnss::Observation::kHasElevation;
  s.used = used;
  return s;
}

// Away from the spokes and the scale's labels.
constexpr int kClearAzimuth = 15;
constexpr int kClearElevation = 52;

TEST(SkyAll, UsedBlueOthersGreyUnplaceableLeftOut) {
  std::vector<gnss::SkySat> sats = {Sat(Constellation::GPS, 12, 75, 52, true),
                                    Sat(Constellation::GLONASS, 7, 195, 52, false),
                                    Sat(Constellation::Galileo, 5, 285, 37, false),
                                    Sat(Constellation::BeiDou, 14, 135, -5, true)};  // below the horizon
  gnss::SkySat noAngle = Sat(Constellation::QZSS, 1, 255, 22, true);
  noAngle.has = gnss::Observation::kHasCno;
  sats.push_back(noAngle);
  views::SkyLayout sky;
  const QImage img = views::ComposeSkyAll(kW, 252, SkyLook(), sats, &sky);
  auto below = [&](int az, int el) {  // under the label, inside the marker
    const views::Point p = views::SkyPoint(sky, az, el);
    return At(img, p.x, p.y + 6);
  };
  EXPECT_EQ(below(75, 52), views::kUsedMarkerColour);
  EXPECT_EQ(below(195, 52), views::kMarkerColour);
  EXPECT_EQ(below(285, 37), views::kMarkerColour);
  EXPECT_EQ(below(255, 22), Qt::black);
  EXPECT_EQ(CountColour(img, img.rect(), views::kUsedMarkerColour),
            CountColour(views::ComposeSkyAll(kW, 252, SkyLook(), std::span(sats).first(1)), img.rect(),
                        views::kUsedMarkerColour));
  // Without satellites: the scale alone, as the GPS-only plot draws it at start.
  EXPECT_EQ(views::ComposeSkyAll(kW, 252, SkyLook(), {}), views::ComposeSky(kW, 252, SkyLook(), {}));
}

// Every label, whatever its constellation letter, stays inside its marker of
// radius 8 and is made of enough text pixels to be read; two letters give
// two different pictures.
TEST(SkyAll, LabelsStayInsideTheMarker) {
  views::SkyLayout sky = views::LayoutSky(kW, 252);
  const views::Point c = views::SkyPoint(sky, kClearAzimuth, kClearElevation);
  const QRect box(c.x - 12, c.y - 12, 25, 25);
  const QImage plain = views::ComposeSkyAll(kW, 252, SkyLook(), {});
  std::vector<QImage> seen;
  for (Constellation k :
       {Constellation::GPS, Constellation::GLONASS, Constellation::Galileo, Constellation::BeiDou,
        Constellation::QZSS, Constellation::NavIC, Constellation::SBAS}) {
    for (bool used : {false, true}) {
      const int svid = k == Constellation::SBAS ? 138 : k == Constellation::QZSS ? 7 : 28;
      const gnss::SkySat s = Sat(k, svid, kClearAzimuth, kClearElevation, used);
      SCOPED_TRACE(std::string(s.label.view()));
      const QImage img = views::ComposeSkyAll(kW, 252, SkyLook(), std::span(&s, 1));
      const QColor fill = used ? views::kUsedMarkerColour : views::kMarkerColour;
      int text = 0;
      for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
          // Pixel centres farther than the radius show the plot as it is
          // without the satellite; nearer ones marker or text.
          const double d = std::hypot(x + 0.5 - c.x, y + 0.5 - c.y);
          const QColor p = At(img, x, y);
          if (d > 8) {
            EXPECT_EQ(p, At(plain, x, y)) << x - c.x << "," << y - c.y;
          } else if (p != fill) {
            ++text;
          }
        }
      }
      EXPECT_GE(text, 20);
      // Three characters stand at least 6 pixels high.
      const QRect ink = views_test::BoundsOf(
          img, box, [&](QRgb p) { return views_test::Light(p) && QColor(p) != At(plain, 0, 0); });
      EXPECT_GE(ink.height(), s.label.size == 3 ? 6 : 3);
      if (!used) seen.push_back(img.copy(box));
    }
  }
  for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[0]) << i;
  // Narrower than the plot's font, and four characters no taller than three.
  EXPECT_LT(QFontMetrics(views::MarkerLabelFont(SkyLook(), 3)).averageCharWidth(), 6);
  EXPECT_LE(QFontMetrics(views::MarkerLabelFont(SkyLook(), 4)).height(),
            QFontMetrics(views::MarkerLabelFont(SkyLook(), 3)).height());
}

gnss::ChartBar Bar(Constellation c, int svid, int cno, bool used, bool hasCno = true) {
  const gnss::SatKey key{c, svid};
  return {key, gnss::MakeLabel(key), static_cast<std::int16_t>(cno), hasCno, used};
}

// Sixteen bars, used first: labels in the strip under their own bar, the
// frame line unbroken, the full scale from the bars drawn.
TEST(ChartAll, SixteenLabelledBarsInTheirStrip) {
  std::vector<gnss::ChartBar> bars;
  for (int i = 0; i < 9; ++i) bars.push_back(Bar(Constellation::GPS, 1 + 3 * i, 30 + i, true));
  bars.push_back(Bar(Constellation::GLONASS, 7, 44, true));
  bars.push_back(Bar(Constellation::SBAS, 138, 38, false));  // four characters
  bars.push_back(Bar(Constellation::Galileo, 11, 33, false));
  bars.push_back(Bar(Constellation::BeiDou, 14, 25, false));
  bars.push_back(Bar(Constellation::QZSS, 2, 9, false));
  bars.push_back(Bar(Constellation::NavIC, 3, 0, false, false));  // not tracked
  bars.push_back(Bar(Constellation::GLONASS, 22, 58, false));
  for (const views::TextCells cells : {views::TextCells::Opaque, views::TextCells::Transparent}) {
    int maxSnr = 20;
    const QImage img = views::ComposeChartAll(kW, 102, {kBackground, kEtch, cells}, bars, maxSnr);
    EXPECT_EQ(maxSnr, 58);
    const views::ChartLayout chart = views::LayoutChart(kW, 102, 16);
    const int bottom = chart.barBottom;
    EXPECT_EQ(CountColour(img, QRect(0, 100, kW - 1, 1), kEtch.shadow), kW - 1);  // inner bottom line
    EXPECT_EQ(At(img, 0, 50), kEtch.shadow);
    EXPECT_EQ(At(img, kW - 2, 50), kEtch.shadow);
    QRect previous;
    for (int i = 0; i < 16; ++i) {
      const int left = chart.BarLeft(i);
      EXPECT_EQ(At(img, left + 2, bottom - 3), i < 10    ? views::kUsedBarColour
                                               : i == 14 ? views::kEmptyBarColour
                                                         : views::kBarColour)
          << i;
      // The label under its bar: at most a pixel into the gaps beside it,
      // clear of its neighbours' and of the area's frame.
      const QRect ink = views_test::BoundsOf(img, QRect(left - 2, bottom, chart.barWidth + 4, 100 - bottom),
                                             [](QRgb p) { return qGray(p) < 120; });
      ASSERT_FALSE(ink.isEmpty()) << i;
      EXPECT_GE(ink.left(), left - 1) << i;
      EXPECT_LE(ink.right(), left + chart.barWidth) << i;
      EXPECT_LE(ink.bottom(), 99) << i;
      if (i > 0) {
        EXPECT_LT(previous.right(), ink.left()) << i;
      }
      previous = ink;
    }
  }
  // No bars: the frame and the background only.
  int maxSnr = 20;
  const QImage empty =
      views::ComposeChartAll(kW, 102, {kBackground, kEtch, views::TextCells::Opaque}, {}, maxSnr);
  EXPECT_EQ(CountColour(empty, QRect(2, 2, kW - 4, 98), kBackground), (kW - 4) * 98);
}

}  // namespace
