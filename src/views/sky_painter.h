#pragma once
// The sky plot drawn with QPainter: a black disc for the sky down to the
// horizon, elevation rings, azimuth spokes with their labels, and one marker
// per satellite in view, blue when used in the fix and grey otherwise.
//
// Two sources of satellites: the GPS-only receiver state (slots and PRNs,
// labelled with the PRN) and, in the "All constellations" mode, the
// every-constellation model's sky, each satellite labelled with its
// constellation letter and number ("G12", "R07", "E05", "C14") in a font
// small enough for the label to stay inside its marker.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <span>

#include "gnss/gnss_model.h"
#include "nmea/receiver_state.h"
#include "views/draw_tools.h"
#include "views/geometry.h"

namespace views {

struct SkyLook {
  QColor background;   // around the disc
  EtchColours etch;    // the area's frame
  QFont font;          // every label of the plot
  int textHeight = 0;  // the font's cell height
  int markerRadius = 0;
};

inline const QColor kSkyColour{0, 0, 0};
inline const QColor kRingColour{128, 128, 128};
inline const QColor kScaleTextColour{200, 200, 0};
inline const QColor kUsedMarkerColour{0, 0, 255};
inline const QColor kMarkerColour{128, 128, 128};
inline const QColor kPrnTextColour{255, 255, 255};

// Draws the whole plot of a width x height area with its top-left corner at
// the painter's origin; returns the layout the drawing used.
SkyLayout PaintSky(QPainter& p, int width, int height, const SkyLook& look, const nmea::ReceiverState& state);

// The plot composed off-screen: an image of the area's size.
QImage ComposeSky(int width, int height, const SkyLook& look, const nmea::ReceiverState& state,
                  SkyLayout* used = nullptr);

// The same plot with the satellites of the every-constellation model: every
// satellite with both angles and an elevation not below the horizon, the
// unused ones first and the used ones over them.
SkyLayout PaintSkyAll(QPainter& p, int width, int height, const SkyLook& look,
                      std::span<const gnss::SkySat> satellites);
QImage ComposeSkyAll(int width, int height, const SkyLook& look, std::span<const gnss::SkySat> satellites,
                     SkyLayout* used = nullptr);

// The font of a marker label of `chars` characters: the plot's face at the
// largest cell height up to the plot's text height whose labels (any
// constellation letter and digits) stay inside a marker of the given radius
// when centred on it.
QFont MarkerLabelFont(const SkyLook& look, int chars);

}  // namespace views
