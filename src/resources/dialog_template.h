#pragma once
// Dialog templates as plain data: every window of the tool is described by
// one table of controls in dialog units, and the Qt shell builds the widgets
// from it (1.5 pixels per dialog unit in both directions).

#include <span>
#include <string_view>

namespace tmpl {

inline constexpr int kNoId = -1;     // unnumbered template items (labels, group boxes)
inline constexpr int kIdOk = 1;      // the button that confirms a dialog
inline constexpr int kIdCancel = 2;  // the button that abandons it (also Escape)

enum class Kind {
  Label,        // static text, left aligned
  LabelRight,   // static text, right aligned
  LabelCenter,  // static text, centred
  Button,
  DefaultButton,  // push button that Enter activates
  CheckBox,
  DropList,  // drop-down list without an edit field
  Edit,      // single-line edit field
  Console,   // multi-line read-only edit, vertical scroll bar, no wrap
  Preview,   // multi-line read-only edit that wraps long lines
  GroupBox,
  Frame,        // invisible frame that only marks an area
  EtchedFrame,  // etched frame
  Bitmap,       // small picture; `caption` names the resource
  Icon,         // the application icon
};

// Style bits a control can carry besides its kind.
enum Style : unsigned {
  kVisible = 0,
  kHidden = 1u << 0,
  kDisabled = 1u << 1,
  kNoWrap = 1u << 2,       // static text: one line, clipped instead of wrapped at blanks
  kEndEllipsis = 1u << 3,  // static text: one line ending in "…" where it does not fit
};

struct ControlTemplate {
  int id;
  Kind kind;
  std::string_view caption;
  int x, y, width, height;  // dialog units
  unsigned style = kVisible;
  std::span<const std::string_view> items = {};  // a drop-down list's entries, in list order
};

struct DialogTemplate {
  int id;
  std::string_view title;
  int width, height;  // client area in dialog units
  std::span<const ControlTemplate> controls;
};

// Dialog units to pixels: 1.5 pixels per unit, rounded half up, applied to
// both edges of a rectangle (so adjacent controls stay adjacent).
inline constexpr int DuToPx(int du) { return du >= 0 ? (du * 3 + 1) / 2 : -((-du * 3) / 2); }

struct PixelRect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

inline constexpr PixelRect ToPixels(const ControlTemplate& c) {
  return {DuToPx(c.x), DuToPx(c.y), DuToPx(c.x + c.width), DuToPx(c.y + c.height)};
}

const DialogTemplate& MainTemplate();      // template 102
const DialogTemplate& AboutTemplate();     // template 100
const DialogTemplate& SetupComTemplate();  // template 130

// The receiver configuration dialogs.
const DialogTemplate& NmeaOutputTemplate();     // template 131
const DialogTemplate& UartTemplate();           // template 132
const DialogTemplate& LowPowerTemplate();       // template 133
const DialogTemplate& EcefInitTemplate();       // template 134
const DialogTemplate& LatLonInitTemplate();     // template 135
const DialogTemplate& DatumTemplate();          // template 136
const DialogTemplate& MsgModeTemplate();        // template 137
const DialogTemplate& NavSettingsTemplate();    // template 138
const DialogTemplate& ResetTemplate();          // template 139
const DialogTemplate& FixExtractionTemplate();  // template 140

}  // namespace tmpl
