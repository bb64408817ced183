// The low-power, fix and extraction, message-mode and navigation settings
// dialogs.

#include "dialog_fixture.h"
#include "resources/fix_extraction_ids.h"
#include "resources/low_power_ids.h"
#include "resources/msg_mode_ids.h"
#include "resources/nav_settings_ids.h"

namespace dlgtest {
namespace {

using ChoiceDialogs = DialogTest;

TEST_F(ChoiceDialogs, LowPowerOffPeriodCountsOnlyInLdcm1AndNothingIsRemembered) {
  using namespace ids::low_power;
  Open(ids::kLowPower, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kMode), (std::vector<std::string>{"full active", "LDCM1"}));
    EXPECT_EQ(Items(dlg, kOffPeriod),
              (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(dlg.ItemText(kMode), "full active");
    EXPECT_EQ(dlg.ItemText(kOffPeriod), "1");
    EXPECT_FALSE(Enabled(dlg, kOffPeriod));

    Select(dlg, kMode, 1);
    EXPECT_TRUE(Enabled(dlg, kOffPeriod));
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX112,1,1*72<CR><LF>");
    Select(dlg, kOffPeriod, 9);
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX112,1,9*7A<CR><LF>");
    Click(dlg, kSend);
    Select(dlg, kMode, 0);  // the list keeps showing 9, the sentence says 0
    EXPECT_EQ(dlg.ItemText(kOffPeriod), "9");
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX112,0,0*72<CR><LF>");
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX112,1,9*7A"));
  Open(ids::kLowPower, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(dlg.ItemText(kMode), "full active");
    EXPECT_EQ(dlg.ItemText(kOffPeriod), "1");
  });
}

TEST_F(ChoiceDialogs, FixAndExtractionRemembersWhatWasSent) {
  using namespace ids::fix_extraction;
  Open(ids::kFixExtraction, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kFix), (std::vector<std::string>{"disable", "enable"}));
    EXPECT_EQ(Items(dlg, kExtraction), (std::vector<std::string>{"disable", "enable"}));
    Select(dlg, kFix, 1);
    Select(dlg, kExtraction, 1);
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX113,1,1*73<CR><LF>");
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX113,1,1*73"));
  Open(ids::kFixExtraction, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(dlg.ItemText(kFix), "enable");
    EXPECT_EQ(dlg.ItemText(kExtraction), "enable");
  });
}

TEST_F(ChoiceDialogs, MsgModeSendsMessageNumberOrAllAndTheModePosition) {
  using namespace ids::msg_mode;
  Open(ids::kMsgMode, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kMessage),
              (std::vector<std::string>{"PVLRX300 Almanac Data", "PVLRX301 Ephemeris Data",
                                        "PVLRX302 Ionospheric corrections", "PVLRX303 UTC Time",
                                        "PVLRX304 GPS constellation health", "ALL Applies to allmessages"}));
    EXPECT_EQ(Items(dlg, kMode),
              (std::vector<std::string>{"0 Dissable message", "1 Send message now",
                                        "2 Send message on change", "3 Send message now & on change"}));
    Select(dlg, kMessage, 4);
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX107,304,0")));
    Select(dlg, kMessage, 5);
    Select(dlg, kMode, 3);
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX107,ALL,3*04<CR><LF>");
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX107,ALL,3*04"));
  EXPECT_EQ(main.msgModeSettings.messageIndex, 5);
  EXPECT_EQ(main.msgModeSettings.modeIndex, 3);

  Open(ids::kMsgMode, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Position(dlg, kMessage), 5);
    Select(dlg, kMode, 1);
    Click(dlg, tmpl::kIdCancel);
  });
  EXPECT_EQ(main.msgModeSettings.modeIndex, 3);
}

TEST_F(ChoiceDialogs, NavSettingsSendsEveryPairWithTextsAsTypedAndListPositions) {
  using namespace ids::nav_settings;
  Open(ids::kNavSettings, [&](dialogs::CConfigDlg& dlg) {
    const std::pair<int, const char*> shown[] = {{kElevation, "0"},
                                                 {kMinSnr, "20"},
                                                 {kMaxDop, "40"},
                                                 {kLocalTime, "0"},
                                                 {kMaxAltitude, "10000"},
                                                 {kAltitude2D, "0"},
                                                 {kAltitudeMode, "calculate altitude"},
                                                 {kNavigation, "auto detect static"}};
    for (const auto& [id, text] : shown) EXPECT_EQ(dlg.ItemText(id), text);
    EXPECT_EQ(Items(dlg, kAltitudeMode),
              (std::vector<std::string>{"calculate altitude", "hold altitude", "forced 2D"}));
    EXPECT_EQ(Items(dlg, kNavigation), (std::vector<std::string>{"auto detect static", "forced static"}));

    Select(dlg, kAltitudeMode, 2);
    Select(dlg, kNavigation, 1);
    Type(dlg, kElevation, QString());
    Type(dlg, kLocalTime, QStringLiteral("-8"));
    Type(dlg, kAltitude2D, QStringLiteral("12.5"));
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX110,0,,1,20,2,40,3,-8,4,10000,5,2,6,12.5,7,1")));
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire(Framed("$PVLRX110,0,,1,20,2,40,3,-8,4,10000,5,2,6,12.5,7,1")));
  EXPECT_EQ(main.navSettings.elevation, "");
  EXPECT_EQ(main.navSettings.altitude2D, "12.5");
  EXPECT_EQ(main.navSettings.altitudeModeIndex, 2);
  EXPECT_EQ(main.navSettings.navigationIndex, 1);

  Open(ids::kNavSettings, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(dlg.ItemText(kLocalTime), "-8");
    EXPECT_EQ(dlg.ItemText(kAltitudeMode), "forced 2D");
  });
}

}  // namespace
}  // namespace dlgtest
