#pragma once
// Builds a window's controls from its dialog template. Every window of the
// tool is made this way, so geometry, fonts and control kinds are uniform.
//
// Each numbered control carries its id as the dynamic property "controlId"
// and as the object name "ctl<id>"; unnumbered items carry neither.

#include <QRect>
#include <QSize>

#include "resources/dialog_template.h"

class QWidget;

namespace platform {

inline constexpr char kControlIdProperty[] = "controlId";

// A drop-down list's template height is the extent of its opened list, as in
// the templates; the closed box is at most this high.
inline constexpr int kDropListClosedHeight = 12;  // dialog units

// The client area of a window built from `t`, in pixels.
QSize ClientSize(const tmpl::DialogTemplate& t);

// Where the widget for `c` goes, in pixels relative to the client area,
// before any adjustment that depends on its content.
QRect ControlRect(const tmpl::ControlTemplate& c);

// Creates the widget for one template item as a child of `parent`, placed,
// captioned and styled. Never returns null.
QWidget* CreateControl(const tmpl::ControlTemplate& c, QWidget* parent);

// The id a widget was built with, or tmpl::kNoId.
int ControlId(const QWidget* widget);

// Static text among the controls of `window` that runs under a button to its
// right is cut back to end a little before the button, so that no part of it
// is hidden there. Text styled kEndEllipsis then ends in "…" where it is cut.
void KeepTextClearOfButtons(QWidget& window);

}  // namespace platform
