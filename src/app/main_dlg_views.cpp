// The main window's two satellite views: the sky plot and the signal chart,
// drawn at once by the interpreter after a complete satellite set and again
// by the paint handler whenever the window is painted.
//
// Each drawing composes its view in an image of its own and puts it on the
// window in one step. A direct drawing (DrawSkyPlot, DrawSignalChart) shows
// its image through a synchronous repaint of its area, during which the paint
// handler copies that very image; it stays on the window until a later paint
// redraws the area from the receiver state. The two chart drawings differ in
// one visible way: a direct drawing fills the cells behind its labels, the
// paint handler draws the labels transparently over the bars.
//
// In the "All constellations" mode both views draw the every-constellation
// model's satellites instead of the GPS-only receiver state.

#include <QPaintEvent>
#include <QPainter>
#include <QRect>
#include <QRegion>

#include "app/constellation_mode.h"
#include "app/main_dlg.h"
#include "views/chart_painter.h"
#include "views/sky_painter.h"

namespace app {
namespace {

// The image a direct drawing is putting on a window; set only while that
// drawing's repaint runs.
struct DirectImage {
  const CMainDlg* window;
  const QImage* image;
  QPoint at;
};
const DirectImage* directImage = nullptr;

QRect AreaRect(const tmpl::PixelRect& area) {
  return QRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

// The colour the window's background shows at client pixel (3, 3).
QColor WindowBackground(const QWidget& window) {
  return window.palette().brush(window.backgroundRole()).color();
}

// The views' background: the one sampled at the first paint, or, for a
// drawing before that, the colour that paint will sample.
QColor ViewBackground(const CMainDlg& window) {
  return window.firstPaint ? WindowBackground(window) : window.backgroundColour;
}

views::SkyLook SkyLookOf(const CMainDlg& window, const QColor& background) {
  return {background, views::EtchColoursOf(window.palette()), window.skyFont, window.skyTextHeight,
          window.markerRadius};
}

views::ChartLook ChartLookOf(const CMainDlg& window, const QColor& background, views::TextCells cells) {
  return {background, views::EtchColoursOf(window.palette()), cells};
}

// The views as the window's mode has them drawn.
QImage ComposeSkyOf(const CMainDlg& window, int w, int h, const views::SkyLook& look, views::SkyLayout* sky) {
  const CConstellationMode& mode = window.Constellations();
  return mode.On() ? views::ComposeSkyAll(w, h, look, mode.SkyEntries(), sky)
                   : views::ComposeSky(w, h, look, window.receiver, sky);
}

QImage ComposeChartOf(const CMainDlg& window, int w, int h, const views::ChartLook& look, int& maxSnr) {
  const CConstellationMode& mode = window.Constellations();
  return mode.On() ? views::ComposeChartAll(w, h, look, mode.ChartBars(), maxSnr)
                   : views::ComposeChart(w, h, look, window.receiver, maxSnr);
}

// Puts `image` on the window now, its top-left corner at `at`.
void ShowDirect(CMainDlg& window, const QImage& image, QPoint at) {
  if (image.isNull()) return;
  const DirectImage direct{&window, &image, at};
  directImage = &direct;
  window.repaint(QRect(at, image.size()));
  directImage = nullptr;
}

}  // namespace

void CMainDlg::DrawSignalChart() {
  const QImage image =
      ComposeChartOf(*this, chartArea.right - chartArea.left, chartArea.bottom - chartArea.top,
                     ChartLookOf(*this, ViewBackground(*this), views::TextCells::Opaque), maxSnr);
  ShowDirect(*this, image, QPoint(chartArea.left, chartArea.top));
}

void CMainDlg::DrawSkyPlot() {
  views::SkyLayout sky;
  const QImage image = ComposeSkyOf(*this, skyArea.right - skyArea.left, skyArea.bottom - skyArea.top,
                                    SkyLookOf(*this, ViewBackground(*this)), &sky);
  skyRadius = sky.radius;
  skyCentre = QPoint(sky.centre.x, sky.centre.y);
  ShowDirect(*this, image, QPoint(skyArea.left, skyArea.top));
}

void CMainDlg::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (firstPaint) {
    backgroundColour = WindowBackground(*this);
    firstPaint = 0;
  }
  const DirectImage* direct = directImage != nullptr && directImage->window == this ? directImage : nullptr;
  // What this paint has to redraw from the receiver state: the event's
  // region less the part a direct drawing is showing.
  QRegion region = event->region();
  if (direct) region -= QRect(direct->at, direct->image->size());

  const QRect skyRect = AreaRect(skyArea);
  if (region.intersects(skyRect)) {
    views::SkyLayout sky;
    const QImage image =
        ComposeSkyOf(*this, skyRect.width(), skyRect.height(), SkyLookOf(*this, backgroundColour), &sky);
    skyRadius = sky.radius;
    skyCentre = QPoint(sky.centre.x, sky.centre.y);
    painter.drawImage(skyRect.topLeft(), image);
  }
  const QRect chartRect = AreaRect(chartArea);
  if (region.intersects(chartRect)) {
    const QImage image =
        ComposeChartOf(*this, chartRect.width(), chartRect.height(),
                       ChartLookOf(*this, backgroundColour, views::TextCells::Transparent), maxSnr);
    painter.drawImage(chartRect.topLeft(), image);
  } else {
    // The full scale follows every drawing, also one that is not seen.
    maxSnr = constellations_->On() ? views::RaiseMaxSnr(constellations_->ChartBars(), maxSnr)
                                   : views::RaiseMaxSnr(receiver, maxSnr);
  }
  if (direct) painter.drawImage(direct->at, *direct->image);
}

}  // namespace app
