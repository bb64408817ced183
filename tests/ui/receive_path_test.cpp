// The main window's receive path under the conditions that broke it before:
// something inside it that runs an event loop while the port and the timers
// go on, and more lines in one go than the console keeps.

#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "platform/prompts.h"
#include "platform/qt_window_messages.h"
#include "pty_receiver.h"
#include "resources/main_ids.h"

namespace {

// Lines of the console that hold text or have ended; the empty block after a
// final line end is not one.
int ContentLines(const QTextDocument* doc) {
  return doc->blockCount() - (doc->lastBlock().text().isEmpty() ? 1 : 0);
}

using app::CMainDlg;
using std::chrono::milliseconds;

std::string TempPath(const char* name) { return QDir::tempPath().toStdString() + "/gpsdesk-rx-" + name; }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The text as the console shows it: each CR LF one line end.
std::string Shown(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

// `count` groups as a receiver sends them once a second: GGA, GSA, RMC.
std::string Groups(int count) {
  std::string file;
  for (int i = 1; i <= count; ++i) {
    char time[16];
    std::snprintf(time, sizeof time, "1200%02d", i);
    file += std::string("$GPGGA,") + time + ",4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47\r\n" +
            "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*35\r\n" + "$GPRMC," + time +
            ",A,4916.45,N,12311.12,W,022.4,084.4,230394,003.1,W*6A\r\n";
  }
  return file;
}

// Prompts that behave as the desktop's do: a message box runs its own event
// loop, in which timers fire and port notifications are delivered, until the
// user dismisses it (here after `dwell`).
class EventLoopPrompts final : public platform::CPrompts {
 public:
  explicit EventLoopPrompts(milliseconds dwell) : dwell_(dwell) {}
  std::deque<std::string> files;
  std::vector<std::string> messages;
  int showing = 0;  // message boxes open right now

  std::optional<std::string> OpenFileName(QWidget*, const platform::FileDialogOptions&) override {
    return NextFile();
  }
  std::optional<std::string> SaveFileName(QWidget*, const platform::FileDialogOptions&) override {
    return NextFile();
  }
  bool AskYesNo(QWidget*, std::string_view) override { return true; }
  void ShowMessage(QWidget*, std::string_view text) override {
    messages.emplace_back(text);
    ++showing;
    QEventLoop loop;
    QTimer::singleShot(dwell_, &loop, &QEventLoop::quit);
    loop.exec();
    --showing;
  }

 private:
  std::optional<std::string> NextFile() {
    if (files.empty()) return std::nullopt;
    std::string next = files.front();
    files.pop_front();
    return next;
  }
  milliseconds dwell_;
};

struct Window {
  Window() { dlg.show(); }
  QPlainTextEdit* Console() const { return dlg.ControlAs<QPlainTextEdit>(ids::kConsole); }
  std::string Text() const { return Console()->toPlainText().toStdString(); }
  void Click(int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
  void Speed(int index) { dlg.ControlAs<QComboBox>(ids::kReplaySpeed)->setCurrentIndex(index); }
  CMainDlg dlg;
};

constexpr int kX60 = 9;

// A failed log write during a replay paced by the real timer: its message
// box runs while the replay goes on, and the replay still plays each group
// exactly once and in order, and closes for good at the end of the file.
TEST(ReceivePath, LogFailureMessageDuringReplayNeitherRepeatsNorReordersGroups) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  struct Case {
    const char* name;
    std::string file;
  };
  std::string noGga;  // the whole file goes out with the first tick, at its end
  for (int i = 0; i < 6; ++i) noGga += "$GPRMC,12000" + std::to_string(i) + ",A,,,,,,77.0\r\n";
  for (const Case& c : {Case{"groups", Groups(12)}, Case{"no-gga", noGga}}) {
    SCOPED_TRACE(c.name);
    const std::string path = TempPath(c.name);
    WriteFile(path, c.file);
    Window w;
    EventLoopPrompts prompts(milliseconds(300));
    platform::CPromptsOverride use(prompts);
    prompts.files = {path, "/dev/full"};
    w.Click(ids::kNmeaFile);  // selected; nothing opens yet
    w.Speed(kX60);
    w.Click(ids::kStartStopLog);  // every write to it fails
    ASSERT_EQ(w.dlg.logging, 1);
    w.Click(ids::kOpenClose);
    ASSERT_EQ(w.dlg.activeSource, app::SourceFile);

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return prompts.messages.size() == 1 && prompts.showing == 0 && w.dlg.sourceOpen == 0; },
        10000));
    QTest::qWait(100);  // a few more tick periods: the replay stays closed
    EXPECT_EQ(w.dlg.activeSource, app::SourceNone);
    EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerReplay));
    EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "NMEA File Closed");
    EXPECT_EQ(w.Text(), Shown(c.file));
    EXPECT_EQ(w.dlg.logging, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind("/dev/full\nLog write failed: ", 0), 0u) << prompts.messages[0];
    if (c.file != noGga) {
      EXPECT_EQ(w.dlg.ItemText(ids::kUtc), "UTC = 12:00:12");
    }
    std::remove(path.c_str());
  }
}

