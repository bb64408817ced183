#include "views/chart_painter.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "platform/dialog_look.h"
#include "views/geometry.h"

namespace views {

QFont ChartLabelFont(int height, int width) {
  QFont font;
  font.setFamilies({QStringLiteral("NewsRoman"), QStringLiteral("Times New Roman"),
                    QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                    QStringLiteral("serif")});
  font.setStyleHint(QFont::Serif);
  return platform::FitFontToCell(font, height, width);
}

void PaintChart(QPainter& p, int w, int h, const ChartLook& look, const nmea::ReceiverState& state,
                int& maxSnr) {
  const ChartLayout chart = LayoutChart(w, h, state.ViewSlotCount());
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);

  FillBox(p, 0, 0, w, h, look.background);
  DrawEtchedFrame(p, 0, 0, w, h, look.etch);

  maxSnr = RaiseMaxSnr(state, maxSnr);
  if (chart.bars == 0) {
    p.restore();
    return;
  }

  const QFont font = ChartLabelFont(chart.fontHeight, chart.fontWidth);
  p.setFont(font);
  const QFontMetrics metrics(font, p.device());
  const bool opaque = look.cells == TextCells::Opaque;
  const auto cell = [opaque](const QColor& c) { return opaque ? c : QColor(); };

  const int b = chart.barWidth;
  const int bottom = chart.barBottom;
  for (int i = 0; i < chart.bars; ++i) {
    const int prn = state.channelPrn[static_cast<std::size_t>(i)];
    const nmea::SatInfo s = SlotSat(state, i);
    const int left = chart.BarLeft(i);

    DrawAnchoredText(p, metrics, left + b / 2, bottom - 2, TextAnchor::Top, QString::number(prn),
                     kDarkTextColour, cell(kEmptyBarColour));
    DrawEtchedFrame(p, left, 3, left + b, bottom, look.etch);
    FillBox(p, left + 1, 4, left + b - 2, bottom - 2, kEmptyBarColour);

    const int top = BarTop(chart, s.snr, maxSnr);
    const QColor& fill = s.used == 1 ? kUsedBarColour : kBarColour;
    FillBox(p, left + 1, top, left + b - 2, bottom - 2, fill);

    if (SnrLabelShown(s.snr)) {
      const int x = (left + 1) + ((left + b - 2) - (left + 1)) / 2;
      if (SnrLabelInside(s.snr)) {
        DrawAnchoredText(p, metrics, x, top, TextAnchor::Top, QString::number(s.snr), kLightTextColour,
                         cell(fill));
      } else {
        DrawAnchoredText(p, metrics, x, top, TextAnchor::Bottom, QString::number(s.snr), kDarkTextColour,
                         cell(kEmptyBarColour));
      }
    }
  }
  p.restore();
}

QImage ComposeChart(int w, int h, const ChartLook& look, const nmea::ReceiverState& state, int& maxSnr) {
  if (w <= 1 || h <= 1) {
    maxSnr = RaiseMaxSnr(state, maxSnr);
    return {};
  }
  QImage image(w - 1, h - 1, QImage::Format_RGB32);
  QPainter p(&image);
  PaintChart(p, w, h, look, state, maxSnr);
  return image;
}

}  // namespace views
