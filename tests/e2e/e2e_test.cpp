// The real main window against the receiver simulator: live data, a restart
// and its time to first fix, the version query, a log compared byte for byte
// with what the simulator sent, and the device vanishing while open and
// coming back.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "app/settings_store.h"
#include "app/port_follower.h"
#include "dialogs/config_dlg.h"
#include "nmea/sentence.h"
#include "platform/prompts.h"
#include "resources/main_ids.h"
#include "resources/nmea_output_ids.h"
#include "resources/uart_ids.h"
#include "serial/port_names.h"

extern char** environ;

namespace {

using app::CMainDlg;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// gpsdesk-sim as a child process, publishing COM9.
class Simulator {
 public:
  explicit Simulator(std::vector<std::string> extra) {
    log_ = QDir::tempPath().toStdString() + "/gpsdesk-e2e-sim-" + std::to_string(getpid()) + ".log";
    std::vector<std::string> args{GPSDESK_SIM, "--com", "9",     "--ttff-scale", "0.04",
                                  "--lat",     "25.05", "--lon", "121.5"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 2, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
  }
  ~Simulator() {
    Stop(SIGTERM);
    std::remove(log_.c_str());
  }
  // Waits until COM9 leads to the simulator's terminal.
  bool Published() {
    return pid_ > 0 && QTest::qWaitFor(
                           [] {
                             std::string device;
                             return serial::ResolvePortName("COM9", device) == 0;
                           },
                           10000);
  }
  void Stop(int signal) {
    if (pid_ <= 0) return;
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  std::string Log() const { return Slurp(log_); }

 private:
  pid_t pid_ = -1;
  std::string log_;
};

struct Window {
  Window(int baud) {
    dlg.show();
    dlg.portName = "COM9";
    dlg.baudRate = baud;
  }
  void Click(int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
  std::string Console() const {
    return dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->toPlainText().toStdString();
  }
  bool WaitFor(const std::function<bool()>& done, int ms = 20000) { return QTest::qWaitFor(done, ms); }
  bool Shows(int id, const std::string& text) {
    return WaitFor([&] { return dlg.ItemText(id) == text; });
  }
  CMainDlg dlg;
};

TEST(EndToEnd, LiveDataReachesConsoleAndDisplay) {
  Simulator sim({});
  ASSERT_TRUE(sim.Published()) << sim.Log();
  Window w(9600);
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.ItemText(ids::kStatus), "COM9 open OK!\r\n");
  EXPECT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  EXPECT_TRUE(w.Shows(ids::kLatitudeDeg, "N025"));
  EXPECT_TRUE(w.Shows(ids::kLongitudeDeg, "E121"));
  EXPECT_TRUE(w.WaitFor([&] { return w.dlg.ItemText(ids::kSvsInView) != "SVs in view : 0"; }));
  EXPECT_NE(w.Console().find("$GPGGA,"), std::string::npos);
  EXPECT_NE(w.Console().find("$GPRMC,"), std::string::npos);
}

TEST(EndToEnd, ColdStartCountsUntilTheFirstFix) {
  Simulator sim({});
  ASSERT_TRUE(sim.Published());
  Window w(9600);
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  w.Click(ids::kColdStart);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "TTFF Cold Start");
  EXPECT_EQ(w.dlg.ttffRunning, 1);
  EXPECT_TRUE(w.Shows(ids::kFix, "Fix : not available"));  // the receiver lost its fix
  ASSERT_TRUE(w.WaitFor([&] { return w.dlg.ttffRunning == 0; }));
  EXPECT_FALSE(w.dlg.IsTimerRunning(app::TimerTtff));
  const std::string fix = w.dlg.ItemText(ids::kFix);
  EXPECT_TRUE(fix == "Fix : 2D" || fix == "Fix : 3D") << fix;
  // A cold start at this scale takes about two seconds to a fix.
  const std::string ttff = w.dlg.ItemText(ids::kTtff);
  EXPECT_NE(ttff, "TTFF  0 seconds");
  const std::string stopped = ttff;
  QTest::qWait(1500);  // the count stays where the fix stopped it
  EXPECT_EQ(w.dlg.ItemText(ids::kTtff), stopped);
}

TEST(EndToEnd, VersionQueryShowsTheVersionAndRestartsTheCount) {
  Simulator sim({});
  ASSERT_TRUE(sim.Published());
  Window w(9600);
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  w.dlg.SetItemText(ids::kTtff, "before");
  w.Click(ids::kVersionQuery);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "Get Version");
  ASSERT_TRUE(w.WaitFor([&] { return w.dlg.ItemText(ids::kVersion).rfind("gpsdesk-sim", 0) == 0; }));
  EXPECT_EQ(w.dlg.ItemText(ids::kTtff).rfind("TTFF  ", 0), 0u);  // restarted by the reply
}

TEST(EndToEnd, LogHoldsExactlyWhatTheReceiverSent) {
  const std::string record = QDir::tempPath().toStdString() + "/gpsdesk-e2e-record.nmea";
  const std::string log = QDir::tempPath().toStdString() + "/gpsdesk-e2e-log.txt";
  std::remove(log.c_str());
  // Twenty epochs a second at 115200 bit/s: a minute of receiver output in three seconds.
  Simulator sim({"--baud", "115200", "--rate", "20", "--record", record});
  ASSERT_TRUE(sim.Published());
  Window w(115200);
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(log);
  w.Click(ids::kStartStopLog);
  ASSERT_EQ(w.dlg.logging, 1);
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.dlg.activeSource, app::SourceSerial);
  // Sixty epochs of the default output are some 26 KB.
  ASSERT_TRUE(w.WaitFor([&] { return QFileInfo(QString::fromStdString(log)).size() > 26000; }, 30000));
  w.Click(ids::kOpenClose);  // a pending partial line is flushed into the log
  w.Click(ids::kStartStopLog);
  sim.Stop(SIGTERM);

