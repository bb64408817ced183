#pragma once
// Whether a window's texts can be read: every caption fits its control, every
// list item fits its closed list or, failing that, its opened list (and then
// the closed list offers the whole text as its tooltip), and no static text
// runs under a button.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_builder.h"

namespace uitest {

// What a problem is reported with: the window's title, the control's id and
// the text.
inline std::string Where(const QWidget& control, const QString& text) {
  return control.window()->windowTitle().toStdString() + " #" +
         std::to_string(platform::ControlId(&control)) + " \"" + text.toStdString() + "\"";
}

// The width a closed list has for the text of its current item.
inline int ClosedListTextWidth(const QComboBox& list) {
  QStyleOptionComboBox option;
  option.initFrom(&list);
  option.editable = list.isEditable();
  // The label is drawn one pixel in from both ends of the edit field.
  return list.style()
             ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list)
             .width() -
         2;
}

// The columns of `row` that hold its text's ink: pixels unlike the row's
// commonest colour, its background, inside a 2-pixel frame left to the
// row's own outline.
inline std::pair<int, int> InkColumns(const QImage& row) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < row.height(); ++y)
    for (int x = 0; x < row.width(); ++x) ++counts[row.pixel(x, y)];
  const QRgb background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                          })->first;
  int left = row.width(), right = -1;
  for (int x = 2; x < row.width() - 2; ++x) {
    for (int y = 2; y < row.height() - 2; ++y) {
      if (row.pixel(x, y) != background) {
        left = std::min(left, x);
        right = std::max(right, x);
        break;
      }
    }
  }
  return {left, right};
}

// The problems with the items of `list`: every item shows whole in the
// opened list (seen on its pixels for the widest one), and one that the
// closed list cuts off is, once chosen, the closed list's tooltip.
inline std::vector<std::string> ListItemProblems(QComboBox& list) {
  std::vector<std::string> problems;
  if (list.count() == 0) return problems;
  const int current = list.currentIndex();
  const QFontMetrics metrics(list.font());
  int widest = 0;
  for (int i = 1; i < list.count(); ++i) {
    if (metrics.horizontalAdvance(list.itemText(i)) > metrics.horizontalAdvance(list.itemText(widest)))
      widest = i;
  }
  list.setCurrentIndex(widest);
  list.showPopup();
  QAbstractItemView* view = list.view();
  const QModelIndex index = list.model()->index(widest, list.modelColumn(), list.rootModelIndex());
  view->scrollTo(index);
  const QImage row = view->viewport()->grab(view->visualRect(index) & view->viewport()->rect()).toImage();
  list.hidePopup();
  const auto [left, right] = InkColumns(row);
  const int ink = QFontMetrics(view->font()).tightBoundingRect(list.itemText(widest)).width();
  if (right - left + 1 < ink - 2 || right >= row.width() - 3)
    problems.push_back(Where(list, list.itemText(widest)) + " is cut off in the opened list");

  for (int i = 0; i < list.count(); ++i) {
    const QString item = list.itemText(i);
    if (metrics.horizontalAdvance(item) <= ClosedListTextWidth(list)) continue;
    list.setCurrentIndex(i);
    if (list.toolTip() != item) problems.push_back(Where(list, item) + " is cut off and not in the tooltip");
  }
  list.setCurrentIndex(current);
  return problems;
}

// The problems with the visible controls of `window`, the lists' items
// included (each list is opened and its items chosen in turn, then the
// original choice is restored).
inline std::vector<std::string> CaptionProblems(QWidget& window) {
  std::vector<std::string> problems;
  std::vector<QWidget*> controls;
  for (QWidget* w : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isVisible()) controls.push_back(w);
  }
  for (QWidget* w : controls) {
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<QLabel*>(w);
        label && label->pixmap().isNull() && !label->text().isEmpty()) {
      const QRect room = label->contentsRect();
      const QString text = label->text();
      if (label->wordWrap()) {
        const QRect used = metrics.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap, text);
        if (used.width() > room.width() || used.height() > room.height())
          problems.push_back(Where(*label, text) + " does not fit its label");
      } else if (metrics.horizontalAdvance(text) > room.width() && label->toolTip() != text) {
        problems.push_back(Where(*label, text) + " does not fit its label");
      }
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton option;
      option.initFrom(button);
      const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      if (metrics.horizontalAdvance(button->text()) > room.width())
        problems.push_back(Where(*button, button->text()) + " does not fit its button");
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
      QStyleOptionButton option;
      option.initFrom(box);
      const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
      if (metrics.horizontalAdvance(box->text()) > room.width())
        problems.push_back(Where(*box, box->text()) + " does not fit its tick box");
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      if (metrics.horizontalAdvance(group->title()) + 2 * metrics.averageCharWidth() > group->width())
        problems.push_back(Where(*group, group->title()) + " does not fit its group box");
    } else if (auto* list = qobject_cast<QComboBox*>(w)) {
      for (std::string& problem : ListItemProblems(*list)) problems.push_back(std::move(problem));
    }
  }
  for (QWidget* label : controls) {
    if (!qobject_cast<QLabel*>(label)) continue;
    for (QWidget* button : controls) {
      if (qobject_cast<QAbstractButton*>(button) && label->geometry().intersects(button->geometry()))
        problems.push_back(Where(*label, qobject_cast<QLabel*>(label)->text()) + " runs under " +
                           Where(*button, qobject_cast<QAbstractButton*>(button)->text()));
    }
  }
  return problems;
}

}  // namespace uitest
