#include "views/sky_painter.h"

#include <QFontMetrics>
#include <QPen>
#include <QString>

namespace views {
namespace {

// Whether something drawn around `at` can still show in the area. Points of
// absurd elevations from a damaged line lie far off and are left out rather
// than handed to the rasteriser.
bool NearArea(Point at, int width, int height) {
  return at.x > -width && at.x < 2 * width && at.y > -height && at.y < 2 * height;
}

}  // namespace

SkyLayout PaintSky(QPainter& p, int w, int h, const SkyLook& look, const nmea::ReceiverState& state) {
  const SkyLayout sky = LayoutSky(w, h);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(look.font);
  const QFontMetrics metrics(look.font, p.device());

  DrawEtchedFrame(p, 0, 0, w, h, look.etch);
  FillBox(p, 2, 2, w - 2, h - 2, look.background);

  const int cx = sky.centre.x;
  const int cy = sky.centre.y;
  const int r = static_cast<int>(sky.radius);
  p.setPen(QPen(kSkyColour, 1));
  p.setBrush(kSkyColour);
  DrawEllipseBox(p, cx - r, cy - r, cx + r, cy + r);

  p.setPen(QPen(kRingColour, 1, Qt::SolidLine));
  p.setBrush(Qt::NoBrush);
  for (int ring : sky.rings) DrawEllipseBox(p, cx - ring, cy - ring, cx + ring, cy + ring);

  // Labels are centred on their point: the anchor of a bottom-anchored cell
  // moves down by half the text height.
  const int halfText = look.textHeight / 2;
  const QPen spokePen(kRingColour, 1, Qt::DotLine);
  for (int a = 0; a < 360; a += 30) {
    const Point rim = SkyPoint(sky, a, 0);
    p.setPen(spokePen);
    p.drawLine(cx, cy, rim.x, rim.y);
    const Point label = SkyPoint(sky, a, 8.0);
    DrawAnchoredText(p, metrics, label.x, label.y + halfText, TextAnchor::Bottom,
                     QString::number(a == 0 ? 360 : a), kScaleTextColour);
  }
  for (int e = 15; e <= 75; e += 15) {
    const Point label = SkyPoint(sky, 45.0, e);
    DrawAnchoredText(p, metrics, label.x, label.y + halfText, TextAnchor::Bottom, QString::number(e),
                     kScaleTextColour);
  }

  const int mr = look.markerRadius;
  for (int i = 0; i < state.ViewSlotCount(); ++i) {
    const nmea::SatInfo s = SlotSat(state, i);
    if (!SkyMarkerShown(s)) continue;
    const Point at = SkyPoint(sky, s.azimuth, s.elevation);
    if (!NearArea(at, w, h)) continue;
    p.setPen(Qt::NoPen);
    p.setBrush(s.used == 1 ? kUsedMarkerColour : kMarkerColour);
    p.drawEllipse(QRect(at.x - mr, at.y - mr, 2 * mr, 2 * mr));
    DrawAnchoredText(p, metrics, at.x, at.y + halfText, TextAnchor::Bottom,
                     QString::number(state.channelPrn[static_cast<std::size_t>(i)]), kPrnTextColour);
  }
  p.restore();
  return sky;
}

QImage ComposeSky(int w, int h, const SkyLook& look, const nmea::ReceiverState& state, SkyLayout* used) {
  if (w <= 0 || h <= 0) {
    if (used) *used = LayoutSky(w, h);
    return {};
  }
  QImage image(w, h, QImage::Format_RGB32);
  QPainter p(&image);
  const SkyLayout sky = PaintSky(p, w, h, look, state);
  if (used) *used = sky;
  return image;
}

}  // namespace views
