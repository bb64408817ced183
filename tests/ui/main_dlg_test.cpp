// The main window as the user meets it: start state read back from the real
// widgets, received sentences on the display, the TTFF count, the system
// menu and the end of the modal run.

#include "app/main_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <utility>

#include "caption_checks.h"
#include "modal_answer.h"
#include "platform/dialog_builder.h"
#include "resources/main_ids.h"

namespace {

using app::CMainDlg;

// The 17 buttons that need the open port, and the one that never works.
constexpr std::array kCommandButtons{
    ids::kFactory,       ids::kHotStart, ids::kWarmStart,   ids::kColdStart,  ids::kVersionQuery,
    ids::kSettingsQuery, ids::kSetBaud,  ids::kEcefInit,    ids::kLatLonInit, ids::kDatum,
    ids::kMsgMode,       ids::kSetNmea,  ids::kNavSettings, ids::kReset,      ids::kLowPower,
    ids::kFixExtraction, ids::kEnterIsp};

class MainDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { dlg.show(); }
  CMainDlg dlg;
};

TEST_F(MainDlgTest, EveryControlShowsItsStartCaption) {
  const std::pair<int, std::string> captions[] = {
      {ids::kStatus, ""},
      {ids::kOpenClose, "OPEN"},
      {ids::kComSetup, "COM"},
      {ids::kNmeaFile, "File"},
      {ids::kSourceLabel, "COM1 9600bps"},
      {ids::kFileLabel, "NMEA File"},
      {ids::kReplaySpeed, "X10"},
      {ids::kStartStopLog, "Start Log"},
      {ids::kSetNmea, "Set NMEA"},
      {ids::kDatum, "Datum"},
      {ids::kLowPower, "Low Power"},
      {ids::kSetBaud, "Set Baud"},
      {ids::kEcefInit, "PVLX101"},
      {ids::kLatLonInit, "PVLX104"},
      {ids::kMsgMode, "PVLX107"},
      {ids::kNavSettings, "PVLX110"},
      {ids::kReset, "PVLX111"},
      {ids::kFixExtraction, "PVLX113"},
      {ids::kPvlx300, "PVLX300"},
      {ids::kFactory, "Factory"},
      {ids::kHotStart, "Hot Start"},
      {ids::kWarmStart, "Warm Start"},
      {ids::kColdStart, "Cold Start"},
      {ids::kVersionQuery, "Version?"},
      {ids::kSettingsQuery, "Settings?"},
      {ids::kEnterIsp, "Enter ISP"},
      {ids::kExitIsp, "Exit ISP"},
      {ids::kClose, "Close"},
      {ids::kConsole, ""},
      {ids::kLatitudeDeg, "N000 00'00.00\""},
      {ids::kLatitudeMin, "00'00.00\""},
      {ids::kLongitudeDeg, "E000 00'00.00\""},
      {ids::kLongitudeMin, "00'00.00\""},
      {ids::kAltitude, "0 m"},
      {ids::kSpeed, "0 Km/h"},
      {ids::kCourse, "0 "},
      {ids::kPdop, "PDOP=0.00"},
      {ids::kHdop, "HDOP=0.00"},
      {ids::kVdop, "VDOP=0.00"},
      {ids::kSvsInUse, "SVs in use  : 0"},
      {ids::kSvsInView, "SVs in view : 0"},
      {ids::kFix, "Fix : not available"},
      {ids::kUtc, "UTC = 00:00:00"},
      {ids::kVersion, "Version unknown"},
      {ids::kTtff, "TTFF  0 seconds"},
      {ids::kTtffStart, "Start"},
      {ids::kStopwatch, "Timer  00:00:00"},
      {ids::kStopwatchStart, "Start"},
  };
  for (const auto& [id, caption] : captions) {
    ASSERT_NE(dlg.Control(id), nullptr) << id;
    EXPECT_EQ(dlg.ItemText(id), caption) << id;
  }
}

