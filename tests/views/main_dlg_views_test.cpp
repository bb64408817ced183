// The two views in the real main window: the picture at start, a complete
// satellite set shown at once, and the paint handler's redraw.

#include <gtest/gtest.h>

#include <QPalette>
#include <QScreen>
#include <QTest>

#include "app/main_dlg.h"
#include "view_pixels.h"
#include "views/chart_painter.h"
#include "views/geometry.h"

namespace {

using views_test::At;
using views_test::CountColour;

// Six satellites in two sentences, off the rings and spokes; PRN 14 has no
// signal and azimuth 0, PRN 9 a signal and no position.
constexpr const char* kSet1 = "$GPGSV,2,1,06,03,50,075,40,12,40,200,35,14,40,000,,09,00,000,20";
constexpr const char* kSet2 = "$GPGSV,2,2,06,21,90,123,48,27,20,290,08";
constexpr const char* kUsing3And21 = "$GPGSA,A,3,03,21,,,,,,,,,,,2.0,1.2,1.6";

class MainDlgViews : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  }
  // What the window shows right now, without letting it paint again.
  QImage Shown() { return dlg.screen()->grabWindow(dlg.winId()).toImage(); }
  // The colour just below the label of a marker at (azimuth, elevation),
  // moved right by dx.
  QColor Marker(const QImage& img, double azimuth, double elevation, int dx = 0) const {
    const views::Point p = views::SkyPoint(views::LayoutSky(273, 252), azimuth, elevation);
    return At(img, dlg.skyArea.left + p.x + dx, dlg.skyArea.top + p.y + 6);
  }
  // The colour at the bottom of the inside of bar i of n.
  QColor BarFoot(const QImage& img, int i, int n) const {
    const views::ChartLayout chart = views::LayoutChart(273, 102, n);
    return At(img, dlg.chartArea.left + chart.BarLeft(i) + 2, dlg.chartArea.top + chart.barBottom - 3);
  }
  int PrnCells(const QImage& img, int n) const {
    const int bottom = views::LayoutChart(273, 102, n).barBottom;
    return CountColour(img, QRect(dlg.chartArea.left + 2, dlg.chartArea.top + bottom, 269, 100 - bottom),
                       views::kEmptyBarColour);
  }

  app::CMainDlg dlg;
};

TEST_F(MainDlgViews, FirstPaintSamplesTheBackgroundAndDrawsBothViews) {
  const QImage img = dlg.grab().toImage();
  EXPECT_EQ(dlg.firstPaint, 0);
  EXPECT_EQ(dlg.backgroundColour, dlg.palette().color(QPalette::Window));
  EXPECT_EQ(dlg.skyRadius, 124.0);
  EXPECT_EQ(dlg.skyCentre, QPoint(134, 125));
  EXPECT_EQ(At(img, dlg.skyArea.left + 4, dlg.skyArea.top + 4), QColor(dlg.backgroundColour.rgb()));
  EXPECT_EQ(At(img, dlg.skyArea.left + 134, dlg.skyArea.top + 60), Qt::black);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(BarFoot(img, i, 12), views::kEmptyBarColour) << i;
  // The chart's etched frame; its last column and row come from the frame
  // control beneath.
  const QColor shadow(dlg.palette().color(QPalette::Dark).rgb());
  const QColor highlight(dlg.palette().color(QPalette::Light).rgb());
  const int y = dlg.chartArea.top + 50;
  EXPECT_EQ(At(img, dlg.chartArea.left, y), shadow);
  EXPECT_EQ(At(img, dlg.chartArea.right - 2, y), shadow);
  EXPECT_EQ(At(img, dlg.chartArea.right - 1, y), highlight);
  EXPECT_EQ(At(img, dlg.chartArea.left + 100, dlg.chartArea.bottom - 1), highlight);
}

TEST_F(MainDlgViews, CompleteSetIsShownAtOnceAndRepaintedTransparent) {
  dlg.InterpretSentence(kSet1);
  EXPECT_EQ(Marker(Shown(), 75, 50), Qt::black);  // not before the set is complete

  dlg.InterpretSentence(kSet2);
  const QImage direct = Shown();
  const QColor grey(128, 128, 128);
  EXPECT_EQ(Marker(direct, 75, 50), grey);
  EXPECT_EQ(Marker(direct, 200, 40), grey);
  EXPECT_EQ(Marker(direct, 0, 0), grey);
  EXPECT_EQ(Marker(direct, 290, 20), grey);
  EXPECT_EQ(Marker(direct, 0, 40, 3), Qt::black);  // off the north spoke
  EXPECT_EQ(dlg.maxSnr, 48);
  EXPECT_EQ(BarFoot(direct, 4, 6), views::kBarColour);
  EXPECT_EQ(BarFoot(direct, 2, 6), views::kEmptyBarColour);
  // The direct drawing's PRN labels sit on patches of the empty-bar colour,
  // the paint handler's do not; everything else is the same.
  EXPECT_GT(PrnCells(direct, 6), 0);
  dlg.repaint();
  const QImage painted = Shown();
  EXPECT_EQ(PrnCells(painted, 6), 0);
  const QRect views(dlg.skyArea.left, dlg.skyArea.top, 273, 252 + 70);
  EXPECT_EQ(direct.copy(views), painted.copy(views));
}

TEST_F(MainDlgViews, UsedSatellitesTurnBlueAtTheNextSet) {
  for (const char* s : {kSet1, kSet2, kUsing3And21}) dlg.InterpretSentence(s);
  EXPECT_EQ(Marker(Shown(), 75, 50), QColor(128, 128, 128));
  dlg.InterpretSentence(kSet1);
  dlg.InterpretSentence(kSet2);
  const QImage img = Shown();
  EXPECT_EQ(Marker(img, 75, 50), QColor(0, 0, 255));
  EXPECT_EQ(Marker(img, 0, 90), QColor(0, 0, 255));
  EXPECT_EQ(BarFoot(img, 0, 6), views::kUsedBarColour);
  EXPECT_EQ(BarFoot(img, 1, 6), views::kBarColour);
}

TEST(MainDlgViewsHidden, DrawingBeforeTheFirstPaintRaisesTheFullScale) {
  app::CMainDlg dlg;
  dlg.InterpretSentence(kSet1);
  dlg.InterpretSentence(kSet2);
  EXPECT_EQ(dlg.maxSnr, 48);
  EXPECT_EQ(dlg.firstPaint, 1);
}

}  // namespace
