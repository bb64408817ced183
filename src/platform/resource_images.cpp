#include "platform/resource_images.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace platform {
namespace {

const QColor kNight(20, 45, 90);
const QColor kSky(45, 105, 170);
const QColor kGrid(220, 232, 245);
const QColor kUsed(60, 200, 90);
const QColor kTracked(240, 190, 40);

QPixmap Transparent(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A sky plot in miniature: horizon, elevation ring, cross and three satellites.
QPixmap PaintAppIcon(int size) {
  QPixmap pixmap = Transparent(size, size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  QLinearGradient fill(0, 0, 0, s);
  fill.setColorAt(0, kSky);
  fill.setColorAt(1, kNight);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s / 6, s / 6);

  const QPointF centre(s / 2, s / 2);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kGrid, s / 24));
  p.drawEllipse(centre, s * 0.38, s * 0.38);
  p.drawEllipse(centre, s * 0.19, s * 0.19);
  p.drawLine(QPointF(s / 2, s * 0.12), QPointF(s / 2, s * 0.88));
  p.drawLine(QPointF(s * 0.12, s / 2), QPointF(s * 0.88, s / 2));

  p.setPen(Qt::NoPen);
  const qreal r = s * 0.075;
  p.setBrush(kUsed);
  p.drawEllipse(QPointF(s * 0.66, s * 0.30), r, r);
  p.drawEllipse(QPointF(s * 0.30, s * 0.62), r, r);
  p.setBrush(kTracked);
  p.drawEllipse(QPointF(s * 0.74, s * 0.70), r, r);
  return pixmap;
}

// A satellite with its two solar panels, sending towards the lower left.
QPixmap PaintLogo() {
  constexpr int kWidth = 37;
  constexpr int kHeight = 29;
  QPixmap pixmap = Transparent(kWidth, kHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(22, 11);
  p.rotate(-30);
  p.setPen(QPen(kNight, 1));
  p.setBrush(kSky);
  p.drawRect(QRectF(-14, -3, 9, 6));  // left panel
  p.drawRect(QRectF(5, -3, 9, 6));    // right panel
  p.drawLine(QPointF(-5, 0), QPointF(5, 0));
  p.setBrush(QColor(200, 200, 205));
  p.drawRect(QRectF(-3, -4, 6, 8));  // body
  p.resetTransform();

  p.setPen(QPen(kSky, 1.4));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 3; ++i) {
    const qreal r = 5 + 4 * i;
    p.drawArc(QRectF(18 - r, 15 - r, 2 * r, 2 * r), 190 * 16, 60 * 16);
  }
  return pixmap;
}

// A small raised ring, written after degrees.
QPixmap PaintDegreeMark() {
  QPixmap pixmap = Transparent(5, 5);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.drawEllipse(QRectF(0.5, 0.5, 4, 4));
  return pixmap;
}

}  // namespace

QPixmap LoadBitmapResource(int id) {
  switch (id) {
    case kLogoResource:
      return PaintLogo();
    case kDegreeMarkResource:
      return PaintDegreeMark();
    default:
      return {};
  }
}

QIcon LoadIconResource(int id) {
  if (id != kAppIconResource) return {};
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(PaintAppIcon(size));
  return icon;
}

}  // namespace platform
