#include "views/draw_tools.h"

namespace views {

EtchColours EtchColoursOf(const QPalette& palette) {
  return {palette.color(QPalette::Dark), palette.color(QPalette::Light)};
}

void FillBox(QPainter& p, int left, int top, int right, int bottom, const QColor& colour) {
  if (right <= left || bottom <= top) return;
  p.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), colour);
}

void DrawEtchedFrame(QPainter& p, int left, int top, int right, int bottom, const EtchColours& etch) {
  // One line of the frame: top and left edges in `topLeft`, then the bottom
  // and right edges, corners included, in `bottomRight`.
  const auto line = [&p](int l, int t, int r, int b, const QColor& topLeft, const QColor& bottomRight) {
    if (r <= l || b <= t) return;
    FillBox(p, l, t, r - 1, t + 1, topLeft);
    FillBox(p, l, t, l + 1, b - 1, topLeft);
    FillBox(p, l, b - 1, r, b, bottomRight);
    FillBox(p, r - 1, t, r, b, bottomRight);
  };
  line(left, top, right, bottom, etch.shadow, etch.highlight);
  line(left + 1, top + 1, right - 1, bottom - 1, etch.highlight, etch.shadow);
}

void DrawEllipseBox(QPainter& p, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  // An aliased outline of rectangle (x, y, w, h) covers w + 1 columns; one
  // less keeps the shape inside the box.
  p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void DrawAnchoredText(QPainter& p, const QFontMetrics& metrics, int x, int y, TextAnchor anchor,
                      const QString& text, const QColor& colour, const QColor& cell) {
  const int width = metrics.horizontalAdvance(text);
  const int height = metrics.ascent() + metrics.descent();
  const int left = x - width / 2;
  const int top = anchor == TextAnchor::Top ? y : y - height;
  if (cell.isValid()) FillBox(p, left, top, left + width, top + height, cell);
  p.setPen(colour);
  p.drawText(QPoint(left, top + metrics.ascent()), text);
}

}  // namespace views