// Anything inside the receive path that runs an event loop: here the
// console's change notice, standing for any such code. What arrives
// meanwhile neither runs inside it nor gets lost.
class NestedLoopInConsole {
 public:
  NestedLoopInConsole(QPlainTextEdit* console, std::function<void()> inside) : inside_(std::move(inside)) {
    QObject::connect(console, &QPlainTextEdit::textChanged, console, [this] {
      ++depth_;
      deepest_ = std::max(deepest_, depth_);
      if (armed_) {
        armed_ = false;
        inside_();
      }
      --depth_;
    });
  }
  void Arm() { armed_ = true; }
  bool Ran() const { return !armed_; }
  int Deepest() const { return deepest_; }

 private:
  std::function<void()> inside_;
  bool armed_ = false;
  int depth_ = 0;
  int deepest_ = 0;
};

// Notes port notifications on their way to the window.
class NotificationSpy : public QObject {
 public:
  bool seen = false;
  bool eventFilter(QObject*, QEvent* e) override {
    if (platform::AsWindowMessage(e) != nullptr) seen = true;
    return false;
  }
};

TEST(ReceivePath, PortNotificationDuringANestedLoopDrainsThePortAfterwards) {
  uitest::Receiver rx;
  ASSERT_TRUE(rx.Ok());
  Window w;
  w.dlg.portName = rx.Device();
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceSerial);
  NotificationSpy spy;
  w.dlg.installEventFilter(&spy);

  const std::string first = "$GPGGA,101010,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
  const std::string second = "$GPGGA,202020,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
  NestedLoopInConsole nested(w.Console(), [&] {
    // The receiver sends more while the first lines are still being shown;
    // its notification comes within this loop.
    spy.seen = false;
    rx.Send(second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return spy.seen; }, 5000));
    QTest::qWait(50);
  });
  nested.Arm();
  rx.Send(first);
  // No further notification comes for the second line: only the deferred
  // one can bring it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kUtc) == "UTC = 20:20:20"; }, 5000))
      << w.Text();
  EXPECT_TRUE(nested.Ran());
  EXPECT_EQ(nested.Deepest(), 1);
  EXPECT_EQ(w.Text(), Shown(first + second));
  w.dlg.removeEventFilter(&spy);
}

