// The main window as an NMEA monitor: console and log, replaying a recorded
// file, the live port on a pseudo-terminal, the timers and the one-click
// receiver commands.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "app/main_dlg.h"
#include "modal_answer.h"
#include "platform/prompts.h"
#include "pty_receiver.h"
#include "resources/main_ids.h"
#include "resources/setup_com_ids.h"

namespace {

using app::CMainDlg;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const char* name) { return QDir::tempPath().toStdString() + "/gpsdesk-ui-" + name; }

struct Window {
  Window() {
    dlg.show();  // runs the start-up steps
  }
  std::string Console() const {
    return dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->toPlainText().toStdString();
  }
  void Click(int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
  CMainDlg dlg;
};

TEST(Console, TrimsTwentyOldestLinesPastTwoHundred) {
  Window w;
  std::string lines;
  for (int i = 1; i <= 199; ++i) lines += "line " + std::to_string(i) + "\r\n";
  w.dlg.AppendConsole(lines);  // 200 lines counted: the empty one after the last CR LF
  auto* doc = w.dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->document();
  EXPECT_EQ(doc->blockCount(), 200);
  w.dlg.AppendConsole("new");  // still 200
  EXPECT_EQ(doc->firstBlock().text().toStdString(), "line 1");
  w.dlg.AppendConsole("\r\n");  // 201 counted: the oldest 20 go at once
  EXPECT_EQ(doc->blockCount(), 181);
  EXPECT_EQ(doc->firstBlock().text().toStdString(), "line 21");
  w.dlg.AppendConsole("next");
  EXPECT_EQ(doc->lastBlock().previous().text().toStdString(), "new");
  EXPECT_EQ(doc->lastBlock().text().toStdString(), "next");
}

TEST(Console, ZeroAndControlBytesStayVisibleAndLoggedAsTheyCame) {
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  const std::string path = TempPath("zero.txt");
  std::remove(path.c_str());
  prompts.fileAnswers.push_back(path);
  w.Click(ids::kStartStopLog);
  ASSERT_EQ(w.dlg.logging, 1);
  EXPECT_EQ(w.dlg.ItemText(ids::kStartStopLog), "Stop Log");

  const std::string line(
      "$GPTXT,a\0b\x01"
      "c\r\n",
      14);
  w.dlg.AppendConsole(line);
  w.dlg.AppendLog(line);
  EXPECT_EQ(w.Console(), "$GPTXT,a\u2400b\u2401c\n");  // nothing after the zero byte is lost
  w.Click(ids::kStartStopLog);
  EXPECT_EQ(w.dlg.ItemText(ids::kStartStopLog), "Start Log");
  EXPECT_EQ(Slurp(path), line);
  std::remove(path.c_str());
}

TEST(Log, OverwriteQuestionAndCreationFailure) {
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  const std::string path = TempPath("exists.txt");
  std::ofstream(path) << "keep";

  prompts.fileAnswers.push_back(path);
  prompts.yesNoAnswers.push_back(false);
  w.Click(ids::kStartStopLog);
  EXPECT_EQ(w.dlg.logging, 0);
  EXPECT_EQ(Slurp(path), "keep");
  ASSERT_EQ(prompts.asked.back().kind, platform::CScriptedPrompts::Kind::YesNo);
  EXPECT_EQ(prompts.asked.back().text, path + "\nFile exist! Overwrite?!");

  prompts.fileAnswers.push_back(path);
  prompts.yesNoAnswers.push_back(true);
  w.Click(ids::kStartStopLog);
  EXPECT_EQ(w.dlg.logging, 1);
  EXPECT_EQ(Slurp(path), "");  // emptied
  w.Click(ids::kStartStopLog);
  std::remove(path.c_str());

  prompts.fileAnswers.push_back("/nonexistent-dir/log.txt");
  w.Click(ids::kStartStopLog);
  EXPECT_EQ(w.dlg.logging, 0);
  EXPECT_EQ(prompts.asked.back().text, "/nonexistent-dir/log.txt\nFile open fial!");
}

TEST(Log, FailedWriteStopsLoggingAndSaysSo) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back("/dev/full");
  prompts.yesNoAnswers.push_back(true);  // it exists
  w.Click(ids::kStartStopLog);
  ASSERT_EQ(w.dlg.logging, 1);
  w.dlg.AppendLog("$GPGGA,1\r\n");
  EXPECT_EQ(w.dlg.logging, 0);
  EXPECT_EQ(w.dlg.ItemText(ids::kStartStopLog), "Start Log");
  ASSERT_EQ(prompts.asked.back().kind, platform::CScriptedPrompts::Kind::Message);
  EXPECT_EQ(prompts.asked.back().text.rfind("/dev/full\n", 0), 0u);
  EXPECT_NE(prompts.asked.back().text.find("space"), std::string::npos);  // the system's reason
}

