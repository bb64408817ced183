#pragma once
// Controls that keep their text readable where the room is short.
//
// CStaticText: one line of static text that ends in "…" where it does not
// fit, with the whole text as its tooltip then.
// CDropList: a drop-down list whose opened list is wide enough for its
// longest item, and whose current item, when the closed list cuts it off, is
// its tooltip.

#include <QComboBox>
#include <QLabel>
#include <QString>

namespace platform {

class CStaticText : public QLabel {
  Q_OBJECT

 public:
  explicit CStaticText(const QString& text, QWidget* parent = nullptr);

  // Sets the text and with it the tooltip.
  void SetCaption(const QString& text);
  // The text as painted: the whole text when all but its closing blanks
  // fit, else its beginning and "…".
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateToolTip();
};

class CDropList : public QComboBox {
  Q_OBJECT

 public:
  explicit CDropList(QWidget* parent = nullptr);

  // The width the closed list has for the current item's text.
  int TextRoom() const;
  // The width the opened list needs for its widest item, margins included.
  int WidestItem() const;

  void showPopup() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateToolTip();
};

}  // namespace platform