TEST(ReceivePath, ReplayTicksDuringANestedLoopAreTakenLater) {
  const std::string path = TempPath("nested.nmea");
  const std::string file = Groups(12);
  WriteFile(path, file);
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(path);
  w.Click(ids::kNmeaFile);
  w.Speed(kX60);
  // Ten tick periods inside the console's change notice of the first group.
  NestedLoopInConsole nested(w.Console(), [] { QTest::qWait(160); });
  nested.Arm();
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.sourceOpen == 0; }, 10000));
  EXPECT_TRUE(nested.Ran());
  EXPECT_EQ(nested.Deepest(), 1);
  EXPECT_EQ(w.Text(), Shown(file));
  EXPECT_EQ(w.dlg.ItemText(ids::kUtc), "UTC = 12:00:12");
  std::remove(path.c_str());
}

std::string Numbered(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "line " + std::to_string(i) + "\r\n";
  return s;
}

TEST(ConsoleBound, BurstsThroughThePortNeverLeaveMoreThanTwoHundredLines) {
  uitest::Receiver rx;
  ASSERT_TRUE(rx.Ok());
  Window w;
  w.dlg.portName = rx.Device();
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceSerial);
  QTextDocument* doc = w.Console()->document();
  for (int burst = 0; burst < 30; ++burst) {
    const int last = (burst + 1) * 40;
    rx.Send(Numbered(burst * 40 + 1, last));
    const std::string tail = "line " + std::to_string(last) + "\n";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          const std::string text = w.Text();
          return text.size() >= tail.size() &&
                 text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
        },
        5000))
        << "burst " << burst;
    EXPECT_LE(ContentLines(doc), 200) << "burst " << burst;
  }
  // 1200 lines, less a multiple of 20, within 200: lines 1001 to 1200.
  EXPECT_EQ(w.Text(), Shown(Numbered(1001, 1200)));
}

TEST(ConsoleBound, ReplayWithoutGpggaNeverLeavesMoreThanTwoHundredLines) {
  // A receiver that reports as GNSS ($GNGGA), ten times over: 30 lines a tick.
  const std::string recording = Slurp(std::string(GPSDESK_TEST_DATA) + "/nmea/gpsd-neo-m8n.nmea");
  ASSERT_FALSE(recording.empty());
  ASSERT_EQ(recording.find("$GPGGA"), std::string::npos);
  std::string file;
  for (int i = 0; i < 10; ++i) file += recording;
  const std::string path = TempPath("gn-only.nmea");
  WriteFile(path, file);
  Window w;
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(path);
  w.Click(ids::kNmeaFile);
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceFile);
  QTextDocument* doc = w.Console()->document();
  int ticks = 0;
  while (w.dlg.sourceOpen == 1 && ticks < 1000) {
    w.dlg.ReplayTick();
    ++ticks;
    ASSERT_LE(ContentLines(doc), 200) << "tick " << ticks;
  }
  EXPECT_EQ(ticks, 98);  // 2930 lines, 30 a tick
  // The newest lines in full: 2930, less 2740.
  const std::string shown = Shown(file);
  std::size_t at = shown.size() - 1;
  for (int line = 0; line < 190; ++line) at = shown.rfind('\n', at - 1);
  EXPECT_EQ(w.Text(), shown.substr(at + 1));
  std::remove(path.c_str());
}

TEST(ConsoleBound, CharacterCapHoldsForFewLongLines) {
  Window w;
  constexpr qsizetype kCap = 1024 * 1024;
  for (char c : {'a', 'b', 'c'}) {
    w.dlg.AppendConsole(std::string(700 * 1024, c));  // one line that never ends
    EXPECT_LE(w.Console()->toPlainText().size(), kCap);
  }
  for (char c : {'d', 'e', 'f'}) {
    w.dlg.AppendConsole(std::string(700 * 1024, c) + "\r\n");
    EXPECT_LE(w.Console()->toPlainText().size(), kCap);
  }
  // The last long line keeps its newest half of the cap.
  const std::string text = w.Text();
  EXPECT_EQ(text.size(), static_cast<std::size_t>(kCap / 2));
  EXPECT_TRUE(text == std::string(kCap / 2 - 1, 'f') + "\n");
}

}  // namespace
