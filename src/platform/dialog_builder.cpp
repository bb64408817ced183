#include "platform/dialog_builder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTextDocument>
#include <QTextOption>
#include <QVariant>
#include <algorithm>
#include <charconv>

#include "platform/resource_images.h"
#include "platform/text_controls.h"

namespace platform {
namespace {

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Pictures are named by their resource number.
int ResourceNumber(std::string_view caption) {
  int number = 0;
  std::from_chars(caption.data(), caption.data() + caption.size(), number);
  return number;
}

// A group box as the templates mean it: an etched frame whose top edge runs
// through the middle of the first text line, titled or not, with the title
// on the frame near its left end.
class CGroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics metrics(font());
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) return;
    const int pad = 2;
    const QRect text(metrics.averageCharWidth() + pad, 0, metrics.horizontalAdvance(title()) + 2 * pad,
                     metrics.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, title());
  }
};

QWidget* MakeLabel(const tmpl::ControlTemplate& c, QWidget* parent) {
  auto* label = (c.style & tmpl::kEndEllipsis) != 0 ? new CStaticText(Latin1(c.caption), parent)
                                                    : new QLabel(Latin1(c.caption), parent);
  label->setTextFormat(Qt::PlainText);
  Qt::Alignment horizontal = Qt::AlignLeft;
  if (c.kind == tmpl::Kind::LabelRight) horizontal = Qt::AlignRight;
  if (c.kind == tmpl::Kind::LabelCenter) horizontal = Qt::AlignHCenter;
  // Static text starts at the top and breaks at blanks; what does not fit
  // below is cut off.
  label->setAlignment(horizontal | Qt::AlignTop);
  label->setWordWrap((c.style & (tmpl::kNoWrap | tmpl::kEndEllipsis)) == 0);
  return label;
}

QWidget* MakePicture(const QPixmap& pixmap, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (!pixmap.isNull()) label->setPixmap(pixmap);
  return label;
}

QWidget* MakeWidget(const tmpl::ControlTemplate& c, QWidget* parent) {
  using tmpl::Kind;
  switch (c.kind) {
    case Kind::Label:
    case Kind::LabelRight:
    case Kind::LabelCenter:
      return MakeLabel(c, parent);
    case Kind::Button:
    case Kind::DefaultButton: {
      auto* button = new QPushButton(Latin1(c.caption), parent);
      if (c.kind == Kind::DefaultButton) button->setDefault(true);
      return button;
    }
    case Kind::CheckBox:
      return new QCheckBox(Latin1(c.caption), parent);
    case Kind::DropList: {
      auto* combo = new CDropList(parent);
      combo->setEditable(false);
      for (std::string_view item : c.items) combo->addItem(Latin1(item));
      return combo;
    }
    case Kind::Edit:
      return new QLineEdit(Latin1(c.caption), parent);
    case Kind::Console: {
      auto* console = new QPlainTextEdit(parent);
      console->setReadOnly(true);
      console->setLineWrapMode(QPlainTextEdit::NoWrap);
      console->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      console->setUndoRedoEnabled(false);
      return console;
    }
    case Kind::Preview: {
      auto* preview = new QPlainTextEdit(parent);
      preview->setReadOnly(true);
      preview->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      preview->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      preview->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      preview->setUndoRedoEnabled(false);
      preview->document()->setDocumentMargin(2);
      return preview;
    }
    case Kind::GroupBox:
      return new CGroupBox(Latin1(c.caption), parent);
    case Kind::Frame: {
      auto* frame = new QFrame(parent);
      frame->setFrameStyle(QFrame::NoFrame);
      frame->setAttribute(Qt::WA_TransparentForMouseEvents);
      return frame;
    }
    case Kind::EtchedFrame: {
      auto* frame = new QFrame(parent);
      frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
      frame->setLineWidth(1);
      frame->setMidLineWidth(0);
      return frame;
    }
    case Kind::Bitmap:
      return MakePicture(LoadBitmapResource(ResourceNumber(c.caption)), parent);
    case Kind::Icon:
      return MakePicture(LoadIconResource(ResourceNumber(c.caption)).pixmap(32, 32), parent);
  }
  return new QWidget(parent);
}

// Adjustments that make the widget look the way the template means it.
QRect FinalRect(const tmpl::ControlTemplate& c, QWidget* widget) {
  QRect rect = ControlRect(c);
  switch (c.kind) {
    case tmpl::Kind::Bitmap:
    case tmpl::Kind::Icon:
      // Picture controls take the size of their picture.
      if (auto* label = qobject_cast<QLabel*>(widget); label && !label->pixmap().isNull()) {
        rect.setSize(label->pixmap().deviceIndependentSize().toSize());
      }
      break;
    default:
      break;
  }
  return rect;
}

}  // namespace

QSize ClientSize(const tmpl::DialogTemplate& t) { return {tmpl::DuToPx(t.width), tmpl::DuToPx(t.height)}; }

QRect ControlRect(const tmpl::ControlTemplate& c) {
  tmpl::ControlTemplate placed = c;
  if (c.kind == tmpl::Kind::DropList && c.height > kDropListClosedHeight)
    placed.height = kDropListClosedHeight;
  const tmpl::PixelRect r = tmpl::ToPixels(placed);
  return {r.left, r.top, r.Width(), r.Height()};
}

QWidget* CreateControl(const tmpl::ControlTemplate& c, QWidget* parent) {
  QWidget* widget = MakeWidget(c, parent);
  if (c.id != tmpl::kNoId) {
    widget->setProperty(kControlIdProperty, c.id);
    widget->setObjectName(QStringLiteral("ctl%1").arg(c.id));
  }
  widget->setGeometry(FinalRect(c, widget));
  if (c.style & tmpl::kDisabled) widget->setEnabled(false);
  if (c.style & tmpl::kHidden) widget->setHidden(true);
  return widget;
}

void KeepTextClearOfButtons(QWidget& window) {
  constexpr int kGap = tmpl::DuToPx(2);
  const QList<QAbstractButton*> buttons = window.findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
  for (QLabel* label : window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    QRect text = label->geometry();
    for (const QAbstractButton* button : buttons) {
      const QRect under = button->geometry();
      if (under.intersects(text) && under.left() > text.left())
        text.setRight(std::max(text.left(), under.left() - kGap) - 1);
    }
    if (text != label->geometry()) label->setGeometry(text);
  }
}

int ControlId(const QWidget* widget) {
  if (widget == nullptr) return tmpl::kNoId;
  const QVariant id = widget->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : tmpl::kNoId;
}

}  // namespace platform
