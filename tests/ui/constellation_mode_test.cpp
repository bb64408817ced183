// The main window in the "All constellations" mode: its context-menu entry
// and remembered setting, the shared multi-constellation recordings replayed
// through the window, the notice for a receiver the GPS-only window cannot
// read, and the fresh start when another source is opened.

#include "app/constellation_mode.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "../views/view_pixels.h"
#include "app/display_texts.h"
#include "app/main_dlg.h"
#include "app/settings_store.h"
#include "nmea/sentence.h"
#include "platform/prompts.h"
#include "pty_receiver.h"
#include "resources/main_ids.h"
#include "views/chart_painter.h"
#include "views/sky_painter.h"

namespace {

using app::CMainDlg;

std::string Data(const char* name) { return std::string(GPSDESK_TEST_DATA) + "/nmea/" + name + ".nmea"; }

std::string Nmea(const std::string& body) {
  std::string s = "$" + body;
  nmea::AppendChecksum(s);
  return s;
}

// A window with remembered settings of its own, so that what one test turns
// on does not carry over into the next.
struct Window {
  Window() { dlg.show(); }
  app::CMemorySettingsStore settings;
  app::CSettingsStoreOverride useSettings{settings};
  void Click(int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
  app::CConstellationMode& Mode() { return dlg.Constellations(); }
  std::map<int, std::string> Texts() const {
    std::map<int, std::string> shown;
    for (const app::StartText& t : app::kStartTexts) shown[t.id] = dlg.ItemText(t.id);
    return shown;
  }
  // Chooses `path` with "File": opened at once while a source is open,
  // only selected otherwise.
  void ChooseFile(const std::string& path) {
    platform::CScriptedPrompts prompts;
    platform::CPromptsOverride use(prompts);
    prompts.fileAnswers.push_back(path);
    Click(ids::kNmeaFile);
  }
  // Replays the open file tick by tick, as the replay timer would, to its end.
  void ReplayToTheEnd() {
    for (int tick = 0; dlg.sourceOpen == 1 && tick < 100000; ++tick) dlg.ReplayTick();
  }
  // The two views as the window shows them now.
  QImage Views() {
    const QImage img = dlg.grab().toImage();
    return img.copy(dlg.skyArea.left, dlg.skyArea.top, dlg.skyArea.right - dlg.skyArea.left,
                    dlg.chartArea.bottom - dlg.skyArea.top);
  }
  CMainDlg dlg;
};

const std::map<int, std::string> StartTexts() {
  return {{ids::kLatitudeDeg, "N000 00'00.00\""},
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
          {ids::kVersion, "Version unknown"}};
}

QAction* MenuEntry(CMainDlg& dlg) {
  const QPoint blank(680, 60);  // right of the button columns
  QContextMenuEvent click(QContextMenuEvent::Mouse, blank, dlg.mapToGlobal(blank));
  QApplication::sendEvent(&dlg, &click);
  auto* menu = dlg.findChild<QMenu*>();
  if (!menu) return nullptr;
  menu->hide();
  for (QAction* a : menu->actions())
    if (a->text() == QStringLiteral("All constellations")) return a;
  return nullptr;
}

TEST(AllConstellations, StartTextsAreTheWindowsOwn) {
  Window w;
  EXPECT_EQ(w.Texts(), StartTexts());
}

TEST(AllConstellations, MenuEntryIsOffAtFirstAndRememberedBetweenRuns) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString file = folder.filePath(QStringLiteral("gpsdesk.conf"));
  app::CQSettingsStore store(file);
  app::CSettingsStoreOverride use(store);
  {
    CMainDlg dlg;
    dlg.show();
    QAction* entry = MenuEntry(dlg);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isCheckable());
    EXPECT_FALSE(entry->isChecked());
    EXPECT_FALSE(dlg.Constellations().On());
    entry->trigger();
    EXPECT_TRUE(dlg.Constellations().On());
  }
  QFile saved(file);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains("allConstellations=true"));
  {
    CMainDlg dlg;  // the next run
    dlg.show();
    EXPECT_TRUE(dlg.Constellations().On());
    QAction* entry = MenuEntry(dlg);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isChecked());
    entry->trigger();
    EXPECT_FALSE(dlg.Constellations().On());
    EXPECT_FALSE(store.ReadBool(app::kAllConstellationsKey, true));
  }
}