  const std::string logged = Slurp(log);
  const std::string sent = Slurp(record);
  ASSERT_GT(logged.size(), 26000u);
  // The tool purges what waited before it opened, so the log starts inside
  // the recording; from there on not one byte differs.
  const std::size_t at = sent.find(logged.substr(0, 200));
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(sent.compare(at, logged.size(), logged), 0);
  std::remove(log.c_str());
  std::remove(record.c_str());
}

// Runs `script` on the configuration dialog that launcher `button` opens,
// inside the dialog's own modal loop; the dialog is closed after it.
void WithDialog(Window& w, int button, const std::function<void(dialogs::CConfigDlg&)>& script) {
  QTimer watcher;
  watcher.setInterval(0);
  bool seen = false;
  QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
    auto* dlg = qobject_cast<dialogs::CConfigDlg*>(QApplication::activeModalWidget());
    if (dlg == nullptr) return;
    watcher.stop();
    seen = true;
    script(*dlg);
    if (dlg->isVisible()) dlg->EndDialog(tmpl::kIdCancel);
  });
  watcher.start();
  w.Click(button);
  EXPECT_TRUE(seen);
}

// The console's last complete lines, newest last.
std::vector<std::string> LastLines(const std::string& console, std::size_t count) {
  std::vector<std::string> lines;
  std::size_t end = console.rfind('\n');
  while (end != std::string::npos && end > 0 && lines.size() < count) {
    const std::size_t start = console.rfind('\n', end - 1);
    lines.insert(lines.begin(), console.substr(start == std::string::npos ? 0 : start + 1,
                                               end - (start == std::string::npos ? 0 : start + 1)));
    end = start;
  }
  return lines;
}

// A received line that is a whole sentence with a correct checksum.
bool Clean(const std::string& line) {
  const std::size_t star = line.rfind('*');
  if (line.empty() || line[0] != '$' || star == std::string::npos || star + 3 != line.size()) return false;
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", nmea::ChecksumOf(line.substr(0, star)));
  return line.compare(star + 1, 2, hex) == 0;
}

