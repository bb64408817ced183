// The sky plot drawn into an image of the main window's sky area.

#include "views/sky_painter.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <climits>

#include "platform/dialog_look.h"
#include "view_pixels.h"

namespace {

using views_test::At;

const QColor kBackground(212, 208, 200);
const views::EtchColours kEtch{QColor(90, 90, 90), QColor(230, 230, 230)};
const QColor kBlue(0, 0, 255);
const QColor kGrey(128, 128, 128);

QImage Sky(const nmea::ReceiverState& state, views::SkyLayout* used = nullptr) {
  const views::SkyLook look{kBackground, kEtch, platform::CreateFont("System", 10, 6), 10, 8};
  return views::ComposeSky(273, 252, look, state, used);
}

void Place(nmea::ReceiverState& st, int slot, int prn, int azimuth, int elevation, int snr, int used) {
  st.channelPrn[static_cast<std::size_t>(slot)] = prn;
  if (nmea::SatInfo* s = st.SatFor(prn)) *s = {snr, elevation, azimuth, used};
}

QRect Around(views::Point p, int half) { return QRect(p.x - half, p.y - half, 2 * half + 1, 2 * half + 1); }

TEST(SkyPainter, StartPictureIsFrameDiscRingsSpokesAndLabels) {
  const QFontMetrics metrics(platform::CreateFont("System", 10, 6));
  EXPECT_EQ(metrics.ascent() + metrics.descent(), 10);
  views::SkyLayout sky;
  const QImage img = Sky(nmea::ReceiverState{}, &sky);
  ASSERT_EQ(img.size(), QSize(273, 252));
  // Etched frame: shadow outside on the top and left, highlight outside on
  // the bottom and right, the inner line swapped.
  EXPECT_EQ(At(img, 0, 100), kEtch.shadow);
  EXPECT_EQ(At(img, 1, 100), kEtch.highlight);
  EXPECT_EQ(At(img, 100, 251), kEtch.highlight);
  EXPECT_EQ(At(img, 100, 250), kEtch.shadow);
  EXPECT_EQ(At(img, 3, 3), kBackground);
  // The disc fills the box (10, 1)-(258, 249), right and bottom excluded.
  for (QPoint p : {QPoint(10, 126), QPoint(257, 126), QPoint(128, 1), QPoint(128, 248)})
    EXPECT_EQ(At(img, p.x(), p.y()), Qt::black) << p.x() << "," << p.y();
  for (QPoint p : {QPoint(9, 126), QPoint(258, 126), QPoint(128, 249)})
    EXPECT_EQ(At(img, p.x(), p.y()), kBackground) << p.x() << "," << p.y();
  // Rings of radius 20, 41, 62, 82, 103 cross a column beside the north-south
  // spoke at cy - r and cy + r - 1, with sky on both sides.
  const int x = sky.centre.x + 2;
  for (int r : sky.rings) {
    for (int y : {sky.centre.y - r, sky.centre.y + r - 1}) {
      EXPECT_EQ(At(img, x, y), kGrey) << r;
      EXPECT_EQ(At(img, x, y - 1), Qt::black) << r;
      EXPECT_EQ(At(img, x, y + 1), Qt::black) << r;
    }
  }
  // Spoke labels just inside the horizon, elevation labels along the
  // north-east spoke, each centred on its point, inside its 10-pixel cell
  // whose bottom lies half a text height below the point.
  auto centredOn = [&](views::Point p) {
    const QRect ink = views_test::BoundsOf(img, QRect(p.x - 9, p.y - 7, 19, 15), views_test::Yellowish);
    ASSERT_FALSE(ink.isEmpty()) << p.x << "," << p.y;
    EXPECT_NEAR(ink.center().x(), p.x, 2) << p.x << "," << p.y;
    EXPECT_NEAR(ink.center().y(), p.y, 2) << p.x << "," << p.y;
    EXPECT_GE(ink.top(), p.y + 5 - 10) << p.x << "," << p.y;
    EXPECT_LT(ink.bottom(), p.y + 5) << p.x << "," << p.y;
  };
  for (int a = 0; a < 360; a += 30) centredOn(views::SkyPoint(sky, a, 8.0));
  for (int e = 15; e <= 75; e += 15) centredOn(views::SkyPoint(sky, 45.0, e));
  // Twelve slots of PRN 0: no markers.
  EXPECT_EQ(views_test::CountColour(img, img.rect(), kBlue), 0);
  EXPECT_EQ(views_test::CountPixels(img, img.rect(), views_test::NearlyWhite), 0);
}

TEST(SkyPainter, MarkersAreBlueWhenUsedGreyOtherwiseAndLabelled) {
  nmea::ReceiverState st;
  st.svInView = 6;
  Place(st, 0, 3, 90, 45, 40, 1);
  Place(st, 1, 12, 200, 30, 35, 0);
  Place(st, 2, 7, 0, 40, 0, 0);      // azimuth 0 and no signal: not drawn
  Place(st, 3, 9, 0, 0, 20, 0);      // no position but heard: north horizon
  Place(st, 4, 21, 123, 90, 30, 0);  // zenith
  Place(st, 5, 22, 123, 90, 30, 1);  // same place, used, drawn over it
  views::SkyLayout sky;
  const QImage img = Sky(st, &sky);
  struct Expected {
    views::Point at;
    QColor fill;
  };
  for (const Expected& e :
       {Expected{views::SkyPoint(sky, 90, 45), kBlue}, Expected{views::SkyPoint(sky, 200, 30), kGrey},
        Expected{{133, 1}, kGrey}, Expected{sky.centre, kBlue}}) {
    // Below the label, still inside the radius-8 marker.
    EXPECT_EQ(At(img, e.at.x + 3, e.at.y + 6), e.fill) << e.at.x << "," << e.at.y;
    EXPECT_GT(views_test::CountPixels(img, Around(e.at, 6), views_test::Light), 0) << e.at.x;
  }
  const views::Point hidden = views::SkyPoint(sky, 0, 40);
  EXPECT_EQ(views_test::CountPixels(img, Around(hidden, 6), views_test::Light), 0);
  EXPECT_EQ(At(img, hidden.x + 3, hidden.y + 6), Qt::black);
}

// Slots and satellites as a damaged or hostile line may leave them: any
// count, PRN or angle a 32-bit field can hold.
TEST(SkyPainter, DamagedSatelliteDataStaysInsideTheTables) {
  nmea::ReceiverState st;
  const int prns[] = {0, 33, -1, INT_MIN, INT_MAX, 1, 2, 3, 32, 31, 4, 5, 6, 7, 8, 9};
  for (int i = 0; i < 16; ++i) st.channelPrn[static_cast<std::size_t>(i)] = prns[i];
  st.sats[0] = {INT_MAX, INT_MIN, INT_MAX, 1};
  st.sats[1] = {INT_MIN, INT_MAX, INT_MIN, 0};
  st.sats[2] = {5, -100000, 45, 1};
  st.sats[31] = {-1, 200, -720, 2};
  st.sats[30] = {1, 50, 75, 0};
  views::SkyLayout sky;
  Sky(st, &sky);
  const views::Point p = views::SkyPoint(sky, 75, 50);
  for (int n : {INT_MAX, 17, 16}) {
    st.svInView = n;
    EXPECT_EQ(At(Sky(st), p.x, p.y + 6), kGrey) << n;  // PRN 31 in slot 9
  }
  for (int n : {9, 0, -3, INT_MIN}) {
    st.svInView = n;
    EXPECT_EQ(At(Sky(st), p.x, p.y + 6), Qt::black) << n;
  }
}

}  // namespace
