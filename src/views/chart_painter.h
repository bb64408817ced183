#pragma once
// The signal-strength chart drawn with QPainter: one bar per slot of the
// current satellite set, its height the SNR against an adaptive full scale,
// its colour whether the satellite is used in the fix, the SNR written in or
// above the bar and the PRN underneath. In the "All constellations" mode the
// bars are the model's (used satellites first, then the strongest others, at
// most 16), labelled with constellation letter and number ("G12", "R07").

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <span>

#include "gnss/gnss_model.h"
#include "nmea/receiver_state.h"
#include "views/draw_tools.h"

namespace views {

// Whether label cells are filled behind the text or the text is drawn
// straight onto the bars and the background.
enum class TextCells { Opaque, Transparent };

struct ChartLook {
  QColor background;  // around the bars
  EtchColours etch;   // the area's and the bars' frames
  TextCells cells = TextCells::Opaque;
};

inline const QColor kEmptyBarColour{239, 235, 222};
inline const QColor kUsedBarColour{0, 60, 180};
inline const QColor kBarColour{150, 150, 150};
inline const QColor kDarkTextColour{0, 0, 0};
inline const QColor kLightTextColour{255, 255, 255};

// The labels' font for bars of the given font size in pixels: a serif face
// whose text cell is `height` pixels high, stretched to the average
// character width `width`.
QFont ChartLabelFont(int height, int width);

// Draws the chart of a width x height area with its top-left corner at the
// painter's origin. `maxSnr` is the full scale: the drawing first raises it
// to the largest SNR among the slots drawn and scales the bars against that.
void PaintChart(QPainter& p, int width, int height, const ChartLook& look, const nmea::ReceiverState& state,
                int& maxSnr);

// The chart composed off-screen: an image one pixel narrower and lower than
// the area; the area's last column and row are left to the window.
QImage ComposeChart(int width, int height, const ChartLook& look, const nmea::ReceiverState& state,
                    int& maxSnr);

// The chart of the "All constellations" mode: one bar per entry of `bars`,
// none when it is empty. A label wider than its bar and the gaps beside it
// is drawn narrower, so that it stays in the strip under its own bar.
void PaintChartAll(QPainter& p, int width, int height, const ChartLook& look,
                   std::span<const gnss::ChartBar> bars, int& maxSnr);
QImage ComposeChartAll(int width, int height, const ChartLook& look, std::span<const gnss::ChartBar> bars,
                       int& maxSnr);

}  // namespace views
