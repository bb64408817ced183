// Typing a network address for a port name in Setup COM Port: what is
// published where, what the details then say, and that every note fits.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/port_survey.h"
#include "app/setup_com_dlg.h"
#include "ports/fake_diagnosis_facts.h"
#include "resources/dialog_template.h"
#include "resources/setup_com_ids.h"
#include "serial/net_address.h"
#include "serial/port_names.h"

namespace {

class SetupComAddress : public ::testing::Test {
 protected:
  SetupComAddress() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr) savedRuntime_ = runtime;
    setenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit().constData(), 1);
    folder_ = serial::DefaultLinkFolder();
    facts_.AddNode("/dev/ttyACM0", 166, 0);
  }
  ~SetupComAddress() override {
    if (savedRuntime_.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", savedRuntime_.c_str(), 1);
    }
  }
  app::PortSurvey Survey() {
    app::PortSurvey survey;
    survey.choices = {{"COM1", "/dev/ttyACM0", false}, {"COM2", "gpsd://localhost:2947/dev/ttyUSB0", true}};
    for (int n = 3; n <= 15; ++n) survey.choices.push_back({"COM" + std::to_string(n), "", false});
    return survey;
  }
  std::string Entry(const std::string& name) const {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    if (!in) return "(none)";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Choose(app::CSetupComDlg& dlg, int index) {
    dlg.ControlAs<QComboBox>(ids::kSetupComPort)->setCurrentIndex(index);
  }
  static void Use(app::CSetupComDlg& dlg, const char* typed) {
    dlg.ControlAs<QLineEdit>(ids::kSetupAddress)->setText(QString::fromLatin1(typed));
    dlg.ControlAs<QPushButton>(ids::kSetupUseAddress)->click();
  }
  static std::string Details(app::CSetupComDlg& dlg) {
    return dlg.ControlAs<QPlainTextEdit>(ids::kSetupDetails)->toPlainText().toStdString();
  }

  QTemporaryDir runtime_;
  std::string savedRuntime_;
  std::string folder_;
  ports_test::FakeDiagnosisFacts facts_;
  app::CPortSurveyOverride override_{[this] { return Survey(); }, facts_};
};

TEST_F(SetupComAddress, AnAddressTypedForANameIsPublishedAndDescribed) {
  app::CSetupComDlg dlg("COM1", 9600);
  dlg.show();
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddress), "") << "COM1 is a device";
  Choose(dlg, 1);
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddress), "gpsd://localhost:2947/dev/ttyUSB0");
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM2 is a network source");
  EXPECT_EQ(
      Details(dlg),
      "Address: gpsd://localhost:2947/dev/ttyUSB0\nThrough gpsd: the lines of /dev/ttyUSB0\n"
      "The rate and line settings do not apply\ngpsd owns the device; commands cannot be sent through it");

  Choose(dlg, 2);
  Use(dlg, "  TCP://Field-PC:2000 ");
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddressNote), "COM3 now stands for tcp://field-pc:2000");
  EXPECT_EQ(Entry("COM3"), "tcp://field-pc:2000\n");
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddress), "tcp://field-pc:2000");
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM3 is a network source");
  EXPECT_EQ(Details(dlg),
            "Address: tcp://field-pc:2000\nRaw NMEA over TCP, as ser2net or socat serve it\n"
            "The rate and line settings do not apply");

  // Not valid: nothing is written, and the note says why.
  Choose(dlg, 3);
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddressNote), "");
  Use(dlg, "tcp://field-pc");
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddressNote),
            "Not used: a tcp:// address needs a port (tcp://host:port)");
  EXPECT_EQ(Entry("COM4"), "(none)");
  // OK with it still there keeps the dialog open; put right, OK uses it.
  dlg.ControlAs<QPushButton>(tmpl::kIdOk)->click();
  EXPECT_TRUE(dlg.isVisible());
  dlg.ControlAs<QLineEdit>(ids::kSetupAddress)->setText(QStringLiteral("gpsd://127.0.0.1"));
  dlg.ControlAs<QPushButton>(tmpl::kIdOk)->click();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.PortName(), "COM4");
  EXPECT_EQ(Entry("COM4"), "gpsd://127.0.0.1:2947\n");
}

TEST_F(SetupComAddress, EmptyingTheFieldGivesTheNameBack) {
  ASSERT_EQ(serial::PublishPortAddress(serial::DefaultPortLocations(), "COM3", "tcp://10.0.0.5:2000"), 0);
  app::CSetupComDlg dlg("COM3", 9600);
  dlg.show();
  // The survey knows nothing of it; the field is filled from the survey.
  Use(dlg, "");
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddressNote), "COM3 no longer stands for a network address");
  EXPECT_EQ(Entry("COM3"), "(none)");
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice).rfind("COM3", 0), 0u);
  Use(dlg, "");
  EXPECT_EQ(dlg.ItemText(ids::kSetupAddressNote),
            "Type tcp://host:port or gpsd://host[:port][/device] for COM3");
  // A device link of the name is never removed by the field.
  ASSERT_EQ(serial::PublishPortLink(serial::DefaultPortLocations(), "COM5", "/dev/ttyACM0"), 0);
  Choose(dlg, 4);
  Use(dlg, "");
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ + "/COM5"));
}

TEST_F(SetupComAddress, TheNotesAndTheHintFitTheirLines) {
  app::CSetupComDlg dlg("COM15", 9600);
  dlg.show();
  QCoreApplication::processEvents();
  auto fits = [&](int id, const std::string& text) {
    auto* label = dlg.ControlAs<QLabel>(id);
    label->setText(QString::fromStdString(text));
    return label->heightForWidth(label->width()) <= label->height();
  };
  int hints = 0;
  for (QLabel* label : dlg.findChildren<QLabel*>()) {
    if (!label->text().startsWith(QStringLiteral("Network address"))) continue;
    ++hints;
    EXPECT_TRUE(label->wordWrap());
    EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
  }
  EXPECT_EQ(hints, 1);
  std::vector<std::string> notes = {
      "COM15 now stands for gpsd://[2001:db8:1234:5678:9abc:def0:1234:5678]:65535/dev/ttyUSB10",
      "COM15 no longer stands for a network address",
      "Type tcp://host:port or gpsd://host[:port][/device] for COM15",
      "Could not publish the address of COM15 (error 536870940)"};
  const std::vector<std::string> wrongs = {"x",
                                           "tcp://",
                                           "tcp://host",
                                           "tcp://host:0",
                                           "tcp://host:1/x",
                                           "tcp://a@b:1",
                                           "tcp://a_b:1",
                                           "tcp://-a:1",
                                           "tcp://a..b:1",
                                           "tcp://1.2.3:1",
                                           "tcp://[::1:1",
                                           "tcp://[::g]:1",
                                           "tcp://[::1%]:1",
                                           "tcp://[::1]x",
                                           "gpsd://h/",
                                           "gpsd://h/a b",
                                           "gpsd://h/" + std::string(300, 'd'),
                                           "tcp://" + std::string(300, 'h'),
                                           "tcp://" + std::string(70, 'h') + ".lan:1"};
  for (const std::string& wrong : wrongs) {
    serial::NetAddress a;
    const std::string problem = serial::ParseNetAddress(wrong, a);
    ASSERT_NE(problem, "") << wrong;
    notes.push_back("Not used: " + problem);
  }
  for (const std::string& note : notes) EXPECT_TRUE(fits(ids::kSetupAddressNote, note)) << note;
  const QFontMetrics metrics(dlg.font());
  EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("COM15 is a network source")),
            dlg.Control(ids::kSetupDevice)->width());
}

}  // namespace
