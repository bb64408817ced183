#include "platform/dialog_look.h"

#include <QApplication>
#include <QFontMetrics>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <map>
#include <tuple>

namespace platform {
namespace {

// Narrow drop-down lists keep room for their text: a slimmer arrow button.
class CDialogStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    if (control == CC_ComboBox && (sub == SC_ComboBoxArrow || sub == SC_ComboBoxEditField)) {
      constexpr int kArrowWidth = 13;
      const QRect r = option->rect;
      if (sub == SC_ComboBoxArrow)
        return QRect(r.right() - kArrowWidth + 1, r.top(), kArrowWidth, r.height());
      return QRect(r.left() + 3, r.top() + 2, r.width() - kArrowWidth - 4, r.height() - 4);
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }
};

// The stretch that makes the average character of `font` `width` pixels
// wide, or as near as it gets; 0 when the face has no average width.
int StretchToWidth(QFont font, int width) {
  const int natural = QFontMetrics(font).averageCharWidth();
  if (natural <= 0) return 0;
  // Widths are whole pixels and faces scale in steps, so the proportional
  // guess can be a pixel off; a few corrections in proportion settle it.
  int stretch = std::clamp(width * 100 / natural, 1, 4000);
  int best = stretch;
  int bestError = std::numeric_limits<int>::max();
  for (int attempt = 0; attempt < 4; ++attempt) {
    font.setStretch(stretch);
    const int average = QFontMetrics(font).averageCharWidth();
    const int error = std::abs(average - width);
    if (error < bestError) {
      best = stretch;
      bestError = error;
    }
    if (error == 0 || average <= 0) break;
    int next = std::clamp(stretch * width / average, 1, 4000);
    if (next == stretch) next = std::clamp(stretch + (average < width ? 1 : -1), 1, 4000);
    stretch = next;
  }
  return best;
}

}  // namespace

QFont DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                    QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kDialogFontPixels);
  return font;
}

QFont CreateFont(std::string_view face, int height, int width) {
  QFont font(QString::fromLatin1(face.data(), static_cast<qsizetype>(face.size())));
  font.setStyleHint(QFont::SansSerif);
  return FitFontToCell(font, height, width);
}

QFont FitFontToCell(QFont font, int height, int width) {
  // Only the two numbers are kept: fonts themselves must not outlive the
  // application object.
  struct Fit {
    int pixelSize;
    int stretch;  // 0: the face's own
  };
  static std::map<std::tuple<QString, int, int>, Fit> fits;

  const auto key = std::make_tuple(font.toString(), height, width);
  auto found = fits.find(key);
  if (found == fits.end()) {
    // A cell is never lower than the em, so the search runs down from the
    // requested height; the first size that fits is the largest.
    Fit fit{1, 0};
    for (int size = std::max(1, height); size >= 1; --size) {
      QFont candidate = font;
      candidate.setPixelSize(size);
      const int stretch = width > 0 ? StretchToWidth(candidate, width) : 0;
      if (stretch > 0) candidate.setStretch(stretch);
      const QFontMetrics metrics(candidate);
      if (metrics.ascent() + metrics.descent() <= height || size == 1) {
        fit = {size, stretch};
        break;
      }
    }
    found = fits.emplace(key, fit).first;
  }
  font.setPixelSize(found->second.pixelSize);
  if (found->second.stretch > 0) font.setStretch(found->second.stretch);
  return font;
}

void InitDialogLook() {
  QApplication::setStyle(new CDialogStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
  QApplication::setFont(DialogFont());
}

}  // namespace platform
