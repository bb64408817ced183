// Windows built from templates: what each kind becomes, where it goes, how
// controls are found by id, and how a modal run ends.

#include "platform/dialog_builder.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <array>

#include "platform/dialog.h"
#include "platform/text_controls.h"

namespace {

using tmpl::ControlTemplate;
using enum tmpl::Kind;

constexpr std::array kControls = std::to_array<ControlTemplate>({
    {10, Label, "wraps at blanks", 4, 4, 60, 9},
    {11, LabelRight, "right", 4, 14, 60, 9, tmpl::kNoWrap},
    {12, Button, "Apply", 70, 4, 40, 14},
    {tmpl::kIdOk, DefaultButton, "OK", 70, 20, 40, 14},
    {tmpl::kIdCancel, Button, "Cancel", 70, 36, 40, 14},
    {13, CheckBox, "Binary Format", 4, 24, 60, 10},
    {14, DropList, "", 4, 36, 50, 60},
    {15, Edit, "0", 4, 52, 50, 12},
    {16, Console, "", 4, 66, 100, 30},
    {17, GroupBox, "Group", 120, 4, 60, 40},
    {18, Frame, "", 0, 0, 1, 1, tmpl::kHidden},
    {19, EtchedFrame, "", 120, 50, 60, 20, tmpl::kDisabled},
    {tmpl::kNoId, Bitmap, "139", 120, 74, 25, 19},
    {tmpl::kNoId, Icon, "128", 150, 74, 21, 20},
});
constexpr tmpl::DialogTemplate kTemplate{900, "Test window", 200, 100, kControls};

class TestDlg : public platform::CDialog {
 public:
  TestDlg() : CDialog(kTemplate) {}
  int inits = 0;