TEST_F(MainDlgTest, StartStateOfSourceAndCommandControls) {
  EXPECT_TRUE(dlg.Control(ids::kSourceLabel)->isVisible());
  EXPECT_FALSE(dlg.Control(ids::kSourceLabel)->isEnabled());  // greyed while closed
  EXPECT_TRUE(dlg.Control(ids::kFileLabel)->isHidden());
  EXPECT_TRUE(dlg.Control(ids::kReplaySpeed)->isHidden());
  for (int id : kCommandButtons) EXPECT_FALSE(dlg.Control(id)->isEnabled()) << id;
  EXPECT_FALSE(dlg.Control(ids::kPvlx300)->isEnabled());
  for (int id : {ids::kExitIsp, ids::kOpenClose, ids::kComSetup, ids::kNmeaFile, ids::kStartStopLog,
                 ids::kTtffStart, ids::kStopwatchStart, ids::kClose}) {
    EXPECT_TRUE(dlg.Control(id)->isEnabled()) << id;
  }

  auto* speeds = dlg.ControlAs<QComboBox>(ids::kReplaySpeed);
  ASSERT_NE(speeds, nullptr);
  const char* names[] = {"X1", "X2", "X3", "X4", "X5", "X8", "X10", "X20", "X40", "X60"};
  ASSERT_EQ(speeds->count(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(speeds->itemText(i).toStdString(), names[i]);
  EXPECT_EQ(speeds->currentIndex(), 6);

  auto* console = dlg.ControlAs<QPlainTextEdit>(ids::kConsole);
  ASSERT_NE(console, nullptr);
  EXPECT_TRUE(console->isReadOnly());
  EXPECT_EQ(console->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(console->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

// Start-up sets every field to its start value, whatever it held before.
TEST(MainDlgStart, InitialisationSetsTheStartValues) {
  CMainDlg dlg;
  dlg.portName = "COM7";
  dlg.baudRate = 4800;
  dlg.selectedSource = app::SourceFile;
  dlg.rates[2] = 5;
  dlg.replayInterval = 16;
  dlg.receiver.svInView = 3;
  dlg.receiver.sats[4].snr = 40;
  dlg.navSettings.minSnr = "35";
  dlg.lastDatumRow = 3;
  dlg.show();
  EXPECT_EQ(dlg.ItemText(ids::kSourceLabel), "COM1 9600bps");
  EXPECT_EQ(dlg.selectedSource, app::SourceSerial);
  EXPECT_EQ(dlg.activeSource, app::SourceNone);
  EXPECT_TRUE(dlg.Control(ids::kReplaySpeed)->isHidden());
  EXPECT_EQ(dlg.rates, (std::array<int, 7>{1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(dlg.selected, (std::array<int, 8>{0, 2, 3, 4, 0, 0, 0, 0}));
  EXPECT_EQ(dlg.replayInterval, 100);
  EXPECT_EQ(dlg.receiver, nmea::ReceiverState{});
  EXPECT_EQ(dlg.navSettings.minSnr, "20");
  EXPECT_EQ(dlg.lastDatumRow, 216);
  for (int timer = 1; timer <= 4; ++timer) EXPECT_FALSE(dlg.IsTimerRunning(timer)) << timer;
}

TEST_F(MainDlgTest, WindowAndViewGeometry) {
  EXPECT_EQ(dlg.size(), QSize(728, 384));
  EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("gpsdesk"));
  EXPECT_FALSE(dlg.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(dlg.windowIcon().isNull());
  // Centred on the screen when first shown.
  const QRect screen = dlg.screen()->availableGeometry();
  EXPECT_LE((dlg.frameGeometry().center() - screen.center()).manhattanLength(), 2);

  EXPECT_EQ(dlg.Control(ids::kSkyFrame)->geometry(), QRect(6, 6, 273, 252));
  EXPECT_EQ(dlg.Control(ids::kChartFrame)->geometry(), QRect(6, 258, 273, 102));
  EXPECT_EQ(dlg.Control(ids::kOriginFrame)->pos(), QPoint(0, 0));
  EXPECT_TRUE(dlg.Control(ids::kSkyFrame)->isHidden());

  const auto [sl, st, sr, sb] = dlg.skyArea;
  EXPECT_EQ((std::array{sl, st, sr, sb}), (std::array{6, 6, 279, 258}));
  const auto [cl, ct, cr, cb] = dlg.chartArea;
  EXPECT_EQ((std::array{cl, ct, cr, cb}), (std::array{6, 258, 279, 360}));
  EXPECT_EQ(dlg.skyTextHeight, 10);
  EXPECT_EQ(dlg.markerRadius, 8);
  EXPECT_EQ(QFontMetrics(dlg.skyFont).height(), 10);  // the whole text cell
  EXPECT_EQ(QFontMetrics(dlg.skyFont).averageCharWidth(), 6);
}

// Guards the template: visible controls neither overlap nor clip the
// captions they start with.
TEST_F(MainDlgTest, ControlsDoNotOverlapAndCaptionsFit) {
  std::vector<QWidget*> controls;
  for (QWidget* w : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isVisible() && !qobject_cast<QGroupBox*>(w) && !qobject_cast<QMenu*>(w)) controls.push_back(w);
  }
  for (std::size_t i = 0; i < controls.size(); ++i) {
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
          << platform::ControlId(controls[i]) << " and " << platform::ControlId(controls[j]);
    }
  }
  const QFontMetrics metrics(dlg.font());
  for (QWidget* w : controls) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap()) text = label->text();
    if (auto* button = qobject_cast<QPushButton*>(w)) text = button->text();
    EXPECT_LE(metrics.horizontalAdvance(text), w->width()) << text.toStdString();
  }
  // The items of its lists, the replay speeds a file source shows included,
  // fit the closed list or, when opened, the list.
  dlg.ShowItem(ids::kReplaySpeed, true);
  for (QComboBox* list : dlg.findChildren<QComboBox*>(Qt::FindDirectChildrenOnly)) {
    if (!list->isVisible()) continue;
    for (const std::string& problem : uitest::ListItemProblems(*list)) ADD_FAILURE() << problem;
  }
  dlg.ShowItem(ids::kReplaySpeed, false);
  // The longer captions the source controls take later fit as well.
  EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("COM1 115200bps")),
            dlg.Control(ids::kSourceLabel)->width());
  EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("CLOSE")), dlg.Control(ids::kOpenClose)->width());
  EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("Stop Log")), dlg.Control(ids::kStartStopLog)->width());
}