TEST(Replay, GroupsPerTickFromAFullPathWhateverTheWorkingDirectory) {
  const std::string path = TempPath("replay.nmea");
  std::ofstream(path, std::ios::binary)
      << "$GPGGA,120000,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
         "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*35\r\n"
         "$GPRMC,120000,A,4916.45,N,12311.12,W,022.4,084.4,230394,003.1,W*6A\r\n"
         "$GPGGA,120001,4916.46,N,12311.12,W,1,08,0.9,546.0,M,46.9,M,,*47\r\n";
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(path);
  w.Click(ids::kNmeaFile);
  EXPECT_EQ(w.dlg.selectedSource, app::SourceFile);
  EXPECT_FALSE(w.dlg.Control(ids::kSourceLabel)->isVisible());
  EXPECT_TRUE(w.dlg.Control(ids::kFileLabel)->isVisible());
  EXPECT_FALSE(w.dlg.Control(ids::kFileLabel)->isEnabled());  // greyed until opened

  const QString cwd = QDir::currentPath();
  QDir::setCurrent(QStringLiteral("/"));  // the file is found by its full path
  w.Click(ids::kOpenClose);
  QDir::setCurrent(cwd);
  ASSERT_EQ(w.dlg.activeSource, app::SourceFile);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Replay NMEA File");
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "CLOSE");
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
  EXPECT_EQ(w.dlg.TimerPeriod(app::TimerReplay), 100);

  w.dlg.RestartTtff();  // in replay the count follows the groups, not the clock
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerTtff));
  w.dlg.ReplayTick();  // nothing before the first GGA
  EXPECT_EQ(w.Console(), "");
  w.dlg.ReplayTick();  // the first group: GGA, GSA (a fix), RMC
  EXPECT_EQ(w.dlg.ItemText(ids::kLatitudeDeg), "N049");
  EXPECT_EQ(w.dlg.ItemText(ids::kFix), "Fix : 3D");
  EXPECT_EQ(w.dlg.ItemText(ids::kSpeed), "41 km/h");
  EXPECT_EQ(w.dlg.ItemText(ids::kTtff), "TTFF  1 seconds");
  EXPECT_EQ(w.dlg.ttffRunning, 0);
  const std::string shown = w.Console();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 3);
  w.dlg.ReplayTick();  // the last group at the end of the file
  EXPECT_EQ(w.dlg.ItemText(ids::kUtc), "UTC = 12:00:01");
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "NMEA File Closed");
  EXPECT_EQ(w.dlg.activeSource, app::SourceNone);
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerReplay));
  std::remove(path.c_str());

  // "File" while logging stops the log, even when the dialog is cancelled.
  const std::string log = TempPath("replay-log.txt");
  std::remove(log.c_str());
  prompts.fileAnswers.push_back(log);
  w.Click(ids::kStartStopLog);
  ASSERT_EQ(w.dlg.logging, 1);
  w.Click(ids::kNmeaFile);
  EXPECT_EQ(w.dlg.logging, 0);
  std::remove(log.c_str());

  // A missing file.
  w.dlg.replayFileName = "/nonexistent/replay.nmea";
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Replay NMEA File ERR!");
  EXPECT_EQ(w.dlg.sourceOpen, 0);
}