TEST(EndToEnd, UartDialogMovesReceiverAndPortTo4800AndDataIsCleanAgain) {
  Simulator sim({});
  ASSERT_TRUE(sim.Published());
  Window w(9600);
  w.dlg.setWindowModality(Qt::ApplicationModal);  // as the program runs it
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  WithDialog(w, ids::kSetBaud, [&](dialogs::CConfigDlg& dlg) {
    dlg.ControlAs<QComboBox>(ids::uart::kBaud)->setCurrentIndex(2);  // 4800
    dlg.ControlAs<QAbstractButton>(ids::uart::kSend)->click();       // returns after the port followed
  });
  EXPECT_EQ(w.dlg.serial.GetBaudRate(), 4800);
  EXPECT_EQ(w.dlg.ItemText(ids::kSourceLabel), "COM9 4800bps");
  // Fresh sentences arrive and read cleanly at the new speed.
  const std::size_t before = w.Console().size();
  ASSERT_TRUE(w.WaitFor([&] {
    const std::string console = w.Console();
    if (console.size() <= before) return false;
    const auto lines = LastLines(console.substr(before), 4);
    return lines.size() == 4 && std::all_of(lines.begin(), lines.end(), Clean);
  }));
  EXPECT_NE(sim.Log().find("4800"), std::string::npos);
}

TEST(EndToEnd, NmeaRateDialogChangesWhatArrives) {
  Simulator sim({});
  ASSERT_TRUE(sim.Published());
  Window w(9600);
  w.dlg.setWindowModality(Qt::ApplicationModal);
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  WithDialog(w, ids::kSetNmea, [&](dialogs::CConfigDlg& dlg) {
    dlg.ControlAs<QAbstractButton>(ids::nmea_output::kMessageReset)->click();
    dlg.ControlAs<QAbstractButton>(ids::nmea_output::kFirstMessage + 0)->click();  // GGA
    dlg.ControlAs<QAbstractButton>(ids::nmea_output::kFirstMessage + 5)->click();  // VTG
    dlg.ControlAs<QAbstractButton>(ids::nmea_output::kSend)->click();
  });
  ASSERT_TRUE(w.WaitFor([&] { return w.Console().find("$GPVTG,") != std::string::npos; }));
  // From the first VTG on, two more epochs: GGA and VTG only.
  const std::size_t from = w.Console().find("$GPVTG,");
  ASSERT_TRUE(w.WaitFor([&] {
    const std::string after = w.Console().substr(from);
    return std::count(after.begin(), after.end(), '\n') >= 5;
  }));
  const std::string after = w.Console().substr(from);
  EXPECT_EQ(after.find("$GPGSV"), std::string::npos);
  EXPECT_EQ(after.find("$GPRMC"), std::string::npos);
  EXPECT_EQ(after.find("$GPGSA"), std::string::npos);
  EXPECT_NE(after.find("$GPGGA"), std::string::npos);
}

// The entry of COM9's published link; 0 while there is none. A simulator
// that was killed leaves its link behind, so a new one is told by this.
ino_t PublishedLink() {
  struct stat st {};
  return lstat((serial::DefaultLinkFolder() + "/COM9").c_str(), &st) == 0 ? st.st_ino : 0;
}

// Whether a new window follows the plug.
void FollowThePlug(bool on) {
  app::SettingsStore().WriteBool(app::kReconnectSetting, on);
}

TEST(EndToEnd, SimulatorVanishingWhileOpen) {
  FollowThePlug(false);
  Simulator sim({});
  ASSERT_TRUE(sim.Published());
  Window w(9600);
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));
  const ino_t link = PublishedLink();
  sim.Stop(SIGKILL);  // the device is gone, no goodbye
  ASSERT_TRUE(w.Shows(ids::kStatus, "COM9 device removed"));
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "OPEN");
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
  const std::clock_t before = std::clock();
  QTest::qWait(300);
  EXPECT_LT(std::clock() - before, CLOCKS_PER_SEC / 10);  // nothing spins

  // The simulator runs again under the same name: OPEN works again.
  Simulator again({});
  ASSERT_TRUE(w.WaitFor([&] { return PublishedLink() != 0 && PublishedLink() != link; }, 10000));
  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.dlg.ItemText(ids::kStatus), "COM9 open OK!\r\n");
  w.dlg.SetItemText(ids::kUtc, "before");
  EXPECT_TRUE(w.WaitFor([&] { return w.dlg.ItemText(ids::kUtc) != "before"; }));
}

