// What every configuration dialog shares: opened from its main-window button
// over the main window, the preview filled at once, Close storing and
// sending nothing, Enter, and edit fields that take only what can be sent.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialog_fixture.h"
#include "dialogs/reset_dlg.h"
#include "dialogs/sendable_validator.h"
#include "resources/ecef_init_ids.h"
#include "resources/fix_extraction_ids.h"
#include "resources/nav_settings_ids.h"

namespace dlgtest {
namespace {

struct Launcher {
  int button;
  const char* className;
  const char* title;
  int sendId;
  bool sendIsDefault;
  const char* cancelCaption;
  int previewId;
  std::string preview;  // with the main window's initial records
};

const Launcher kLaunchers[] = {
    {ids::kSetNmea, "dialogs::CNmeaOutputDlg", "NMEA message", 1041, true, "Close", 1024,
     "$PVLRX108,GGA,GSA,GSV,RMC*73<CR><LF>\n$PVLRX103,GGA,1,GSA,1,GSV,1,RMC,1*78<CR><LF>"},
    {ids::kSetBaud, "dialogs::CUartDlg", "Change UART baud rate", 1066, false, "Close", 1024,
     "$PVLRX100,0,9600,0*52<CR><LF>"},
    {ids::kLowPower, "dialogs::CLowPowerDlg", "Low Power Mode", 1066, true, "Cancel", 1024,
     "$PVLRX112,0,0*72<CR><LF>"},
    {ids::kEcefInit, "dialogs::CEcefInitDlg", "$PVLRX101", 1030, false, "Close", 1037,
     "$PVLRX101,0,0,0,0,0,0,12,1,*6E<CR><LF>"},
    {ids::kLatLonInit, "dialogs::CLatLonInitDlg", "$PVLRX104", 1066, true, "Close", 1024,
     "$PVLRX104,25,00.0000,N,121,00.0000,E,0,0,0,0,12,*48<CR><LF>"},
    {ids::kDatum, "dialogs::CDatumDlg", "Datum", 1066, true, "Cancel", 1064, "$PVLRX106,216,,,,,*42<CR><LF>"},
    {ids::kMsgMode, "dialogs::CMsgModeDlg", "$PVLRX107", 1066, true, "Cancel", 1024,
     "$PVLRX107,300,0*75<CR><LF>"},
    {ids::kNavSettings, "dialogs::CNavSettingsDlg", "$PVLRX110", 1066, true, "Cancel", 1024,
     "$PVLRX110,0,0,1,20,2,40,3,0,4,10000,5,0,6,0,7,0*77<CR><LF>"},
    {ids::kReset, "dialogs::CResetDlg", "$PVLRX111", 1066, true, "Cancel", 1024,
     "$PVLRX111,FACTORY*09<CR><LF>"},
    {ids::kFixExtraction, "dialogs::CFixExtractionDlg", "$PVLRX113", 1066, true, "Cancel", 1024,
     "$PVLRX113,0,0*73<CR><LF>"},
};

using ConfigDialogs = DialogTest;

TEST_F(ConfigDialogs, EveryLauncherOpensItsDialogOverTheMainWindowWithThePreviewFilled) {
  for (const Launcher& l : kLaunchers) {
    SCOPED_TRACE(l.title);
    const Opened seen = Open(l.button, [&](dialogs::CConfigDlg& dlg) {
      EXPECT_EQ(dlg.ItemText(l.previewId), l.preview);
      EXPECT_EQ(dlg.ItemText(l.sendId), "Send");
      EXPECT_EQ(dlg.ControlAs<QPushButton>(l.sendId)->isDefault(), l.sendIsDefault);
      EXPECT_EQ(dlg.ItemText(tmpl::kIdCancel), l.cancelCaption);
      Click(dlg, tmpl::kIdCancel);
      EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(seen.className, l.className);
    EXPECT_EQ(seen.title, l.title);
    EXPECT_EQ(seen.parent, &main);
  }
  EXPECT_EQ(SentSoFar(), "");  // opening and closing sends nothing
}

TEST_F(ConfigDialogs, EscapeAndCloseStoreNothingEvenAfterChanges) {
  const dialogs::FixSettings before = main.fixSettings;
  Open(ids::kFixExtraction, [&](dialogs::CConfigDlg& dlg) {
    Select(dlg, ids::fix_extraction::kFix, 1);
    EXPECT_EQ(dlg.ItemText(ids::fix_extraction::kPreview), "$PVLRX113,1,0*72<CR><LF>");
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
  });
  EXPECT_EQ(main.fixSettings.fixIndex, before.fixIndex);
  EXPECT_EQ(SentSoFar(), "");
}

TEST_F(ConfigDialogs, EnterPressesTheDefaultSendOrEndsADialogWithoutOne) {
  Open(ids::kFixExtraction, [&](dialogs::CConfigDlg& dlg) {
    Select(dlg, ids::fix_extraction::kExtraction, 1);
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());  // Send leaves the dialog open
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX113,0,1*72"));
  EXPECT_EQ(main.fixSettings.extractionIndex, 1);

  Open(ids::kEcefInit, [&](dialogs::CConfigDlg& dlg) {
    Type(dlg, ids::ecef_init::kX, QStringLiteral("4000000"));
    dlg.Control(ids::ecef_init::kX)->setFocus();
    QTest::keyClick(dlg.Control(ids::ecef_init::kX), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
  });
  EXPECT_EQ(main.ecefSettings.x, "0");
  EXPECT_EQ(SentSoFar(), "");
}

TEST_F(ConfigDialogs, EditFieldsTakeNoControlCharactersTypedOrPasted) {
  // A pasted line break would end the sentence on the wire and make the
  // rest a second command; what is left of the paste stays in the field.
  QApplication::clipboard()->setText(QStringLiteral("5\r\n$PVLRX111,FACTORY*09\r\n"));
  Open(ids::kNavSettings, [&](dialogs::CConfigDlg& dlg) {
    auto* elevation = dlg.ControlAs<QLineEdit>(ids::nav_settings::kElevation);
    elevation->selectAll();
    elevation->paste();
    EXPECT_EQ(elevation->text().toStdString(), "5$PVLRX111,FACTORY*09");
    EXPECT_EQ(elevation->cursorPosition(), elevation->text().size());

    // Blanks, letters, commas and Latin-1 letters go in as typed; a tab, a
    // character beyond 8 bits and one beyond the basic plane do not.
    Type(dlg, ids::nav_settings::kMinSnr, QStringLiteral(" a,\u00e9\t\u20ac\U0001F600b"));
    EXPECT_EQ(dlg.ControlAs<QLineEdit>(ids::nav_settings::kMinSnr)->text(), QStringLiteral(" a,\u00e9b"));
    Click(dlg, ids::nav_settings::kSend);
  });
  const std::string sent = SentSoFar();
  EXPECT_EQ(sent, Wire(Framed("$PVLRX110,0,5$PVLRX111,FACTORY*09,1, a,\xe9"
                              "b,2,40,3,0,4,10000,5,0,6,0,7,0")));
  EXPECT_EQ(sent.find('\r'), sent.size() - 2);  // one line
  EXPECT_EQ(main.navSettings.minSnr,
            " a,\xe9"
            "b");
}

TEST(DialogFieldValidator, KeepsTheCursorAfterTheSameCharacters) {
  dialogs::CSendableTextValidator validator;
  QString text = QStringLiteral("ab\ncd\x7f");
  int pos = 4;  // after "c"
  EXPECT_EQ(validator.validate(text, pos), QValidator::Acceptable);
  EXPECT_EQ(text, QStringLiteral("abcd"));
  EXPECT_EQ(pos, 3);
}

TEST(ConfigDialog, WithoutTheMainWindowShowsInitialValuesAndSendsNothing) {
  QWidget owner;
  dialogs::CResetDlg dlg(&owner);
  dlg.show();
  EXPECT_EQ(dlg.ItemText(1024), "$PVLRX111,FACTORY*09<CR><LF>");
  Click(dlg, 1066);  // no main window to send through: nothing happens
  EXPECT_TRUE(dlg.isVisible());
}

}  // namespace
}  // namespace dlgtest
