// The datum dialog: the catalogue in the list, catalogue values greyed out,
// the user-defined datum editable, and the row the main window remembers.

#include "dialog_fixture.h"
#include "resources/datum_ids.h"

namespace dlgtest {
namespace {

using namespace ids::datum;

constexpr int kFields[] = {kDx, kDy, kDz, kInverseFlattening, kSemiMajorAxis};
constexpr int kUserDefinedRow = 219;

std::vector<std::string> Fields(const platform::CDialog& dlg) {
  std::vector<std::string> texts;
  for (int id : kFields) texts.push_back(dlg.ItemText(id));
  return texts;
}

bool FieldsEnabled(const platform::CDialog& dlg, bool enabled) {
  for (int id : kFields) {
    if (Enabled(dlg, id) != enabled) return false;
  }
  return true;
}

using DatumDialog = DialogTest;

TEST_F(DatumDialog, OpensOnTheRememberedRowWithItsValuesGreyedOut) {
  Open(ids::kDatum, [&](dialogs::CConfigDlg& dlg) {
    const std::vector<std::string> items = Items(dlg, kList);
    ASSERT_EQ(items.size(), 220u);
    EXPECT_EQ(items[0], "  0 Adindan Burkina Faso Clarke 1880");
    EXPECT_EQ(items[216], "216 WGS 1984 Global Definition WGS 84");
    EXPECT_EQ(items[kUserDefinedRow], "500 User Defined Datum ");
    EXPECT_EQ(Position(dlg, kList), 216);
    EXPECT_EQ(Fields(dlg), (std::vector<std::string>{"0", "0", "0", "8257224", "8137000"}));
    EXPECT_TRUE(FieldsEnabled(dlg, false));

    Select(dlg, kList, 0);
    EXPECT_EQ(Fields(dlg), (std::vector<std::string>{"-118", "-14", "218", "3465000", "8249145"}));
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX106,0,,,,,*47<CR><LF>");
    Click(dlg, kSend);
    Select(dlg, kList, 5);
    Click(dlg, tmpl::kIdCancel);  // after a Send, Cancel keeps the row sent
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX106,0,,,,,*47"));
  EXPECT_EQ(main.lastDatumRow, 0);
}

TEST_F(DatumDialog, UserDefinedDatumStartsFromTheValuesShownAndSendsWhatIsTyped) {
  Open(ids::kDatum, [&](dialogs::CConfigDlg& dlg) {
    Select(dlg, kList, kUserDefinedRow);
    EXPECT_TRUE(FieldsEnabled(dlg, true));
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX106,500,0,0,0,8257224,8137000*73<CR><LF>");
    Type(dlg, kDx, QStringLiteral("1,5"));  // a comma adds a field
    Type(dlg, kSemiMajorAxis, QString());
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX106,500,1,5,0,0,8257224,")));
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire(Framed("$PVLRX106,500,1,5,0,0,8257224,")));
  EXPECT_EQ(main.lastDatumRow, kUserDefinedRow);

  // The typed values are not remembered: the fields start empty.
  Open(ids::kDatum, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Position(dlg, kList), kUserDefinedRow);
    EXPECT_EQ(Fields(dlg), (std::vector<std::string>{"", "", "", "", ""}));
    EXPECT_TRUE(FieldsEnabled(dlg, true));
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX106,500,,,,,*42<CR><LF>");
    // Leaving it overwrites the fields with the catalogue's values again.
    Select(dlg, kList, 205);
    EXPECT_EQ(Fields(dlg), (std::vector<std::string>{"-148", "507", "685", "9152813", "7397155"}));
    EXPECT_TRUE(FieldsEnabled(dlg, false));
  });
}

}  // namespace
}  // namespace dlgtest
