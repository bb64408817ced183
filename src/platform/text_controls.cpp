#include "platform/text_controls.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

namespace platform {

CStaticText::CStaticText(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  UpdateToolTip();
}

void CStaticText::SetCaption(const QString& text) {
  setText(text);
  UpdateToolTip();
}

QString CStaticText::ShownText() const {
  const QString whole = text();
  const QFontMetrics metrics = fontMetrics();
  const int room = contentsRect().width();
  // Blanks at the end take no room that anyone could see.
  qsizetype visible = whole.size();
  while (visible > 0 && whole[visible - 1] == QLatin1Char(' ')) --visible;
  if (metrics.horizontalAdvance(whole.left(visible)) <= room) return whole;
  return metrics.elidedText(whole, Qt::ElideRight, room);
}

void CStaticText::paintEvent(QPaintEvent* event) {
  const QString shown = ShownText();
  if (shown == text()) {
    QLabel::paintEvent(event);
    return;
  }
  // As the label paints its text, only shortened.
  QPainter p(this);
  drawFrame(&p);
  style()->drawItemText(&p, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                        palette(), isEnabled(), shown, foregroundRole());
}

void CStaticText::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  UpdateToolTip();
}

void CStaticText::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateToolTip();
}

void CStaticText::UpdateToolTip() { setToolTip(ShownText() == text() ? QString() : text()); }

CDropList::CDropList(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentTextChanged, this, [this] { UpdateToolTip(); });
}

int CDropList::TextRoom() const {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  // The current item is drawn one pixel in from both ends of the edit field.
  return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width() -
         2;
}

int CDropList::WidestItem() const {
  const QFontMetrics metrics(view()->font());
  int widest = 0;
  for (int i = 0; i < count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
  // An item view leaves a margin on both sides of its text.
  return widest + 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view()) + 1);
}

void CDropList::showPopup() {
  // Lists that open as a popup are widened by Qt itself; this keeps every
  // item whole whatever the style does.
  const QScrollBar* bar = view()->verticalScrollBar();
  const int scroll = bar != nullptr && count() > maxVisibleItems() ? bar->sizeHint().width() : 0;
  view()->setMinimumWidth(WidestItem() + scroll + 2 * view()->frameWidth());
  QComboBox::showPopup();
}

void CDropList::resizeEvent(QResizeEvent* event) {
  QComboBox::resizeEvent(event);
  UpdateToolTip();
}

void CDropList::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) UpdateToolTip();
}

void CDropList::UpdateToolTip() {
  const QString current = currentText();
  setToolTip(fontMetrics().horizontalAdvance(current) > TextRoom() ? current : QString());
}

}  // namespace platform