TEST_F(MainDlgTest, GgaShowsPositionTimeAndAltitudeOnly) {
  dlg.InterpretSentence("$GPGGA,123519,4807.038,N,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*47");
  EXPECT_EQ(dlg.ItemText(ids::kUtc), "UTC = 12:35:19");
  EXPECT_EQ(dlg.ItemText(ids::kAltitude), "545.4 m");
  EXPECT_EQ(dlg.ItemText(ids::kLatitudeDeg), "N048");
  EXPECT_EQ(dlg.ItemText(ids::kLatitudeMin), "07'02.28\"");
  EXPECT_EQ(dlg.ItemText(ids::kLongitudeDeg), "W011");
  EXPECT_EQ(dlg.ItemText(ids::kLongitudeMin), "31'00.00\"");
  EXPECT_LT(dlg.receiver.longitude, 0);
  EXPECT_EQ(dlg.ItemText(ids::kSpeed), "0 Km/h");
  EXPECT_EQ(dlg.ItemText(ids::kFix), "Fix : not available");
}

TEST_F(MainDlgTest, FixInGsaEndsTheTtffCount) {
  dlg.RestartTtff();
  ASSERT_TRUE(dlg.IsTimerRunning(app::TimerTtff));
  dlg.OnTimer(app::TimerTtff);
  dlg.OnTimer(app::TimerTtff);
  EXPECT_EQ(dlg.ItemText(ids::kTtff), "TTFF  2 seconds");

  dlg.InterpretSentence("$GPGSA,A,1,,,,,,,,,,,,,,,*1E");
  EXPECT_EQ(dlg.ItemText(ids::kFix), "Fix : not available");
  EXPECT_EQ(dlg.ttffRunning, 1);
  EXPECT_TRUE(dlg.IsTimerRunning(app::TimerTtff));

  dlg.InterpretSentence("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39");
  EXPECT_EQ(dlg.ItemText(ids::kFix), "Fix : 3D");
  EXPECT_EQ(dlg.ItemText(ids::kSvsInUse), "SVs in use  : 5");
  EXPECT_EQ(dlg.ItemText(ids::kPdop), "PDOP=2.5");
  EXPECT_EQ(dlg.ItemText(ids::kHdop), "HDOP=1.3");
  EXPECT_EQ(dlg.ItemText(ids::kVdop), "VDOP=2.1");
  EXPECT_EQ(dlg.ttffRunning, 0);
  EXPECT_FALSE(dlg.IsTimerRunning(app::TimerTtff));
  EXPECT_EQ(dlg.ItemText(ids::kTtff), "TTFF  2 seconds");  // the count keeps its last value
}

