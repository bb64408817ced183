// Following the plug in the main window, on pseudo-terminals published as
// COM names the way the simulator publishes its own: a receiver that goes
// away closes the port with "COMn device removed", OPEN works again, and
// with "Reconnect automatically" on the window opens the same name again
// once it is published anew, noting the gap in the log.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>

#include "app/main_dlg.h"
#include "app/port_follower.h"
#include "platform/prompts.h"
#include "pty_receiver.h"
#include "resources/main_ids.h"
#include "serial/port_names.h"

namespace {

// COM names published in a folder of the test's own while it lives.
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

struct Window {
  Window() { dlg.show(); }
  void Click(int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
  std::string Status() const { return dlg.ItemText(ids::kStatus); }
  std::string Console() const {
    return dlg.ControlAs<QPlainTextEdit>(ids::kConsole)->toPlainText().toStdString();
  }
  QAction* Reconnect() const {
    for (QMenu* menu : dlg.findChildren<QMenu*>()) {
      for (QAction* action : menu->actions()) {
        if (action->data().toUInt() == app::kReconnectCommand) return action;
      }
    }
    return nullptr;
  }
  bool Waiting() const {
    const auto* follower = dlg.findChild<app::CPortFollower*>();
    return follower != nullptr && follower->Waiting();
  }
  bool Shows(const std::string& status) {
    return QTest::qWaitFor([&] { return Status() == status; }, 10000);
  }
  app::CMainDlg dlg;
};

bool RememberedOn() {
  return QSettings(QStringLiteral("gpsdesk"), QStringLiteral("gpsdesk"))
      .value(app::kReconnectSetting)
      .toBool();
}

// What the next window starts with, whatever a test before left.
void RememberOff() {
  QSettings(QStringLiteral("gpsdesk"), QStringLiteral("gpsdesk")).setValue(app::kReconnectSetting, false);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FollowingThePlug, UnpluggedReceiverIsRemovedAndNotReopenedUnlessAsked) {
  QSettings(QStringLiteral("gpsdesk"), QStringLiteral("gpsdesk")).remove(app::kReconnectSetting);
  OwnPortLinks links;
  uitest::Receiver rx;
  ASSERT_TRUE(rx.Ok());
  ASSERT_TRUE(links.Publish("COM5", rx.Device()));
  Window w;
  ASSERT_NE(w.Reconnect(), nullptr);
  EXPECT_TRUE(w.Reconnect()->isCheckable());
  EXPECT_FALSE(w.Reconnect()->isChecked()) << "off unless asked for";
  w.dlg.portName = "COM5";
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.Status(), "COM5 open OK!\r\n");

