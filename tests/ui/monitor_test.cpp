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
#include <QTemporaryDir>
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
#include <vector>

#include "app/main_dlg.h"
#include "modal_answer.h"
#include "platform/prompts.h"
#include "pty_receiver.h"
#include "resources/main_ids.h"
#include "resources/setup_com_ids.h"
#include "serial/port_names.h"

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
  w.dlg.AppendConsole(lines);           // 200 lines counted: the empty one after the last CR LF
  w.dlg.AppendConsole("line 200\r\n");  // taken without trimming
  auto* doc = w.dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->document();
  EXPECT_EQ(doc->blockCount(), 201);
  EXPECT_EQ(doc->firstBlock().text().toStdString(), "line 1");
  w.dlg.AppendConsole("new");  // 201 counted: the oldest 20 go first
  EXPECT_EQ(doc->firstBlock().text().toStdString(), "line 21");
  EXPECT_EQ(doc->lastBlock().text().toStdString(), "new");
  EXPECT_EQ(doc->blockCount(), 181);
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

// The console's text each time it changed, and when.
struct ConsoleChanges {
  explicit ConsoleChanges(QPlainTextEdit* console) {
    QObject::connect(console, &QPlainTextEdit::textChanged, console, [this, console] {
      seen.push_back({std::chrono::steady_clock::now(), console->toPlainText().toStdString()});
    });
  }
  struct Change {
    std::chrono::steady_clock::time_point at;
    std::string text;
  };
  std::vector<Change> seen;
};

TEST(Replay, RealTimerPacesOneGroupPerTickAndTakesASpeedChangeAtTheNextTick) {
  std::string file = "$GPTXT,01,01,01,before the first fix\r\n";
  std::vector<std::string> groups;
  for (int i = 1; i <= 6; ++i) {
    const std::string time = "12000" + std::to_string(i);
    groups.push_back("$GPGGA," + time + ",4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47\n$GPRMC," + time +
                     ",A,4916.45,N,12311.12,W,022.4,084.4,230394,003.1,W*6A\n");
    file += "$GPGGA," + time + ",4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47\r\n$GPRMC," + time +
            ",A,4916.45,N,12311.12,W,022.4,084.4,230394,003.1,W*6A\r\n";
  }
  const std::string path = TempPath("paced.nmea");
  std::ofstream(path, std::ios::binary) << file;
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(path);
  w.Click(ids::kNmeaFile);
  auto* speeds = w.dlg.ControlAs<QComboBox>(ids::kReplaySpeed);
  speeds->setCurrentIndex(7);  // "X20": 50 ms
  ConsoleChanges changes(w.dlg.ControlAs<QPlainTextEdit>(ids::kConsole));
  const auto opened = std::chrono::steady_clock::now();
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.TimerPeriod(app::TimerReplay), 50);

  // Three ticks at 50 ms: the lines before the first GGA, then groups 1 and 2.
  ASSERT_TRUE(QTest::qWaitFor([&] { return changes.seen.size() == 3; }, 5000));
  speeds->setCurrentIndex(3);  // "X4": 250 ms, from the next tick on
  EXPECT_EQ(w.dlg.replayInterval, 250);
  EXPECT_EQ(w.dlg.TimerPeriod(app::TimerReplay), 50);
  ASSERT_TRUE(QTest::qWaitFor([&] { return changes.seen.size() == 4; }, 5000));
  EXPECT_EQ(w.dlg.TimerPeriod(app::TimerReplay), 250);
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.sourceOpen == 0; }, 10000));
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "NMEA File Closed");

  // One group per tick, in order, the last one at the end of the file.
  ASSERT_EQ(changes.seen.size(), 7u);
  std::string expected = "$GPTXT,01,01,01,before the first fix\n";
  EXPECT_EQ(changes.seen[0].text, expected);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    expected += groups[i];
    EXPECT_EQ(changes.seen[i + 1].text, expected) << i;
  }
  // Lower bounds only (a coarse timer may fire up to 5 % early): 50 ms per
  // tick before the change, 250 ms after the tick that took it.
  using std::chrono::milliseconds;
  EXPECT_GE(changes.seen[0].at - opened, milliseconds(45));
  for (std::size_t i = 1; i < changes.seen.size(); ++i) {
    const milliseconds least(i <= 3 ? 45 : 235);
    EXPECT_GE(changes.seen[i].at - changes.seen[i - 1].at, least) << i;
  }
  std::remove(path.c_str());
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

  w.Click(ids::kExitIsp);
  EXPECT_EQ(rx.Receive(7), "ABORT\r\n");
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Exit ISP Mode");

  struct Command {
    int button;
    const char* wire;
    const char* status;
    bool restartsTtff;
  };
  for (const Command& c : {Command{ids::kFactory, "$PVLRX111,FACTORY*09\r\n", "Factory Reset", true},
                           Command{ids::kWarmStart, "$PVLRX111,WARM*54\r\n", "TTFF Warm Start", true},
                           Command{ids::kSettingsQuery, "$PVLRX603*75\r\n", "Get Setting Report", false}}) {
    w.dlg.ttffRunning = 0;
    w.dlg.ttffSeconds = 7;
    w.Click(c.button);
    EXPECT_EQ(rx.Receive(std::string(c.wire).size()), c.wire);
    EXPECT_EQ(w.dlg.ItemText(ids::kStatus), c.status);
    EXPECT_EQ(w.dlg.ttffRunning, c.restartsTtff ? 1 : 0) << c.status;
    EXPECT_EQ(w.dlg.ttffSeconds, c.restartsTtff ? 0u : 7u) << c.status;
  }
}

