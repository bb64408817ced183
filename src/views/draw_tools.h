#pragma once
// Drawing primitives the two views share. Rectangles are given as
// (left, top, right, bottom) with the right column and the bottom row
// excluded, the way the views' arithmetic describes them.

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QString>

namespace views {

// The two colours of an etched frame: the 3-D shadow and highlight.
struct EtchColours {
  QColor shadow;
  QColor highlight;
};

// The etch colours of a palette, the same ones the window's own frames use.
EtchColours EtchColoursOf(const QPalette& palette);

// Fills (left, top)-(right, bottom); an empty or inverted box fills nothing.
void FillBox(QPainter& p, int left, int top, int right, int bottom, const QColor& colour);

// A 2-pixel etched frame just inside the box: outer line in the shadow
// colour on the top and left and the highlight colour on the bottom and
// right, inner line with the two colours swapped.
void DrawEtchedFrame(QPainter& p, int left, int top, int right, int bottom, const EtchColours& etch);

// A circle or ellipse inside the box, outlined with the painter's pen and
// filled with its brush.
void DrawEllipseBox(QPainter& p, int left, int top, int right, int bottom);

enum class TextAnchor { Top, Bottom };

// Draws `text` horizontally centred on x, with the top or the bottom of its
// text cell on y, in the painter's font. The cell is first filled with
// `cell` when that is valid; an invalid colour leaves the background as it
// is (transparent text).
void DrawAnchoredText(QPainter& p, const QFontMetrics& metrics, int x, int y, TextAnchor anchor,
                      const QString& text, const QColor& colour, const QColor& cell = QColor());

}  // namespace views
