// The NMEA output-rate dialog: the selection in click order, rates by
// message, the two sentences on the wire, and what the main window keeps.

#include "dialog_fixture.h"
#include "platform/text_controls.h"
#include "resources/nmea_output_ids.h"

namespace dlgtest {
namespace {

using namespace ids::nmea_output;

enum Message { GGA, GLL, GSA, GSV, RMC, VTG, ZDA };

constexpr int Button(Message m) { return kFirstMessage + m; }
constexpr int Rate(Message m) { return kFirstRate + m; }

using NmeaOutputDialog = DialogTest;

// The summary stops short of "Send"; a selection too long for it ends in
// "…" and shows whole in the tooltip.
void SummaryEndsBeforeSendAndShowsWhole(const dialogs::CConfigDlg& dlg) {
  const auto* summary = dlg.ControlAs<platform::CStaticText>(kSummary);
  ASSERT_NE(summary, nullptr);
  EXPECT_LT(summary->geometry().right(), dlg.Control(kSend)->geometry().left());
  const QString whole = QString::fromLatin1(dlg.ItemText(kSummary));
  const bool fits =
      summary->fontMetrics().horizontalAdvance(whole.trimmed()) <= summary->contentsRect().width();
  EXPECT_EQ(summary->ShownText() == whole, fits) << whole.toStdString();
  EXPECT_EQ(summary->toolTip(), fits ? QString() : whole) << whole.toStdString();
  if (!fits) {
    EXPECT_TRUE(summary->ShownText().endsWith(QChar(0x2026)));
  }
}

TEST_F(NmeaOutputDialog, SelectionInClickOrderRatesAndSend) {
  Open(ids::kSetNmea, [&](dialogs::CConfigDlg& dlg) {
    Click(dlg, kMessageReset);
    EXPECT_EQ(dlg.ItemText(kPreview), "$PVLRX108*79<CR><LF>\n$PVLRX103*72<CR><LF>");
    EXPECT_EQ(dlg.ItemText(kSummary), "");

    Click(dlg, Button(VTG));
    Click(dlg, Button(GGA));
    Click(dlg, Button(GGA));  // already chosen: no second entry
    Select(dlg, Rate(VTG), 4);
    Select(dlg, Rate(GLL), 2);  // not chosen: no change to the sentences
    EXPECT_EQ(dlg.ItemText(kSummary), "VTG-5 GGA-1 ");
    SummaryEndsBeforeSendAndShowsWhole(dlg);
    EXPECT_EQ(dlg.ControlAs<platform::CStaticText>(kSummary)->toolTip(), QString());
    EXPECT_EQ(dlg.ItemText(kPreview),
              Preview("$PVLRX108,VTG,GGA*7D") + "\n" + Preview(Framed("$PVLRX103,VTG,5,GGA,1")));
    Click(dlg, kSend);
    EXPECT_TRUE(dlg.isVisible());
  });
  EXPECT_EQ(SentSoFar(), Wire("$PVLRX108,VTG,GGA*7D") + Wire(Framed("$PVLRX103,VTG,5,GGA,1")));
  EXPECT_EQ(main.selectedCount, 2);
  EXPECT_EQ(main.selected[0], VTG);
  EXPECT_EQ(main.selected[1], GGA);
  EXPECT_EQ(main.rates[GLL], 3);
  EXPECT_EQ(main.rates[VTG], 5);

  // The next opening shows what was sent; GLL brings its rate when chosen.
  Open(ids::kSetNmea, [&](dialogs::CConfigDlg& dlg) {
    EXPECT_EQ(dlg.ItemText(kSummary), "VTG-5 GGA-1 ");
    EXPECT_EQ(dlg.ItemText(Rate(GLL)), "3");
    Click(dlg, Button(GLL));
    EXPECT_EQ(dlg.ItemText(kSummary), "VTG-5 GGA-1 GLL-3 ");
  });
}

TEST_F(NmeaOutputDialog, ListsSevenChosenAndRateReset) {
  Open(ids::kSetNmea, [&](dialogs::CConfigDlg& dlg) {
    const char* names[] = {"GGA", "GLL", "GSA", "GSV", "RMC", "VTG", "ZDA"};
    for (int m = GGA; m <= ZDA; ++m) {
      EXPECT_EQ(dlg.ItemText(Button(Message(m))), names[m]);
      EXPECT_EQ(Items(dlg, Rate(Message(m))),
                (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    }
    for (Message m : {ZDA, GLL, VTG}) Click(dlg, Button(m));
    EXPECT_EQ(dlg.ItemText(kSummary), "GGA-1 GSA-1 GSV-1 RMC-1 ZDA-1 GLL-1 VTG-1 ");
    for (Message m : {RMC, ZDA}) Select(dlg, Rate(m), 9);
    EXPECT_EQ(dlg.ItemText(kSummary), "GGA-1 GSA-1 GSV-1 RMC-10 ZDA-10 GLL-1 VTG-1 ");
    SummaryEndsBeforeSendAndShowsWhole(dlg);
    for (int m = GGA; m <= ZDA; ++m) Select(dlg, Rate(Message(m)), 9);
    SummaryEndsBeforeSendAndShowsWhole(dlg);
    Click(dlg, kRateReset);
    for (int m = GGA; m <= ZDA; ++m) EXPECT_EQ(dlg.ItemText(Rate(Message(m))), "1");
    EXPECT_EQ(dlg.ItemText(kSummary), "GGA-1 GSA-1 GSV-1 RMC-1 ZDA-1 GLL-1 VTG-1 ");
    Select(dlg, Rate(RMC), 1);
    Click(dlg, tmpl::kIdCancel);
  });
  // Close without Send: the main window keeps its state.
  EXPECT_EQ(main.selectedCount, 4);
  EXPECT_EQ(main.rates[RMC], 1);
  EXPECT_EQ(SentSoFar(), "");
}

}  // namespace
}  // namespace dlgtest
