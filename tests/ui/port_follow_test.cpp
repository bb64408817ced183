// "Reconnect automatically" in the main window, on pseudo-terminals published
// as COM names the way the simulator publishes its own: off unless asked
// for, remembered, ticked after the receiver went it still waits for it, and
// whatever the user chooses while the window waits ends the wait. (Losing the receiver and getting it back
// are tested end to end against the simulator.)

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <functional>
#include <string>

#include "app/main_dlg.h"
#include "app/settings_store.h"
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
  return app::SettingsStore().ReadBool(app::kReconnectSetting, false);
}

TEST(FollowingThePlug, OptInRememberedAndEndedByTheUsersChoice) {
  OwnPortLinks links;
  QTemporaryDir folder;
  const std::string replay = folder.filePath(QStringLiteral("replay.txt")).toStdString();
  std::ofstream(replay) << "$GPGGA,1\r\n";
  app::SettingsStore().WriteBool(app::kReconnectSetting, false);
  Window w;
  ASSERT_NE(w.Reconnect(), nullptr);
  EXPECT_TRUE(w.Reconnect()->isCheckable());
  EXPECT_FALSE(w.Reconnect()->isChecked()) << "off unless asked for";
  {
    // Lost while off: nothing is waited for until the entry is ticked.
    uitest::Receiver rx;
    ASSERT_TRUE(rx.Ok());
    ASSERT_TRUE(links.Publish("COM6", rx.Device()));
    w.dlg.portName = "COM6";
    w.Click(ids::kOpenClose);
    ASSERT_EQ(w.Status(), "COM6 open OK!\r\n");
    rx.Unplug();
    ASSERT_TRUE(w.Shows("COM6 device removed"));
    EXPECT_FALSE(w.Waiting());
    w.Reconnect()->trigger();
    EXPECT_TRUE(RememberedOn());
    EXPECT_TRUE(w.Waiting());
    uitest::Receiver back;
    ASSERT_TRUE(back.Ok());
    ASSERT_TRUE(links.Publish("COM6", back.Device()));
    ASSERT_TRUE(w.Shows("COM6 open OK!\r\n"));
    EXPECT_FALSE(w.Waiting());
    w.Click(ids::kOpenClose);
  }
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
