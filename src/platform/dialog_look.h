#pragma once
// The look of the tool's windows: style and fonts.

#include <QFont>
#include <string_view>

namespace platform {

// Pixel height of the one font every window's controls use. At 1.5 pixels
// per dialog unit a line of text is 8 to 9 units high.
inline constexpr int kDialogFontPixels = 11;

// The controls' font: a narrow sans-serif family, with fallbacks.
QFont DialogFont();

// A font asked for by face name, cell height and average character width in
// pixels, as drawing code names them. A face the system lacks falls back to
// a sans-serif one; a width of 0 keeps the face's own proportions.
QFont CreateFont(std::string_view face, int height, int width);

// `font` (its families and style hint already chosen) sized by its text
// cell: the largest pixel size whose cell, ascent plus descent, is at most
// `height` pixels high (exactly `height` where the face allows), stretched
// until its average character is `width` pixels wide; a width of 0 keeps the
// face's own proportions. The sizes found are remembered per face, height
// and width.
QFont FitFontToCell(QFont font, int height, int width);

// The three-dimensional look of dialog controls, the same on every desktop.
// Call once after the application object exists, before the first window.
void InitDialogLook();

}  // namespace platform
