// "Why?" in the main window: after "COMn open ERR!" the status line's
// tooltip says why in one line, and the right-click menu's "Why?" shows the
// whole explanation through the prompts; a good open takes both back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QTextDocument>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/main_dlg.h"
#include "app/port_doctor_menu.h"
#include "app/port_survey.h"
#include "platform/prompts.h"
#include "ports/fake_diagnosis_facts.h"
#include "pty_receiver.h"
#include "resources/main_ids.h"
#include "serial/port_names.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// A runtime folder of the test's own, so that published links are the
// test's alone.
class ScopedRuntimeFolder {
 public:
  ScopedRuntimeFolder() {
    char pattern[] = "/tmp/gpsdesk-runtime-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    folder_ = pattern;
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) previous_ = old;
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  }
  ~ScopedRuntimeFolder() {
    if (previous_) {
      setenv("XDG_RUNTIME_DIR", previous_->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    fs::remove_all(folder_);
  }
  void Publish(const std::string& comName, const std::string& target) {
    ASSERT_EQ(serial::PublishPortLink(serial::DefaultPortLocations(), comName, target), 0);
  }
  std::string Links() const { return serial::DefaultLinkFolder(); }

 private:
  std::string folder_;
  std::optional<std::string> previous_;
};

struct Window {
  Window() { dlg.show(); }
  void Open(const std::string& portName) {
    dlg.portName = portName;
    dlg.ControlAs<QAbstractButton>(ids::kOpenClose)->click();
  }
  std::string Status() const { return dlg.ItemText(ids::kStatus); }
  QString Tooltip() const { return dlg.Control(ids::kStatus)->toolTip(); }
  QAction* Why() const {
    for (QMenu* menu : dlg.findChildren<QMenu*>()) {
      for (QAction* action : menu->actions()) {
        if (action->data().toUInt() == app::kWhyCommand) return action;
      }
    }
    return nullptr;
  }
  // What "Why?" shows; nothing when it shows nothing.
  std::optional<std::string> AskWhy() {
    platform::CScriptedPrompts prompts;
    platform::CPromptsOverride scripted(prompts);
    Why()->trigger();
    if (prompts.asked.empty()) return std::nullopt;
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].kind, platform::CScriptedPrompts::Kind::Message);
    return prompts.asked[0].text;
  }
  app::CMainDlg dlg;
};

TEST(PortWhy, AFailedOpenIsExplainedUntilAnOpenSucceeds) {
  ScopedRuntimeFolder runtime;
  // The simulator published COM7 and ended without taking the link back.
  runtime.Publish("COM7", "/dev/pts/65000");
  Window w;
  QAction* why = w.Why();
  ASSERT_NE(why, nullptr);
  EXPECT_EQ(why->text(), QStringLiteral("Why?"));
  EXPECT_FALSE(why->isEnabled()) << "nothing to explain yet";
  EXPECT_EQ(w.AskWhy(), std::nullopt);

  w.Open("COM7");
  EXPECT_EQ(w.Status(), "COM7 open ERR!");
  EXPECT_EQ(w.Tooltip().toStdString(),
            "COM7 is a published link to /dev/pts/65000, which is gone\n"
            "Right-click the window and choose Why? for the fix.");
  EXPECT_TRUE(why->isEnabled());
  const std::optional<std::string> text = w.AskWhy();
  ASSERT_TRUE(text);
  EXPECT_THAT(*text, StartsWith("COM7 is a published link to /dev/pts/65000, which is gone\n\n"));
  EXPECT_THAT(*text, HasSubstr("\n    rm " + runtime.Links() + "/COM7"));

  // The simulator runs again: the open succeeds and there is nothing to explain.
  uitest::Receiver receiver;
  ASSERT_TRUE(receiver.Ok());
  runtime.Publish("COM7", receiver.Device());
  w.Open("COM7");
  EXPECT_THAT(w.Status(), StartsWith("COM7 open OK!"));
  EXPECT_TRUE(w.Tooltip().isEmpty());
  EXPECT_FALSE(why->isEnabled());
  w.dlg.ControlAs<QAbstractButton>(ids::kOpenClose)->click();
}

TEST(PortWhy, TheExplanationComesFromTheFactsInForce) {
  ScopedRuntimeFolder runtime;
  // A machine where brltty has taken the CH340 adapter the receiver is on.
  ports_test::FakeDiagnosisFacts facts;
  facts.processes.insert("brltty");
  facts.usbDevices = {{"1-2", 0x1a86, 0x7523, "", "USB Serial", "", {}, 0}};
  app::CPortSurveyOverride fake([] { return app::PortSurvey{}; }, facts);

  Window w;
  w.Open("COM15");
  EXPECT_EQ(w.Status(), "COM15 open ERR!");
  EXPECT_THAT(
      w.Tooltip().toStdString(),
      StartsWith(
          "The QinHeng CH340 USB serial adapter (1a86:7523) has no serial device: brltty claims it\n"));
  const std::optional<std::string> text = w.AskWhy();
  ASSERT_TRUE(text);
  EXPECT_THAT(*text, HasSubstr("\n    sudo apt remove brltty"));
}

TEST(PortWhy, TextThatLooksLikeMarkupIsShownAsItIs) {
  EXPECT_EQ(app::ForDisplay("COM3 is held by minicom, pid 4711"),
            QStringLiteral("COM3 is held by minicom, pid 4711"));
  const QString escaped = app::ForDisplay("<b>/tmp/x</b> & more\n    rm it");
  QTextDocument shown;
  shown.setHtml(escaped);
  EXPECT_EQ(shown.toPlainText(), QStringLiteral("<b>/tmp/x</b> & more\n    rm it"));

  // A published link whose name is markup, in the window.
  ScopedRuntimeFolder runtime;
  runtime.Publish("COM9", "/tmp/<b>gone</b>");
  Window w;
  w.Open("COM9");
  shown.setHtml(w.Tooltip());
  EXPECT_THAT(shown.toPlainText().toStdString(),
              StartsWith("COM9 is a published link to /tmp/<b>gone</b>, which"));
}

}  // namespace