// u-blox NEO-M8N: GNRMC, GNGGA, two GNGSA per epoch, GPGSV and GLGSV. The
// values were read off the file's last lines by hand: the last GNGGA
// (171948.00, 4404.13902 N = 44 deg 4' 8.34", 12118.85371 W = 121 deg
// 18' 51.22", 1139.4 m), the last GNRMC (0.059 kn, no course), the last
// epoch with GSA and GSV (171947: GNGSA 01 11 31 14 22 32 04 25 03 and
// 67 83 76 82, DOPs 2.02 1.05 1.73; GPGSV 13 satellites, GLGSV 10).
TEST(AllConstellations, NeoM8nReplayShowsPositionTimeDopsFixAndSatellites) {
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off");
    Window w;
    w.Mode().SetOn(on);
    w.ChooseFile(Data("gpsd-neo-m8n"));  // selected, not opened
    w.Click(ids::kTtffStart);            // counted by replayed fixes
    w.Click(ids::kOpenClose);
    w.ReplayToTheEnd();
    std::map<int, std::string> expected = StartTexts();
    if (on) {
      expected[ids::kUtc] = "UTC = 17:19:48";
      expected[ids::kLatitudeDeg] = "N044";
      expected[ids::kLatitudeMin] = "04'08.34\"";
      expected[ids::kLongitudeDeg] = "W121";
      expected[ids::kLongitudeMin] = "18'51.22\"";
      expected[ids::kAltitude] = "1139.4 m";
      expected[ids::kSpeed] = "0 km/h";
      expected[ids::kCourse] = "0";
      expected[ids::kPdop] = "PDOP=2.02";
      expected[ids::kHdop] = "HDOP=1.05";
      expected[ids::kVdop] = "VDOP=1.73";
      expected[ids::kSvsInUse] = "SVs in use  : 13";
      expected[ids::kSvsInView] = "SVs in view : 23";
      expected[ids::kFix] = "Fix : 3D";
    } else {
      expected[ids::kSvsInView] = "SVs in view : 13";  // GPGSV is all the GPS-only window reads
    }
    EXPECT_EQ(w.Texts(), expected);
    // One group per GNGGA in the mode; the first GNGSA reports a 3D fix
    // right after the first one.
    EXPECT_EQ(w.dlg.ttffRunning, on ? 0 : 1);
    EXPECT_EQ(w.dlg.ItemText(ids::kTtff), on ? "TTFF  1 seconds" : "TTFF  0 seconds");
  }
}

// An RTK receiver without GSA or GSV: GNGGA and GNRMC at 10 Hz, with a
// stretch of GPGGA and GPRMC in the middle. Read off the file by hand: the
// last GNGGA (133901.50, 4134.50180366 N = 41 deg 34' 30.10", 09345.03586734
// W = 93 deg 45' 02.14", 280.829 m), the last GNRMC (0.018 kn, 273.328);
// and what the GPS-only window keeps from the last GPGGA and GPRMC
// (132829.90, 34' 29.97", 45' 02.07", 279.275 m; 0.306 kn, 242.975).
TEST(AllConstellations, NmeaRtkReplayShowsPositionAndTimeAndStopsTheCountByGga) {
  for (bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off");
    Window w;
    w.Mode().SetOn(on);
    w.ChooseFile(Data("gpsd-nmea-rtk"));
    w.Click(ids::kTtffStart);
    w.Click(ids::kOpenClose);
    w.ReplayToTheEnd();
    std::map<int, std::string> expected = StartTexts();
    expected[ids::kUtc] = on ? "UTC = 13:39:01" : "UTC = 13:28:29";
    expected[ids::kLatitudeDeg] = "N041";
    expected[ids::kLatitudeMin] = on ? "34'30.10\"" : "34'29.97\"";
    expected[ids::kLongitudeDeg] = "W093";
    expected[ids::kLongitudeMin] = on ? "45'02.14\"" : "45'02.07\"";
    expected[ids::kAltitude] = on ? "280.829 m" : "279.275 m";
    expected[ids::kSpeed] = "0 km/h";
    expected[ids::kCourse] = on ? "273.328" : "242.975";
    EXPECT_EQ(w.Texts(), expected);
    // GGA quality 2 in the first epoch, known to be a fix once that epoch
    // closed without a GSA: at the second group.
    EXPECT_EQ(w.dlg.ttffRunning, on ? 0 : 1);
    if (on) {
      EXPECT_EQ(w.dlg.ItemText(ids::kTtff), "TTFF  2 seconds");
    }
  }
}