 protected:
  bool OnInitDialog() override {
    ++inits;
    return true;
  }
};

TEST(DialogBuilder, EachKindBecomesItsWidget) {
  TestDlg dlg;
  EXPECT_EQ(dlg.size(), QSize(300, 150));
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Test window"));

  auto* wrapping = dlg.ControlAs<QLabel>(10);
  ASSERT_NE(wrapping, nullptr);
  EXPECT_TRUE(wrapping->wordWrap());
  EXPECT_EQ(wrapping->alignment(), Qt::AlignLeft | Qt::AlignTop);
  EXPECT_EQ(wrapping->textFormat(), Qt::PlainText);
  auto* right = dlg.ControlAs<QLabel>(11);
  ASSERT_NE(right, nullptr);
  EXPECT_FALSE(right->wordWrap());
  EXPECT_TRUE(right->alignment() & Qt::AlignRight);

  ASSERT_NE(dlg.ControlAs<QPushButton>(12), nullptr);
  EXPECT_FALSE(dlg.ControlAs<QPushButton>(12)->isDefault());
  EXPECT_TRUE(dlg.ControlAs<QPushButton>(tmpl::kIdOk)->isDefault());
  EXPECT_NE(dlg.ControlAs<QCheckBox>(13), nullptr);
  auto* list = dlg.ControlAs<QComboBox>(14);
  ASSERT_NE(list, nullptr);
  EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(list->height(), 18);  // closed box; the template height is the opened list
  EXPECT_NE(dlg.ControlAs<QLineEdit>(15), nullptr);
  auto* console = dlg.ControlAs<QPlainTextEdit>(16);
  ASSERT_NE(console, nullptr);
  EXPECT_TRUE(console->isReadOnly());
  EXPECT_EQ(dlg.ControlAs<QGroupBox>(17)->title(), QStringLiteral("Group"));
  EXPECT_EQ(dlg.ControlAs<QFrame>(18)->frameShape(), QFrame::NoFrame);
  auto* etched = dlg.ControlAs<QFrame>(19);
  ASSERT_NE(etched, nullptr);
  EXPECT_EQ(etched->frameShape(), QFrame::Box);
  EXPECT_EQ(etched->frameShadow(), QFrame::Sunken);

  // Pictures take the size of their picture.
  int pictures = 0;
  for (QLabel* label : dlg.findChildren<QLabel*>()) {
    if (label->pixmap().isNull()) continue;
    ++pictures;
    EXPECT_EQ(label->size(), label->pixmap().deviceIndependentSize().toSize());
    EXPECT_EQ(platform::ControlId(label), tmpl::kNoId);
  }
  EXPECT_EQ(pictures, 2);
}

TEST(DialogBuilder, GeometryStylesAndIds) {
  TestDlg dlg;
  // 1.5 pixels per unit, edges rounded half up: (70, 20, 40, 14) -> 105..165, 30..51.
  EXPECT_EQ(dlg.Control(tmpl::kIdOk)->geometry(), QRect(105, 30, 60, 21));
  EXPECT_EQ(dlg.Control(10)->geometry(), QRect(6, 6, 90, 14));
  EXPECT_TRUE(dlg.Control(18)->isHidden());
  EXPECT_FALSE(dlg.Control(19)->isEnabled());
  EXPECT_TRUE(dlg.Control(12)->isEnabled());

  QWidget* edit = dlg.Control(15);
  EXPECT_EQ(edit->property(platform::kControlIdProperty).toInt(), 15);
  EXPECT_EQ(edit->objectName(), QStringLiteral("ctl15"));
  EXPECT_EQ(platform::ControlId(edit), 15);
  EXPECT_EQ(dlg.Control(99), nullptr);
}

TEST(DialogBuilder, ItemTextsAreEightBitAndWorkOnEveryTextKind) {
  TestDlg dlg;
  const std::string degree = "N049\xB0 16'";  // one byte above 0x7F
  for (int id : {10, 12, 13, 15, 16, 17}) {
    dlg.SetItemText(id, degree);
    EXPECT_EQ(dlg.ItemText(id), degree) << id;
  }

  auto* list = dlg.ControlAs<QComboBox>(14);
  list->addItems({QStringLiteral("X1"), QStringLiteral("X10")});
  dlg.SetItemText(14, "X10");
  EXPECT_EQ(list->currentIndex(), 1);
  dlg.SetItemText(14, "X99");  // not in the list: selection stays
  EXPECT_EQ(dlg.ItemText(14), "X10");

  dlg.SetItemText(99, "nowhere");  // missing controls are ignored
  EXPECT_EQ(dlg.ItemText(99), "");

  dlg.CheckItem(13, true);
  EXPECT_TRUE(dlg.IsItemChecked(13));
  dlg.EnableItem(12, false);
  EXPECT_FALSE(dlg.Control(12)->isEnabled());
  dlg.ShowItem(18, true);
  EXPECT_FALSE(dlg.Control(18)->isHidden());
}

TEST(DialogBuilder, ChangeHandlersFollowTheUser) {
  TestDlg dlg;
  int selChanges = 0;
  int editChanges = 0;
  auto* list = dlg.ControlAs<QComboBox>(14);
  list->addItems({QStringLiteral("a"), QStringLiteral("b")});
  dlg.OnSelChange(14, [&] { ++selChanges; });
  dlg.OnEditChange(15, [&] { ++editChanges; });
  list->setCurrentIndex(1);
  QTest::keyClicks(dlg.Control(15), QStringLiteral("12"));
  EXPECT_EQ(selChanges, 1);
  EXPECT_EQ(editChanges, 2);
}

TEST(DialogBuilder, ModalRunEndsWithTheIdOfTheButton) {
  {
    TestDlg dlg;
    QTimer::singleShot(0, &dlg, [&] { dlg.ControlAs<QPushButton>(tmpl::kIdCancel)->click(); });
    EXPECT_EQ(dlg.DoModal(), tmpl::kIdCancel);
    EXPECT_EQ(dlg.inits, 1);
  }
  {
    TestDlg dlg;
    QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    EXPECT_EQ(dlg.DoModal(), tmpl::kIdCancel);
  }
  {
    // A handler of its own replaces the default OK: the run goes on until it ends it.
    TestDlg dlg;
    int applied = 0;
    dlg.OnClicked(tmpl::kIdOk, [&] { ++applied; });
    dlg.OnClicked(12, [&] { dlg.EndDialog(12); });
    QTimer::singleShot(0, &dlg, [&] {
      dlg.ControlAs<QPushButton>(tmpl::kIdOk)->click();
      dlg.ControlAs<QPushButton>(12)->click();
    });
    EXPECT_EQ(dlg.DoModal(), 12);
    EXPECT_EQ(applied, 1);
  }
}

// A summary line that the template runs under the button beside it, and a
// narrow list.
constexpr std::array kShortControls = std::to_array<ControlTemplate>({
    {20, Label, "", 4, 4, 100, 9, tmpl::kEndEllipsis},
    {21, Button, "Send", 80, 2, 40, 14},
    {22, Label, "clipped", 4, 20, 20, 9, tmpl::kNoWrap},
    {23, DropList, "", 4, 34, 40, 60},
});
constexpr tmpl::DialogTemplate kShortTemplate{901, "Short", 130, 60, kShortControls};

TEST(DialogBuilder, TextThatDoesNotFitEndsInAnEllipsisAndShowsWholeInItsTooltip) {
  platform::CDialog dlg(kShortTemplate);
  auto* summary = dlg.ControlAs<platform::CStaticText>(20);
  ASSERT_NE(summary, nullptr);
  EXPECT_FALSE(summary->wordWrap());
  EXPECT_EQ(summary->geometry(), QRect(6, 6, 150, 14));  // as the template has it
  platform::KeepTextClearOfButtons(dlg);
  // Cut back to end 3 pixels (2 units) before the button at x 120.
  EXPECT_EQ(summary->geometry(), QRect(6, 6, 111, 14));

  dlg.SetItemText(20, "GGA-1 ");
  EXPECT_EQ(summary->ShownText(), QStringLiteral("GGA-1 "));
  EXPECT_EQ(summary->toolTip(), QString());
  const std::string longer = "GGA-10 GLL-10 GSA-10 GSV-10 RMC-10 VTG-10 ZDA-10 ";
  dlg.SetItemText(20, longer);
  EXPECT_EQ(dlg.ItemText(20), longer);  // the text itself stays whole
  EXPECT_EQ(summary->toolTip().toStdString(), longer);
  const QString shown = summary->ShownText();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("GGA-10"))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_LE(summary->fontMetrics().horizontalAdvance(shown), summary->contentsRect().width());
  dlg.SetItemText(20, "");
  EXPECT_EQ(summary->toolTip(), QString());
  // Closing blanks need no room: text that fits without them shows whole.
  QString blanks = QStringLiteral("GGA-1");
  while (summary->fontMetrics().horizontalAdvance(blanks) <= summary->contentsRect().width())
    blanks += QLatin1Char(' ');
  dlg.SetItemText(20, blanks.toStdString());
  EXPECT_EQ(summary->ShownText(), blanks);
  EXPECT_EQ(summary->toolTip(), QString());