TEST_F(LivePort, IspHandshakeKeepsItsPausesOnTheWire) {
  // Read on a thread of its own: the click blocks this one for the pauses.
  const std::vector<uitest::Receiver::Piece> pieces =
      rx.Record([&] { w.Click(ids::kEnterIsp); }, std::chrono::milliseconds(300));
  std::string wire;
  std::vector<std::chrono::steady_clock::time_point> at;  // arrival of each byte
  for (const auto& piece : pieces) {
    wire += piece.bytes;
    at.insert(at.end(), piece.bytes.size(), piece.at);
  }
  // The rate in the sentence is 9600 whatever the port runs at; nothing
  // follows "RN".
  ASSERT_EQ(wire, "$PVLRX601,9600*54\r\nVLRN");
  const std::size_t vl = wire.find("\r\n") + 2;
  const std::size_t rn = vl + 2;
  // Lower bounds only, less 30 ms for a reader thread scheduled late.
  using std::chrono::milliseconds;
  EXPECT_GE(at[vl] - at[vl - 1], milliseconds(170));
  EXPECT_GE(at[rn] - at[rn - 1], milliseconds(70));
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Enter ISP Mode");
}

TEST_F(LivePort, TwoDimensionalFixEndsTheTtffCount) {
  w.Click(ids::kColdStart);
  ASSERT_TRUE(w.dlg.IsTimerRunning(app::TimerTtff));
  w.dlg.OnTimer(app::TimerTtff);
  rx.Send("$GPGSA,A,1,,,,,,,,,,,,,,,*1E\r\n");  // no fix yet: the count goes on
  rx.Send("$GPGSA,A,2,04,05,09,,,,,,,,,,3.1,2.2,2.2*33\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kFix) == "Fix : 2D"; }, 5000));
  EXPECT_EQ(w.dlg.ttffRunning, 0);
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerTtff));
  EXPECT_EQ(w.dlg.ItemText(ids::kTtff), "TTFF  1 seconds");
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
  // The window closes the port itself, then the process is not busy.
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kStatus) == rx.Device() + " device removed"; }, 5000));
  const std::clock_t before = std::clock();
  QTest::qWait(300);
  EXPECT_LT(std::clock() - before, CLOCKS_PER_SEC / 10);  // well under a third of a core
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerConsoleFlush));
  EXPECT_EQ(w.Console(), "$GPRMC,1\n");  // shown and ended, nothing lost
  uitest::Receiver replugged;
  ASSERT_TRUE(replugged.Ok());
  w.dlg.portName = replugged.Device();
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.activeSource, app::SourceSerial);
  // The rest of a line never comes: joined to the broken one, this would
  // make an RMC with course 12.
  replugged.Send(",,,,,,1.0,12\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.Console() == "$GPRMC,1\n,,,,,,1.0,12\n"; }, 5000));
  EXPECT_NE(w.dlg.ItemText(ids::kCourse), "12");
  replugged.Send("$GPRMC,,,,,,,2.0,13\r\n");
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

// Selects port `row` and rate `rateRow` in the Setup COM Port dialog and
// presses OK.
uitest::ModalSeen ChoosePort(Window& w, int row, int rateRow) {
  return uitest::AnswerModal(
      [&] {
        QTimer::singleShot(0, [=] {
          auto* dlg = qobject_cast<platform::CDialog*>(QApplication::activeModalWidget());
          if (!dlg) return;
          dlg->ControlAs<QComboBox>(ids::kSetupComPort)->setCurrentIndex(row);
          dlg->ControlAs<QComboBox>(ids::kSetupBaudRate)->setCurrentIndex(rateRow);
        });
        w.Click(ids::kComSetup);
      },
      1);
}

// Points the per-user port links at a folder of the test's own while it
// lives.
class OwnPortLinks {
 public:
  OwnPortLinks() : old_(qgetenv("XDG_RUNTIME_DIR")) {
    qputenv("XDG_RUNTIME_DIR", folder_.path().toLocal8Bit());
  }
  ~OwnPortLinks() {
    if (old_.isNull()) {
      qunsetenv("XDG_RUNTIME_DIR");
    } else {
      qputenv("XDG_RUNTIME_DIR", old_);
    }
  }
  bool Publish(const char* com, const std::string& device) {
    return folder_.isValid() && serial::PublishPortLink(serial::DefaultPortLocations(), com, device) == 0;
  }

 private:
  QTemporaryDir folder_;
  QByteArray old_;
};

TEST_F(LivePort, SetupOkWhileOpenReopensOnTheNewPortAndRate) {
  OwnPortLinks links;
  uitest::Receiver other;
  ASSERT_TRUE(other.Ok());
  ASSERT_TRUE(links.Publish("COM3", other.Device()));
  ASSERT_TRUE(links.Publish("COM15", "/nonexistent/ttyUSB9"));

  EXPECT_TRUE(ChoosePort(w, 2, 2).opened);  // COM3, 4800
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "COM3 open OK!\r\n");
  EXPECT_EQ(w.dlg.activeSource, app::SourceSerial);
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM3 4800bps");
  EXPECT_TRUE(w.dlg.Control(ids::kSourceLabel)->isEnabled());
  EXPECT_EQ(other.Speed(), static_cast<speed_t>(B4800));
  w.Click(ids::kVersionQuery);
  EXPECT_EQ(other.Receive(14), "$PVLRX600*76\r\n");
  EXPECT_EQ(rx.Pending(), "");  // the first port is closed
  other.Send("$GPRMC,,,,,,,1.0,21\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kCourse) == "21"; }, 5000));

  // A port that cannot be opened: the open one closes, the status says so.
  EXPECT_TRUE(ChoosePort(w, 14, 8).opened);  // COM15, 115200
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "COM15 open ERR!");
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM15 115200bps");
  EXPECT_FALSE(w.dlg.Control(ids::kSourceLabel)->isEnabled());
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
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
  const uitest::ModalSeen seen = ChoosePort(w, 2, 2);  // COM3 at 4800
  EXPECT_TRUE(seen.opened);
  EXPECT_EQ(seen.title.toStdString(), "Setup COM Port");
  EXPECT_EQ(w.dlg.portName, "COM3");
  EXPECT_EQ(w.dlg.baudRate, 4800);
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM3 4800bps");
  EXPECT_FALSE(w.dlg.Control(ids::kSourceLabel)->isEnabled());
  EXPECT_EQ(w.dlg.sourceOpen, 0);
}

}  // namespace
