#pragma once
// The pictures the templates and windows name by resource number: the
// application icon (128), the logo (139) and the degree mark (161). They are
// painted on first use, so the program carries no image files.

#include <QIcon>
#include <QPixmap>

namespace platform {

inline constexpr int kAppIconResource = 128;
inline constexpr int kLogoResource = 139;
inline constexpr int kDegreeMarkResource = 161;

// A bitmap at its own size; a null pixmap for an unknown number.
QPixmap LoadBitmapResource(int id);

// An icon in the usual sizes; a null icon for an unknown number.
QIcon LoadIconResource(int id);

}  // namespace platform