TEST_F(MainDlgTest, VersionReplyShowsTheVersionAndRestartsTheCount) {
  dlg.ttffSeconds = 30;
  dlg.InterpretSentence("$PVLX600 Velorin QK7720,V1.23 2009-05-01*00");
  EXPECT_EQ(dlg.ItemText(ids::kVersion), "V1.23 2009-05-01");
  EXPECT_EQ(dlg.ItemText(ids::kTtff), "TTFF  0 seconds");
  EXPECT_EQ(dlg.ttffSeconds, 0u);
  EXPECT_EQ(dlg.ttffRunning, 1);
  EXPECT_EQ(dlg.TimerPeriod(app::TimerTtff), 1000);

  // With the file source selected the replay drives the count, not timer 2.
  dlg.selectedSource = app::SourceFile;
  dlg.InterpretSentence("$PVLX600 Velorin QK7720,V1.24");
  EXPECT_EQ(dlg.ttffRunning, 1);
  EXPECT_FALSE(dlg.IsTimerRunning(app::TimerTtff));
}

TEST_F(MainDlgTest, TtffCountShowsSecondsThenClockTime) {
  const std::pair<std::uint32_t, std::string> steps[] = {
      {58, "TTFF  59 seconds"},
      {59, "TTFF   00:01:00"},
      {74, "TTFF   00:01:15"},
      {86400 + 3660, "TTFF   01:01:01"},  // hours wrap at a day
  };
  for (const auto& [before, text] : steps) {
    dlg.ttffSeconds = before;
    dlg.OnTimer(app::TimerTtff);
    EXPECT_EQ(dlg.ttffSeconds, before + 1);
    EXPECT_EQ(dlg.ItemText(ids::kTtff), text);
  }
}

TEST_F(MainDlgTest, AboutCommandsOpenTheAboutBoxModally) {
  for (unsigned command : {16u, 17u, 31u}) {
    const uitest::ModalSeen seen = uitest::AnswerModal([&] { dlg.OnSysCommand(command); }, 1);
    EXPECT_TRUE(seen.opened) << command;
    EXPECT_EQ(seen.className, QStringLiteral("app::CAboutDlg"));
    EXPECT_EQ(seen.title, QStringLiteral("About gpsdesk"));
    EXPECT_EQ(seen.parent, &dlg);
  }
  // Another command opens nothing.
  const uitest::ModalSeen seen = uitest::AnswerModal([&] { dlg.OnSysCommand(32); }, 1);
  EXPECT_FALSE(seen.opened);
  EXPECT_TRUE(dlg.isVisible());
}

TEST_F(MainDlgTest, RightClickOnTheBackgroundOffersTheAboutEntry) {
  const QPoint blank(680, 60);  // right of the button columns
  ASSERT_EQ(dlg.childAt(blank), nullptr);
  QContextMenuEvent click(QContextMenuEvent::Mouse, blank, dlg.mapToGlobal(blank));
  QApplication::sendEvent(&dlg, &click);
  auto* menu = dlg.findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());

  QAction* about = nullptr;
  for (QAction* action : menu->actions()) {
    if (action->data().toUInt() == 16) about = action;
  }
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), QStringLiteral("About gpsdesk..."));
  menu->hide();
  const uitest::ModalSeen seen = uitest::AnswerModal([&] { about->trigger(); }, 1);
  EXPECT_EQ(seen.className, QStringLiteral("app::CAboutDlg"));
}

TEST(MainDlgRun, CloseButtonEndsTheModalRun) {
  CMainDlg dlg;
  QTimer::singleShot(0, &dlg, [&] { dlg.ControlAs<QPushButton>(ids::kClose)->click(); });
  EXPECT_EQ(dlg.DoModal(), 1);
  EXPECT_FALSE(dlg.isVisible());
}

TEST(MainDlgRun, SystemCloseEndsTheModalRunWithoutAbout) {
  CMainDlg dlg;
  bool aboutSeen = false;
  QTimer::singleShot(0, &dlg, [&] {
    const uitest::ModalSeen seen = uitest::AnswerModal([&] { dlg.OnSysCommand(0xF060); }, 1, &dlg);
    aboutSeen = seen.opened;
  });
  EXPECT_EQ(dlg.DoModal(), 2);
  EXPECT_FALSE(aboutSeen);
}

}  // namespace
