// The two position-initialisation dialogs: ECEF and latitude/longitude.

#include "dialog_fixture.h"
#include "resources/ecef_init_ids.h"
#include "resources/lat_lon_init_ids.h"

namespace dlgtest {
namespace {

const std::vector<std::string> kChannels{"8", "9", "10", "11", "12", "13", "14", "15", "16"};

using PositionDialogs = DialogTest;

TEST_F(PositionDialogs, EcefSendsChannelCountAndRestartCodeAndRemembersEverything) {
  using namespace ids::ecef_init;
  main.ecefSettings.x = "-2700000";
  main.ecefSettings.resetIndex = 3;
  Open(ids::kEcefInit, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kChannel), kChannels);
    EXPECT_EQ(Items(dlg, kReset), (std::vector<std::string>{"Hot start", "Warm start", "Warm start with init",
                                                            "Cold Start", "Factory Reset"}));
    EXPECT_EQ(dlg.ItemText(kX), "-2700000");
    EXPECT_EQ(dlg.ItemText(kChannel), "12");
    EXPECT_EQ(dlg.ItemText(kReset), "Cold Start");
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX101,-2700000,0,0,0,0,0,12,4,")));

    for (int id : {kX, kY, kZ, kClock, kTime, kWeek}) Type(dlg, id, QString());
    Select(dlg, kChannel, 8);
    Select(dlg, kReset, 4);  // "Factory Reset" is code 8
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX101,,,,,,,16,8,")));
    Select(dlg, kChannel, 0);
    Type(dlg, kWeek, QStringLiteral("2210"));
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire(Framed("$PVLRX101,,,,,,2210,8,8,")));
  EXPECT_EQ(main.ecefSettings.x, "");
  EXPECT_EQ(main.ecefSettings.week, "2210");
  EXPECT_EQ(main.ecefSettings.channelIndex, 0);
  EXPECT_EQ(main.ecefSettings.resetIndex, 4);

  Open(ids::kEcefInit, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(dlg.ItemText(kWeek), "2210");
    EXPECT_EQ(dlg.ItemText(kReset), "Factory Reset");
  });
}

TEST_F(PositionDialogs, LatLonSendsItemTextsAndTypedTextsInSentenceOrder) {
  using namespace ids::lat_lon_init;
  Open(ids::kLatLonInit, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(Items(dlg, kNorthSouth), (std::vector<std::string>{"N", "S"}));
    EXPECT_EQ(Items(dlg, kEastWest), (std::vector<std::string>{"E", "W"}));
    EXPECT_EQ(Items(dlg, kChannel), kChannels);
    EXPECT_EQ(dlg.ItemText(kLatitude), "25,00.0000");
    EXPECT_EQ(dlg.ItemText(kLongitude), "121,00.0000");
    EXPECT_EQ(dlg.ItemText(kChannel), "12");

    Select(dlg, kNorthSouth, 1);
    Select(dlg, kEastWest, 1);
    EXPECT_EQ(dlg.ItemText(kPreview), Preview(Framed("$PVLRX104,25,00.0000,S,121,00.0000,W,0,0,0,0,12,")));
    // Altitude goes before the clock offset, whatever the screen order.
    Type(dlg, kAltitude, QStringLiteral("120.5"));
    Type(dlg, kClockOffset, QStringLiteral("-3"));
    Type(dlg, kLatitude, QStringLiteral("25.5"));  // no comma: one field fewer, no warning
    Select(dlg, kChannel, 8);
    Click(dlg, kSend);
  });
  EXPECT_EQ(SentSoFar(), Wire(Framed("$PVLRX104,25.5,S,121,00.0000,W,120.5,-3,0,0,16,")));
  EXPECT_EQ(main.latLonSettings.latitude, "25.5");
  EXPECT_EQ(main.latLonSettings.northSouthIndex, 1);
  EXPECT_EQ(main.latLonSettings.altitude, "120.5");
  EXPECT_EQ(main.latLonSettings.channelIndex, 8);
}

}  // namespace
}  // namespace dlgtest