// One epoch of a four-constellation receiver: a GSA per constellation, GSV
// from GPS and from a BeiDou receiver's BDGSV whose second message is lost.
TEST(AllConstellations, MultiGsaEpochBeidouAndAPartialLastGsv) {
  Window w;
  w.Mode().SetOn(true);
  w.dlg.RestartTtff();
  for (const std::string& s : {
           Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,"),
           Nmea("GPGSA,A,3,01,02,03,,,,,,,,,,2.5,1.3,2.1"),
           Nmea("GLGSA,A,3,65,66,,,,,,,,,,,2.4,1.2,2.0"),
           Nmea("GAGSA,A,3,05,,,,,,,,,,,,2.3,1.1,1.9"),
           Nmea("BDGSA,A,3,01,,,,,,,,,,,,1.9,1.0,1.6"),
           Nmea("GPGSV,1,1,04,01,40,050,45,02,50,150,40,03,30,250,35,04,20,330,20"),
           Nmea("BDGSV,2,1,06,01,60,100,44,02,35,200,38,03,25,300,,04,15,020,22"),
           Nmea("GNGGA,120001.00,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,"),
       }) {
    w.dlg.InterpretSentence(s);
  }
  EXPECT_EQ(w.dlg.ItemText(ids::kSvsInUse), "SVs in use  : 7");  // 3 GPS, 2 GLONASS, 1 Galileo, 1 BeiDou
  EXPECT_EQ(w.dlg.ItemText(ids::kPdop), "PDOP=1.9");             // the epoch's last GSA
  EXPECT_EQ(w.dlg.ItemText(ids::kVdop), "VDOP=1.6");
  EXPECT_EQ(w.dlg.ItemText(ids::kFix), "Fix : 3D");
  EXPECT_EQ(w.dlg.ttffRunning, 0);
  EXPECT_EQ(w.dlg.ItemText(ids::kSvsInView), "SVs in view : 8");  // 4 GPS and the 4 BeiDou that came

  // The views: used satellites blue, the others grey; eight bars, the four
  // used ones in view first, then the others in key order (C03 untracked).
  const QImage img = w.dlg.grab().toImage();
  const views::SkyLayout sky = views::LayoutSky(273, 252);
  auto marker = [&](int az, int el) {
    const views::Point p = views::SkyPoint(sky, az, el);
    return views_test::At(img, w.dlg.skyArea.left + p.x, w.dlg.skyArea.top + p.y + 6);
  };
  EXPECT_EQ(marker(50, 40), views::kUsedMarkerColour);   // G01
  EXPECT_EQ(marker(100, 60), views::kUsedMarkerColour);  // C01
  EXPECT_EQ(marker(330, 20), views::kMarkerColour);      // G04
  EXPECT_EQ(marker(200, 35), views::kMarkerColour);      // C02
  const views::ChartLayout chart = views::LayoutChart(273, 102, 8);
  for (int i = 0; i < 8; ++i) {
    const QColor foot = views_test::At(img, w.dlg.chartArea.left + chart.BarLeft(i) + 2,
                                       w.dlg.chartArea.top + chart.barBottom - 3);
    EXPECT_EQ(foot, i < 4 ? views::kUsedBarColour : i == 6 ? views::kEmptyBarColour : views::kBarColour) << i;
  }
}

TEST(AllConstellations, NoticeForAReceiverThisWindowCannotReadAndOneClickToTurnItOn) {
  const std::vector<std::string> gnEpoch = {
      Nmea("GNRMC,120000.00,A,4807.038,N,01131.000,E,0.1,,230394,,,A"),
      Nmea("GNGGA,120000.00,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,"),
      Nmea("GNGSA,A,3,01,02,65,,,,,,,,,,2.5,1.3,2.1"),
      Nmea("GLGSV,1,1,01,65,40,050,45"),
  };
  Window w;
  std::int64_t now = 0;
  w.Mode().SetClock([&] { return now; });
  QToolButton* notice = w.Mode().Notice();
  ASSERT_NE(notice, nullptr);
  const QImage before = w.dlg.grab().toImage();
  for (; now < 5000; now += 1000)
    for (const std::string& s : gnEpoch) w.dlg.InterpretSentence(s);
  EXPECT_TRUE(notice->isHidden());
  EXPECT_EQ(w.dlg.grab().toImage(), before);  // nothing understood, nothing shown
  for (const std::string& s : gnEpoch) w.dlg.InterpretSentence(s);
  ASSERT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->toolTip().toStdString(),
            "Receiving GNGGA, GNRMC, GNGSA, GLGSV that this window does not show. Click to turn on All "
            "constellations.");
  // At the right end of the status line, which keeps its text; the console
  // (and so the log) hears nothing of it.
  const QWidget* status = w.dlg.Control(ids::kStatus);
  EXPECT_EQ(notice->geometry().right(), status->geometry().right());
  EXPECT_EQ(notice->geometry().top(), status->geometry().top());
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "");
  EXPECT_EQ(w.dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->toPlainText(), QString());

  notice->click();
  EXPECT_TRUE(w.Mode().On());
  EXPECT_TRUE(notice->isHidden());
  EXPECT_TRUE(w.Mode().MenuEntry()->isChecked());
  EXPECT_EQ(w.dlg.ItemText(ids::kUtc), "UTC = 12:00:00");  // what the mode had read meanwhile
  EXPECT_EQ(w.dlg.ItemText(ids::kFix), "Fix : 3D");
  // Turned off again: the GPS-only texts, which never changed.
  w.Mode().SetOn(false);
  EXPECT_EQ(w.Texts(), StartTexts());

  // A GP receiver, with GLONASS satellites beside: no notice, ever.
  Window gp;
  now = 0;
  gp.Mode().SetClock([&] { return now; });
  for (; now < 20000; now += 1000) {
    for (const char* s :
         {"$GPGGA,120000.00,4807.038,N,01131.000,E,1,07,0.9,545.4,M,46.9,M,,",
          "$GPGSA,A,3,01,02,,,,,,,,,,,2.5,1.3,2.1", "$GLGSV,1,1,01,65,40,050,45",
          "$GPGSV,1,1,01,01,40,050,45", "$GPRMC,120000.00,A,4807.038,N,01131.000,E,0.1,,230394"})
      gp.dlg.InterpretSentence(s);
  }
  EXPECT_TRUE(gp.Mode().Notice()->isHidden());
}

