#include "views/sky_painter.h"

#include <QFontMetrics>
#include <QPen>
#include <QString>
#include <algorithm>
#include <map>
#include <tuple>

#include "platform/dialog_look.h"

namespace views {
namespace {

// Whether something drawn around `at` can still show in the area. Points of
// absurd elevations from a damaged line lie far off and are left out rather
// than handed to the rasteriser.
bool NearArea(Point at, int width, int height) {
  return at.x > -width && at.x < 2 * width && at.y > -height && at.y < 2 * height;
}

// The frame, the background, the disc, the rings and the spokes with their
// labels.
void PaintSkyScale(QPainter& p, int w, int h, const SkyLook& look, const QFontMetrics& metrics,
                   const SkyLayout& sky) {
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
}

// Where a marker label's cell of height `cell` ends below the marker's
// centre: the cell is centred on it, half a pixel low when its height is odd.
int LabelBottom(int cell) { return (cell + 1) / 2; }

QFont CellFont(const QFont& face, int height, int width) {
  QFont base = face;
  base.setStretch(QFont::AnyStretch);  // stretched afresh for the new width
  return platform::FitFontToCell(base, height, width);
}

// Whether labels of `chars` characters (any constellation letter, then
// digits), drawn centred on a marker of radius `radius`, ink no pixel whose
// centre lies outside it. Tried by drawing them, as the plot will.
bool LabelsFit(const QFont& font, int chars, int radius) {
  const int side = 2 * radius + 8;
  const int c = side / 2;
  QImage image(side, side, QImage::Format_RGB32);
  const QFontMetrics metrics(font, &image);
  const int cell = metrics.ascent() + metrics.descent();
  const double limit = static_cast<double>(radius) * radius;
  for (char prefix : {'G', 'R', 'E', 'C', 'J', 'I', 'S', '?'}) {
    for (char last : {'0', '2', '4', '7'}) {
      QString sample(std::max(chars, 2), QLatin1Char('0'));
      sample[0] = QLatin1Char(prefix);
      sample[sample.size() - 1] = QLatin1Char(last);
      image.fill(Qt::black);
      {
        QPainter p(&image);
        p.setFont(font);
        DrawAnchoredText(p, metrics, c, c + LabelBottom(cell), TextAnchor::Bottom, sample, Qt::white);
      }
      for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
          const double dx = x + 0.5 - c;
          const double dy = y + 0.5 - c;
          if (dx * dx + dy * dy > limit && (image.pixel(x, y) & 0xFFFFFF) != 0) return false;
        }
      }
    }
  }
  return true;
}

}  // namespace

QFont MarkerLabelFont(const SkyLook& look, int chars) {
  // Only the cell found is kept: fonts must not outlive the application.
  struct Cell {
    int height, width;
  };
  static std::map<std::tuple<QString, int, int, int>, Cell> cells;
  const auto key = std::make_tuple(look.font.toString(), look.markerRadius, look.textHeight, chars);
  auto found = cells.find(key);
  if (found == cells.end()) {
    // The tallest characters first, down to a third as wide as high if need be.
    Cell chosen{3, 2};
    bool fits = false;
    for (int height = look.textHeight; height > 3 && !fits; --height) {
      for (int width = (2 * height) / 3; width >= std::max(2, height / 3) && !fits; --width) {
        fits = LabelsFit(CellFont(look.font, height, width), chars, look.markerRadius);
        if (fits) chosen = {height, width};
      }
    }
    found = cells.emplace(key, chosen).first;
  }
  return CellFont(look.font, found->second.height, found->second.width);
}

SkyLayout PaintSky(QPainter& p, int w, int h, const SkyLook& look, const nmea::ReceiverState& state) {
  const SkyLayout sky = LayoutSky(w, h);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(look.font);
  const QFontMetrics metrics(look.font, p.device());
  PaintSkyScale(p, w, h, look, metrics, sky);

  const int halfText = look.textHeight / 2;
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

SkyLayout PaintSkyAll(QPainter& p, int w, int h, const SkyLook& look, std::span<const gnss::SkySat> sats) {
  const SkyLayout sky = LayoutSky(w, h);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(look.font);
  const QFontMetrics metrics(look.font, p.device());
  PaintSkyScale(p, w, h, look, metrics, sky);

  const int mr = look.markerRadius;
  for (bool used : {false, true}) {
    for (const gnss::SkySat& s : sats) {
      if (s.used != used || !SkyEntryShown(s)) continue;
      const Point at = SkyPoint(sky, s.azimuth, s.elevation);
      if (!NearArea(at, w, h)) continue;
      p.setPen(Qt::NoPen);
      p.setBrush(used ? kUsedMarkerColour : kMarkerColour);
      p.drawEllipse(QRect(at.x - mr, at.y - mr, 2 * mr, 2 * mr));
      const std::string_view label = s.label.view();
      const QFont font = MarkerLabelFont(look, static_cast<int>(label.size()));
      p.setFont(font);
      const QFontMetrics labelMetrics(font, p.device());
      const int cell = labelMetrics.ascent() + labelMetrics.descent();
      DrawAnchoredText(p, labelMetrics, at.x, at.y + LabelBottom(cell), TextAnchor::Bottom,
                       QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size())),
                       kPrnTextColour);
    }
  }
  p.restore();
  return sky;
}

QImage ComposeSkyAll(int w, int h, const SkyLook& look, std::span<const gnss::SkySat> sats, SkyLayout* used) {
  if (w <= 0 || h <= 0) {
    if (used) *used = LayoutSky(w, h);
    return {};
  }
  QImage image(w, h, QImage::Format_RGB32);
  QPainter p(&image);
  const SkyLayout sky = PaintSkyAll(p, w, h, look, sats);
  if (used) *used = sky;
  return image;
}

}  // namespace views
