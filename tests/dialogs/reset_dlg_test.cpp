// The reset dialog's two modes: a start-mode keyword, or the restart bits as
// a number, and which controls each mode greys out.

#include <QCheckBox>

#include "dialog_fixture.h"
#include "resources/reset_ids.h"

namespace dlgtest {
namespace {

using namespace ids::reset;

constexpr int Bit(int n) { return kFirstFlag + n; }

// The text a tick box shows ("&&" in a caption shows one "&").
std::string Shown(const platform::CDialog& dlg, int id) {
  return dlg.ControlAs<QCheckBox>(id)
      ->text()
      .replace(QStringLiteral("&&"), QStringLiteral("&"))
      .toStdString();
}

bool BitsEnabled(const platform::CDialog& dlg, bool enabled) {
  for (int n = 0; n < kFlagCount; ++n) {
    if (Enabled(dlg, Bit(n)) != enabled) return false;
  }
  return true;
}

using ResetDialog = DialogTest;

TEST_F(ResetDialog, ControlsAndTheKeywordModeAtFirstOpening) {
  Open(ids::kReset, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kStartMode), (std::vector<std::string>{"FACTORY", "HOT", "WARM", "COLD"}));
    const char* labels[] = {
        "Reload settings from Flash",           "Clear almanac data",    "Clear Ephemeris data",
        "Clear Ionospheric & tropospheric",     "Invalidate position",   "Invalidate time",
        "Copy oscillator offset from settings", "Repeated at each reset"};
    for (int n = 0; n < kFlagCount; ++n) {
      EXPECT_EQ(Shown(dlg, Bit(n)), labels[n]);
      EXPECT_FALSE(dlg.IsItemChecked(Bit(n)));
    }
    EXPECT_EQ(Shown(dlg, kBinaryFormat), "Binary Format");
    EXPECT_FALSE(dlg.IsItemChecked(kBinaryFormat));
    EXPECT_TRUE(Enabled(dlg, kStartMode));
    EXPECT_TRUE(BitsEnabled(dlg, false));
    EXPECT_EQ(dlg.ItemText(kStartMode), "FACTORY");
  });
}

TEST_F(ResetDialog, BitsSurviveTheModeSwitchAndAreStoredInEitherMode) {
  Open(ids::kReset, [&](dialogs::CConfigDlg& dlg) {
    Click(dlg, kBinaryFormat);
    EXPECT_FALSE(Enabled(dlg, kStartMode));
    EXPECT_TRUE(BitsEnabled(dlg, true));
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX111,0")));
    Click(dlg, Bit(7));
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX111,128")));
    for (int n = 0; n < 7; ++n) Click(dlg, Bit(n));
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX111,255")));
    for (int n : {0, 3, 4, 5, 6, 7}) Click(dlg, Bit(n));  // leaves bits 1 and 2
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX111,6*6B<CR><LF>");

    Click(dlg, kBinaryFormat);  // back to the keyword: the bits stay ticked, greyed
    EXPECT_TRUE(BitsEnabled(dlg, false));
    EXPECT_TRUE(dlg.IsItemChecked(Bit(1)));
    Select(dlg, kStartMode, 1);
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX111,HOT*0E<CR><LF>");
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX111,HOT*0E"));
  EXPECT_EQ(main.resetSettings.flags, 6);
  EXPECT_EQ(main.resetSettings.startModeIndex, 1);
  EXPECT_FALSE(main.resetSettings.binaryFormat);

  Open(ids::kReset, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_TRUE(dlg.IsItemChecked(Bit(1)));
    EXPECT_TRUE(dlg.IsItemChecked(Bit(2)));
    EXPECT_FALSE(dlg.IsItemChecked(Bit(0)));
    EXPECT_TRUE(BitsEnabled(dlg, false));
    EXPECT_EQ(dlg.ItemText(kStartMode), "HOT");
    // Changes then Cancel: nothing stored.
    Click(dlg, kBinaryFormat);
    Click(dlg, Bit(0));
    Click(dlg, tmpl::kIdCancel);
  });
  EXPECT_EQ(main.resetSettings.flags, 6);
  EXPECT_FALSE(main.resetSettings.binaryFormat);

  main.resetSettings.binaryFormat = true;
  Open(ids::kReset, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_TRUE(BitsEnabled(dlg, true));
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX111,6*6B<CR><LF>");
  });
}

}  // namespace
}  // namespace dlgtest
