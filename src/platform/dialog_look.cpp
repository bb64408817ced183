#include "platform/dialog_look.h"

#include <QApplication>
#include <QFontMetrics>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <algorithm>

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
  font.setPixelSize(std::max(1, height));
  if (width > 0) {
    // Stretch the face until its average character is `width` pixels wide.
    const int natural = QFontMetrics(font).averageCharWidth();
    if (natural > 0) font.setStretch(std::clamp(width * 100 / natural, 1, 4000));
  }
  return font;
}

void InitDialogLook() {
  QApplication::setStyle(new CDialogStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
  QApplication::setFont(DialogFont());
}

}  // namespace platform