TEST(Timers, TtffAndStopwatchTexts) {
  Window w;
  w.Click(ids::kStopwatchStart);
  EXPECT_EQ(w.dlg.ItemText(ids::kStopwatchStart), "Stop");
  EXPECT_TRUE(w.dlg.IsTimerRunning(app::TimerStopwatch));
  for (int i = 0; i < 3725; ++i) w.dlg.OnTimer(app::TimerStopwatch);
  EXPECT_EQ(w.dlg.ItemText(ids::kStopwatch), "Timer  01:02:05");
  w.Click(ids::kStopwatchStart);
  EXPECT_EQ(w.dlg.ItemText(ids::kStopwatchStart), "Start");
  EXPECT_EQ(w.dlg.ItemText(ids::kStopwatch), "Timer  01:02:05");

  w.Click(ids::kTtffStart);
  EXPECT_TRUE(w.dlg.IsTimerRunning(app::TimerTtff));
  for (int i = 0; i < 75; ++i) w.dlg.OnTimer(app::TimerTtff);
  EXPECT_EQ(w.dlg.ItemText(ids::kTtff), "TTFF   00:01:15");
}

class LivePort : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rx.Ok());
    w.dlg.portName = rx.Device();
    w.Click(ids::kOpenClose);
    ASSERT_EQ(w.dlg.activeSource, app::SourceSerial) << w.dlg.ItemText(ids::kStatus);
  }
  uitest::Receiver rx;
  Window w;
};

TEST_F(LivePort, OpenShowsStatusEnablesCommandsAndCloses) {
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), rx.Device() + " open OK!\r\n");
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "CLOSE");
  EXPECT_TRUE(w.dlg.Control(ids::kHotStart)->isEnabled());
  EXPECT_TRUE(w.dlg.Control(ids::kSetBaud)->isEnabled());
  EXPECT_FALSE(w.dlg.Control(ids::kPvlx300)->isEnabled());
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), rx.Device() + " closed!\r\n");
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
  EXPECT_TRUE(w.dlg.Control(ids::kExitIsp)->isEnabled());
}

TEST_F(LivePort, SentenceSplitOverTwoArrivalsIsShownAndInterpretedOnce) {
  const std::string gga = "$GPGGA,235959.50,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47";
  rx.Send(gga.substr(0, 20));
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.IsTimerRunning(app::TimerConsoleFlush); }, 5000));
  rx.Send(gga.substr(20) + "\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kUtc) == "UTC = 23:59:59"; }, 5000));
  EXPECT_EQ(w.Console(), gga + "\n");
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerConsoleFlush));
}

TEST_F(LivePort, UnfinishedLineIsShownByTheFlush) {
  rx.Send("$GPRMC,1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.IsTimerRunning(app::TimerConsoleFlush); }, 5000));
  w.dlg.OnTimer(app::TimerConsoleFlush);
  EXPECT_EQ(w.Console(), "$GPRMC,1");
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerConsoleFlush));
  rx.Send(",,,,,,10.0,77\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kCourse) == "77"; }, 5000));
  EXPECT_EQ(w.Console(), "$GPRMC,1,,,,,,10.0,77\n");
}

TEST_F(LivePort, QuickCommandsOnTheWire) {
  w.Click(ids::kHotStart);
  EXPECT_EQ(rx.Receive(18), "$PVLRX111,HOT*0E\r\n");
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "TTFF Hot Start");
  EXPECT_EQ(w.dlg.ItemText(ids::kTtff), "TTFF  0 seconds");
  EXPECT_TRUE(w.dlg.IsTimerRunning(app::TimerTtff));

  w.dlg.ttffRunning = 0;
  w.Click(ids::kVersionQuery);
  EXPECT_EQ(rx.Receive(14), "$PVLRX600*76\r\n");
  EXPECT_EQ(w.dlg.ttffRunning, 0);  // only the reply restarts the count
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Get Version");

  const auto started = std::chrono::steady_clock::now();
  w.Click(ids::kEnterIsp);
  // The two pauses of the handshake (200 ms and 100 ms) happen inside the click.
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
  const std::string isp = rx.Receive(23);
  EXPECT_EQ(isp.substr(0, 10), "$PVLRX601,");
  EXPECT_EQ(isp.substr(10), "9600*54\r\nVLRN");
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Enter ISP Mode");

  w.Click(ids::kExitIsp);
  EXPECT_EQ(rx.Receive(7), "ABORT\r\n");
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Exit ISP Mode");
}

