#include "views/chart_painter.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "platform/dialog_look.h"
#include "views/geometry.h"

namespace views {
namespace {

// What one bar shows.
struct Bar {
  QString label;
  int snr = 0;
  bool used = false;
};

class ChartDrawing {
 public:
  ChartDrawing(QPainter& p, const ChartLook& look, const ChartLayout& chart, const QFont& font, int maxSnr)
      : p_(p), look_(look), chart_(chart), font_(font), metrics_(font, p.device()), maxSnr_(maxSnr) {}

  // Bar i with its label drawn in `labelFont` (the chart's font unless the
  // label needs a narrower one).
  void Draw(int i, const Bar& bar, const QFont* labelFont = nullptr) {
    const int b = chart_.barWidth;
    const int bottom = chart_.barBottom;
    const int left = chart_.BarLeft(i);

    if (labelFont) {
      p_.setFont(*labelFont);
      DrawAnchoredText(p_, QFontMetrics(*labelFont, p_.device()), left + b / 2, bottom - 2, TextAnchor::Top,
                       bar.label, kDarkTextColour, Cell(kEmptyBarColour));
      p_.setFont(font_);
    } else {
      DrawAnchoredText(p_, metrics_, left + b / 2, bottom - 2, TextAnchor::Top, bar.label, kDarkTextColour,
                       Cell(kEmptyBarColour));
    }
    DrawEtchedFrame(p_, left, 3, left + b, bottom, look_.etch);
    FillBox(p_, left + 1, 4, left + b - 2, bottom - 2, kEmptyBarColour);

    const int top = BarTop(chart_, bar.snr, maxSnr_);
    const QColor& fill = bar.used ? kUsedBarColour : kBarColour;
    FillBox(p_, left + 1, top, left + b - 2, bottom - 2, fill);

    if (SnrLabelShown(bar.snr)) {
      const int x = (left + 1) + ((left + b - 2) - (left + 1)) / 2;
      if (SnrLabelInside(bar.snr)) {
        DrawAnchoredText(p_, metrics_, x, top, TextAnchor::Top, QString::number(bar.snr), kLightTextColour,
                         Cell(fill));
      } else {
        DrawAnchoredText(p_, metrics_, x, top, TextAnchor::Bottom, QString::number(bar.snr), kDarkTextColour,
                         Cell(kEmptyBarColour));
      }
    }
  }

  const QFontMetrics& Metrics() const { return metrics_; }

 private:
  QColor Cell(const QColor& c) const { return look_.cells == TextCells::Opaque ? c : QColor(); }

  QPainter& p_;
  const ChartLook& look_;
  const ChartLayout& chart_;
  QFont font_;
  QFontMetrics metrics_;
  int maxSnr_;
};

// The background and the area's frame.
void PaintChartFrame(QPainter& p, int w, int h, const ChartLook& look) {
  FillBox(p, 0, 0, w, h, look.background);
  DrawEtchedFrame(p, 0, 0, w, h, look.etch);
}

}  // namespace

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
  PaintChartFrame(p, w, h, look);

  maxSnr = RaiseMaxSnr(state, maxSnr);
  if (chart.bars == 0) {
    p.restore();
    return;
  }

  const QFont font = ChartLabelFont(chart.fontHeight, chart.fontWidth);
  p.setFont(font);
  ChartDrawing drawing(p, look, chart, font, maxSnr);
  for (int i = 0; i < chart.bars; ++i) {
    const nmea::SatInfo s = SlotSat(state, i);
    drawing.Draw(i, {QString::number(state.channelPrn[static_cast<std::size_t>(i)]), s.snr, s.used == 1});
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

void PaintChartAll(QPainter& p, int w, int h, const ChartLook& look, std::span<const gnss::ChartBar> bars,
                   int& maxSnr) {
  const int n = static_cast<int>(std::min<std::size_t>(bars.size(), nmea::kChannelSlots));
  bars = bars.first(static_cast<std::size_t>(n));
  const ChartLayout chart = LayoutChart(w, h, n);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  PaintChartFrame(p, w, h, look);

  maxSnr = RaiseMaxSnr(bars, maxSnr);
  if (chart.bars == 0) {
    p.restore();
    return;
  }

  const QFont font = ChartLabelFont(chart.fontHeight, chart.fontWidth);
  p.setFont(font);
  ChartDrawing drawing(p, look, chart, font, maxSnr);
  for (int i = 0; i < chart.bars; ++i) {
    const gnss::ChartBar& bar = bars[static_cast<std::size_t>(i)];
    const std::string_view text = bar.label.view();
    const QString label = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    // A label may take its bar's width and one pixel of the gap on either
    // side; a wider one gets narrower characters, down to one pixel.
    const int room = chart.barWidth + 2;
    QFont narrow;
    const QFont* labelFont = nullptr;
    if (drawing.Metrics().horizontalAdvance(label) > room) {
      for (int width = chart.fontWidth - 1; width >= 1; --width) {
        narrow = ChartLabelFont(chart.fontHeight, width);
        if (QFontMetrics(narrow, p.device()).horizontalAdvance(label) <= room) break;
      }
      labelFont = &narrow;
    }
    drawing.Draw(i, {label, BarSnr(bar), bar.used}, labelFont);
  }
  p.restore();
}

QImage ComposeChartAll(int w, int h, const ChartLook& look, std::span<const gnss::ChartBar> bars,
                       int& maxSnr) {
  if (w <= 1 || h <= 1) {
    maxSnr = RaiseMaxSnr(bars, maxSnr);
    return {};
  }
  QImage image(w - 1, h - 1, QImage::Format_RGB32);
  QPainter p(&image);
  PaintChartAll(p, w, h, look, bars, maxSnr);
  return image;
}

}  // namespace views