  rx.Send("$GPRMC,1");  // the receiver is pulled in the middle of a line
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.Console() == "$GPRMC,1"; }, 5000));
  rx.Unplug();
  ASSERT_TRUE(w.Shows("COM5 device removed"));
  EXPECT_EQ(w.dlg.sourceOpen, 0);
  EXPECT_EQ(w.dlg.activeSource, app::SourceNone);
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "OPEN");
  EXPECT_FALSE(w.dlg.Control(ids::kSourceLabel)->isEnabled());
  EXPECT_FALSE(w.dlg.Control(ids::kHotStart)->isEnabled());
  EXPECT_FALSE(w.dlg.serial.IsOpen());
  EXPECT_EQ(w.Console(), "$GPRMC,1\n");  // shown, and ended with the device
  EXPECT_FALSE(w.Waiting());

  // The receiver is back; without being asked the window leaves it alone.
  uitest::Receiver back;
  ASSERT_TRUE(back.Ok());
  ASSERT_TRUE(links.Publish("COM5", back.Device()));
  QTest::qWait(1500);  // longer than a retry period
  EXPECT_EQ(w.Status(), "COM5 device removed");
  EXPECT_EQ(w.dlg.sourceOpen, 0);

  w.Click(ids::kOpenClose);
  EXPECT_EQ(w.Status(), "COM5 open OK!\r\n");
  // Nothing of the broken line is taken into the new one: joined, the two
  // would make an RMC with course 12.
  back.Send(",,,,,,1.0,12\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.Console() == "$GPRMC,1\n,,,,,,1.0,12\n"; }, 5000));
  EXPECT_NE(w.dlg.ItemText(ids::kCourse), "12");
  back.Send("$GPRMC,,,,,,,2.0,13\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kCourse) == "13"; }, 5000));
}

TEST(FollowingThePlug, ReconnectsWhenTheNameIsPublishedAgainAndTheLogNotesTheGap) {
  OwnPortLinks links;
  QTemporaryDir folder;
  const std::string log = folder.filePath(QStringLiteral("gap.txt")).toStdString();
  uitest::Receiver rx;
  ASSERT_TRUE(rx.Ok());
  ASSERT_TRUE(links.Publish("COM5", rx.Device()));
  RememberOff();
  Window w;
  w.Reconnect()->trigger();
  EXPECT_TRUE(w.Reconnect()->isChecked());
  EXPECT_TRUE(RememberedOn());
  w.dlg.portName = "COM5";
  w.dlg.baudRate = 4800;
  w.Click(ids::kOpenClose);
  ASSERT_EQ(w.Status(), "COM5 open OK!\r\n");
  {
    platform::CScriptedPrompts prompts;
    platform::CPromptsOverride use(prompts);
    prompts.fileAnswers.push_back(log);
    w.Click(ids::kStartStopLog);
  }
  ASSERT_EQ(w.dlg.logging, 1);

  rx.Send("$GPRMC,,,,,,,1.0,11\r\n$GPGGA,1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.Console().find("$GPGGA,1") != std::string::npos; }, 5000));
  rx.Unplug();
  ASSERT_TRUE(w.Shows("COM5 device removed"));
  EXPECT_TRUE(w.Waiting());

  uitest::Receiver back;
  ASSERT_TRUE(back.Ok());
  ASSERT_TRUE(links.Publish("COM5", back.Device()));
  ASSERT_TRUE(w.Shows("COM5 open OK!\r\n"));
  EXPECT_FALSE(w.Waiting());
  EXPECT_EQ(w.dlg.activeSource, app::SourceSerial);
  EXPECT_EQ(w.dlg.ItemText(ids::kOpenClose), "CLOSE");
  EXPECT_TRUE(w.dlg.Control(ids::kHotStart)->isEnabled());
  EXPECT_EQ(back.Speed(), static_cast<speed_t>(B4800));  // the same rate
  back.Send(",,,,,,,2.0,12\r\n$GPRMC,,,,,,,3.0,13\r\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.dlg.ItemText(ids::kCourse) == "13"; }, 5000));
  w.Click(ids::kStartStopLog);

  // What came, each note on a line of its own, and what came after.
  const std::regex expected(
      "\\$GPRMC,,,,,,,1\\.0,11\r\n"
      "\\$GPGGA,1\r\n"
      "-- COM5 device removed at [0-2][0-9]:[0-5][0-9]:[0-6][0-9] --\r\n"
      "-- COM5 reconnected at [0-2][0-9]:[0-5][0-9]:[0-6][0-9] after [0-9]+ s --\r\n"
      ",,,,,,,2\\.0,12\r\n"
      "\\$GPRMC,,,,,,,3\\.0,13\r\n");
  const std::string logged = Slurp(log);
  EXPECT_TRUE(std::regex_match(logged, expected)) << logged;
  // The notes are shown, not interpreted: the course is the last sentence's.
  EXPECT_EQ(w.dlg.ItemText(ids::kCourse), "13");
}

TEST(FollowingThePlug, TheUserChoosingOtherwiseEndsTheWait) {
  OwnPortLinks links;
  QTemporaryDir folder;
  const std::string replay = folder.filePath(QStringLiteral("replay.txt")).toStdString();
  std::ofstream(replay) << "$GPGGA,1\r\n";
  RememberOff();
  Window w;
  struct Choice {
    const char* legend;
    std::function<void(Window&)> act;
  };
  for (const Choice& c : {
           Choice{"turning the entry off",
                  [](Window& w) {
                    w.Reconnect()->trigger();
                    EXPECT_FALSE(RememberedOn());
                  }},
           Choice{"pressing OPEN",
                  [&](Window& w) {
                    ASSERT_TRUE(links.Publish("COM6", "/nonexistent/ttyUSB9"));
                    w.Click(ids::kOpenClose);
                    EXPECT_EQ(w.Status(), "COM6 open ERR!");
                  }},
           Choice{"choosing a replay file",
                  [&](Window& w) {
                    platform::CScriptedPrompts prompts;
                    platform::CPromptsOverride use(prompts);
                    prompts.fileAnswers.push_back(replay);
                    w.Click(ids::kNmeaFile);
                    EXPECT_EQ(w.dlg.selectedSource, app::SourceFile);
                  }},
       }) {
    uitest::Receiver rx;
    ASSERT_TRUE(rx.Ok());
    ASSERT_TRUE(links.Publish("COM6", rx.Device()));
    if (!w.Reconnect()->isChecked()) w.Reconnect()->trigger();
    w.dlg.portName = "COM6";
    w.Click(ids::kOpenClose);
    ASSERT_EQ(w.Status(), "COM6 open OK!\r\n") << c.legend;
    rx.Unplug();
    ASSERT_TRUE(w.Shows("COM6 device removed")) << c.legend;
    ASSERT_TRUE(w.Waiting()) << c.legend;
    c.act(w);
    EXPECT_FALSE(w.Waiting()) << c.legend;
    // Back again: nothing opens by itself.
    uitest::Receiver back;
    ASSERT_TRUE(back.Ok());
    ASSERT_TRUE(links.Publish("COM6", back.Device()));
    QTest::qWait(1500);  // longer than a retry period
    EXPECT_EQ(w.dlg.sourceOpen, 0) << c.legend;
  }
  // A new window remembers the last choice.
  Window next;
  EXPECT_TRUE(next.Reconnect()->isChecked());
}

}  // namespace