TEST_F(LivePort, RecordingThroughThePortReachesTheDisplay) {
  std::ifstream in(std::string(GPSDESK_TEST_DATA) + "/nmea/gpsd-haicom-305N.nmea", std::ios::binary);
  std::string line, bytes, last;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    bytes += line + "\r\n";
    last = line;
  }
  // In pieces, as a receiver's bursts arrive.
  for (std::size_t at = 0; at < bytes.size(); at += 700) rx.Send(bytes.substr(at, 700));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        const std::string shown = w.Console();
        return shown.size() >= last.size() + 1 &&
               shown.compare(shown.size() - last.size() - 1, last.size(), last) == 0;
      },
      10000));
  EXPECT_EQ(w.dlg.ItemText(ids::kSvsInView), "SVs in view : 12");
  EXPECT_EQ(w.dlg.ItemText(ids::kFix), "Fix : 3D");
  EXPECT_EQ(w.dlg.ItemText(ids::kLatitudeDeg), "S027");
  EXPECT_EQ(w.dlg.ItemText(ids::kLongitudeDeg), "E153");
}

TEST_F(LivePort, UnpluggedDeviceNeitherSpinsNorHangsAndOpenWorksAgain) {
  rx.Send("$GPRMC,1");  // an unfinished line is pending when the device goes
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.IsTimerRunning(app::TimerConsoleFlush); }, 5000));
  rx.Unplug();
  // Let the hang-up reach the window, then check the process is not busy.
  QTest::qWait(100);
  const std::clock_t before = std::clock();
  QTest::qWait(300);
  EXPECT_LT(std::clock() - before, CLOCKS_PER_SEC / 10);  // well under a third of a core
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_EQ(w.Console(), "$GPRMC,1");  // flushed at close, nothing lost
  uitest::Receiver replugged;
  ASSERT_TRUE(replugged.Ok());
  w.dlg.portName = replugged.Device();
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.activeSource, app::SourceSerial);
  replugged.Send(",,,,,,1.0,12\r\n$GPRMC,,,,,,,2.0,13\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kCourse) == "13"; }, 5000));
}

TEST_F(LivePort, SwitchingBetweenPortAndFile) {
  const std::string path = TempPath("switch.nmea");
  std::ofstream(path, std::ios::binary) << "$GPGGA,1\r\n";
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(path);
  w.Click(ids::kNmeaFile);  // the port closes and the replay starts at once
  EXPECT_EQ(w.dlg.activeSource, app::SourceFile);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Replay NMEA File");
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
  EXPECT_TRUE(w.dlg.IsTimerRunning(app::TimerReplay));

  // OK in the port dialog while replaying: the replay closes, the port opens.
  uitest::ModalSeen seen = uitest::AnswerModal([&] { w.Click(ids::kComSetup); }, 1);
  EXPECT_TRUE(seen.opened);
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerReplay));
  EXPECT_EQ(w.dlg.selectedSource, app::SourceSerial);
  const std::string status = w.dlg.ItemText(ids::kStatus);
  EXPECT_EQ(status.rfind(w.dlg.portName + " open ", 0), 0u) << status;
  std::remove(path.c_str());
}

TEST(Port, FailedOpenSaysErrAndWhy) {
  Window w;
  w.dlg.portName = "/nonexistent/ttyUSB9";
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "/nonexistent/ttyUSB9 open ERR!");
  EXPECT_FALSE(w.dlg.Control(ids::kStatus)->toolTip().isEmpty());
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "OPEN");
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
  // Exit ISP with no port: status only, nothing sent.
  w.Click(ids::kExitIsp);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Exit ISP Mode");
}

TEST(Port, SetupDialogOnlySelectsWhileClosed) {
  Window w;
  uitest::ModalSeen seen = uitest::AnswerModal(
      [&] {
        // Choose COM3 at 4800 inside the dialog's own loop, then OK.
        QTimer::singleShot(0, [] {
          auto* dlg = qobject_cast<platform::CDialog*>(QApplication::activeModalWidget());
          if (!dlg) return;
          dlg->ControlAs<QComboBox>(ids::kSetupComPort)->setCurrentIndex(2);
          dlg->ControlAs<QComboBox>(ids::kSetupBaudRate)->setCurrentIndex(2);
        });
        w.Click(ids::kComSetup);
      },
      1);
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(seen.title.toStdString(), "Setup COM Port");
  EXPECT_EQ(w.dlg.portName, "COM3");
  EXPECT_EQ(w.dlg.baudRate, 4800);
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM3 4800bps");
  EXPECT_FALSE(w.dlg.Control(ids::kSourceLabel)->isEnabled());
  EXPECT_EQ(w.dlg.sourceOpen, 0);
}

}  // namespace
