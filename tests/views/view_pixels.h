#pragma once
// Reading the views' pictures back in the tests.

#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>

namespace views_test {

// Number of pixels in `box` (clipped to the image) for which `match` holds.
inline int CountPixels(const QImage& image, QRect box, const std::function<bool(QRgb)>& match) {
  box &= image.rect();
  int count = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (match(image.pixel(x, y))) ++count;
  return count;
}

inline int CountColour(const QImage& image, QRect box, const QColor& colour) {
  const QRgb rgb = colour.rgb();
  return CountPixels(image, box, [rgb](QRgb p) { return (p | 0xFF000000u) == (rgb | 0xFF000000u); });
}

// The box that holds every pixel of `box` for which `match` holds; empty when none does.
inline QRect BoundsOf(const QImage& image, QRect box, const std::function<bool(QRgb)>& match) {
  box &= image.rect();
  QRect bounds;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (match(image.pixel(x, y))) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

inline QColor At(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

// Text pixels: glyphs are smoothed, so anything close to the text colour counts.
inline bool NearlyWhite(QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; }
// White text small enough that hardly a pixel is fully covered.
inline bool Light(QRgb p) { return qRed(p) > 160 && qGreen(p) > 160 && qBlue(p) > 160; }
inline bool NearlyBlack(QRgb p) { return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90; }
inline bool Yellowish(QRgb p) { return qRed(p) > 100 && qGreen(p) > 100 && qBlue(p) < 60; }

}  // namespace views_test