TEST(EndToEnd, ReconnectsToTheSimulatorAndTheLogNotesTheGap) {
  const std::string stem = QDir::tempPath().toStdString() + "/gpsdesk-e2e-gap-" + std::to_string(getpid());
  const std::string first = stem + "-first.nmea", second = stem + "-second.nmea", log = stem + "-log.txt";
  std::remove(log.c_str());
  // Not the default rate: the simulator garbles what a tool reads at another.
  Simulator sim({"--baud", "4800", "--record", first});
  ASSERT_TRUE(sim.Published());
  FollowThePlug(false);
  Window w(4800);
  QAction* reconnect = nullptr;
  for (QMenu* menu : w.dlg.findChildren<QMenu*>()) {
    for (QAction* action : menu->actions()) {
      if (action->data().toUInt() == app::kReconnectCommand) reconnect = action;
    }
  }
  ASSERT_NE(reconnect, nullptr);
  reconnect->trigger();
  ASSERT_TRUE(reconnect->isChecked());
  platform::CScriptedPrompts prompts;
  platform::CPromptsOverride use(prompts);
  prompts.fileAnswers.push_back(log);
  w.Click(ids::kStartStopLog);
  ASSERT_EQ(w.dlg.logging, 1);
  w.Click(ids::kOpenClose);
  ASSERT_TRUE(w.Shows(ids::kFix, "Fix : 3D"));

  sim.Stop(SIGKILL);
  ASSERT_TRUE(w.Shows(ids::kStatus, "COM9 device removed"));
  Simulator again({"--baud", "4800", "--record", second});
  ASSERT_TRUE(w.Shows(ids::kStatus, "COM9 open OK!\r\n"));
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "CLOSE");
  EXPECT_TRUE(w.dlg.Control(ids::kHotStart)->isEnabled());
  // Data flows again: a few epochs from the second simulator.
  const std::string removedHead = "-- COM9 device removed at ";
  ASSERT_TRUE(w.WaitFor([&] {
    const std::string logged = Slurp(log);
    const std::size_t gap = logged.find(removedHead);
    return gap != std::string::npos && logged.find("$GPGGA,", gap) != std::string::npos &&
           logged.find("$GPRMC,", logged.find("$GPGGA,", gap)) != std::string::npos;
  }));
  w.Click(ids::kOpenClose);
  w.Click(ids::kStartStopLog);
  again.Stop(SIGTERM);

  // The log: what the first simulator sent (its broken-off line ended), the
  // two notes, what the second sent; not one byte more or less.
  const std::string logged = Slurp(log);
  const std::size_t gap = logged.find(removedHead);
  ASSERT_NE(gap, std::string::npos) << logged;
  const std::size_t afterNotes = logged.find("--\r\n", logged.find("--\r\n", gap) + 4) + 4;
  ASSERT_LT(afterNotes, logged.size());
  const std::string notes = logged.substr(gap, afterNotes - gap);
  EXPECT_TRUE(std::regex_match(notes, std::regex("-- COM9 device removed at [0-9]{2}:[0-9]{2}:[0-9]{2} --\r\n"
                                                 "-- COM9 reconnected at [0-9]{2}:[0-9]{2}:[0-9]{2} after "
                                                 "[0-9]+ s --\r\n")))
      << notes;
  const std::string before = logged.substr(0, gap);
  const std::string after = logged.substr(afterNotes);
  ASSERT_GT(before.size(), 100u);
  ASSERT_GT(after.size(), 100u);
  ASSERT_EQ(before.compare(before.size() - 2, 2, "\r\n"), 0);
  EXPECT_NE(Slurp(first).find(before.substr(0, before.size() - 2)), std::string::npos);
  EXPECT_NE(Slurp(second).find(after), std::string::npos);
  EXPECT_EQ(after.find("-- COM9"), std::string::npos);
  for (const std::string& path : {first, second, log}) std::remove(path.c_str());
}

}  // namespace