TEST(AllConstellations, AnotherFileStartsFromTheStartValuesTheSameFileDoesNot) {
  Window w;
  w.ChooseFile(Data("gpsd-haicom-305N"));
  w.Click(ids::kOpenClose);
  w.Click(ids::kStopwatchStart);
  w.dlg.OnTimer(app::TimerStopwatch);
  w.ReplayToTheEnd();
  const std::map<int, std::string> haicom = w.Texts();
  ASSERT_EQ(haicom.at(ids::kLatitudeDeg), "S027");
  Window fresh;
  ASSERT_NE(w.Views(), fresh.Views());
  const std::string ttff = w.dlg.ItemText(ids::kTtff);

  // The same file again: nothing goes back (the next groups overwrite).
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceFile);
  EXPECT_EQ(w.Texts(), haicom);
  w.Click(ids::kOpenClose);

  // Another file: every text the receiver drove, and both views, start over
  // at once; the stopwatch and the TTFF count go on.
  for (bool on : {false, true}) {
    SCOPED_TRACE(on ? "on" : "off");
    w.ChooseFile(Data(on ? "gpsd-haicom-305N" : "gpsd-neo-m8n"));
    w.Click(ids::kOpenClose);
    ASSERT_EQ(w.dlg.activeSource, app::SourceFile);
    EXPECT_EQ(w.Texts(), StartTexts());
    fresh.Mode().SetOn(on);
    EXPECT_EQ(w.Views(), fresh.Views());
    EXPECT_EQ(w.dlg.ItemText(ids::kTtff), ttff);
    EXPECT_EQ(w.dlg.ItemText(ids::kStopwatch), "Timer  00:00:01");
    EXPECT_TRUE(w.dlg.IsTimerRunning(app::TimerStopwatch));
    w.ReplayToTheEnd();
    EXPECT_NE(w.Texts(), StartTexts());
    w.Mode().SetOn(true);
  }
}

TEST(AllConstellations, AnotherPortStartsFromTheStartValuesReopeningTheSameDoesNot) {
  uitest::Receiver rx;
  uitest::Receiver other;
  ASSERT_TRUE(rx.Ok() && other.Ok());
  Window w;
  w.dlg.portName = rx.Device();
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceSerial);
  rx.Send(
      "$PVLX600 Velorin QK7720,V1.02\r\n$GPGGA,235959.50,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kUtc) == "UTC = 23:59:59"; }, 5000));
  EXPECT_EQ(w.dlg.ItemText(ids::kVersion), "V1.02");
  const std::map<int, std::string> shown = w.Texts();

  w.Click(ids::kOpenClose);
  w.Click(ids::kOpenClose);  // the same port again
  ASSERT_EQ(w.dlg.activeSource, app::SourceSerial);
  EXPECT_EQ(w.Texts(), shown);
  w.Click(ids::kOpenClose);

  w.dlg.portName = other.Device();
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceSerial);
  EXPECT_EQ(w.Texts(), StartTexts());  // the version too: it was the other receiver's
}

}  // namespace