  // Plain static text keeps its type and stays clipped, without a tooltip.
  auto* plain = dlg.ControlAs<QLabel>(22);
  EXPECT_EQ(qobject_cast<platform::CStaticText*>(plain), nullptr);
  EXPECT_EQ(plain->toolTip(), QString());
}

TEST(DialogBuilder, ListsShowTheirCurrentItemWholeInTheTooltipWhenCutOff) {
  platform::CDialog dlg(kShortTemplate);
  auto* list = dlg.ControlAs<platform::CDropList>(23);
  ASSERT_NE(list, nullptr);
  const QString longItem = QStringLiteral("Warm start with init");
  list->addItems({QStringLiteral("Hot"), longItem});
  ASSERT_GT(list->fontMetrics().horizontalAdvance(longItem), list->TextRoom());
  EXPECT_EQ(list->toolTip(), QString());
  list->setCurrentIndex(1);
  EXPECT_EQ(list->toolTip(), longItem);
  list->setCurrentIndex(0);
  EXPECT_EQ(list->toolTip(), QString());
  list->setItemText(0, longItem + QStringLiteral(" again"));  // the current item renamed
  EXPECT_EQ(list->toolTip(), longItem + QStringLiteral(" again"));

  // Opened, the list is wide enough for its widest item.
  dlg.show();
  list->showPopup();
  EXPECT_GE(list->view()->viewport()->width(), list->WidestItem());
  EXPECT_GT(list->view()->viewport()->width(), list->width());
  list->hidePopup();
}

TEST(DialogBuilder, InitialisationRunsOnceBeforeTheFirstShow) {
  TestDlg dlg;
  EXPECT_EQ(dlg.inits, 0);
  dlg.show();
  dlg.hide();
  dlg.show();
  EXPECT_EQ(dlg.inits, 1);
}

TEST(DialogBuilder, DialogsWithoutParentAreOwnedByTheModalWindow) {
  TestDlg owner;
  QWidget* parentSeen = nullptr;
  QTimer::singleShot(0, &owner, [&] {
    TestDlg child;
    QTimer::singleShot(0, &child, [&] {
      parentSeen = child.parentWidget();
      child.EndDialog(tmpl::kIdOk);
    });
    child.DoModal();
    owner.EndDialog(tmpl::kIdOk);
  });
  owner.DoModal();
  EXPECT_EQ(parentSeen, &owner);
}

}  // namespace
