// The Setup COM Port dialog's device details: a made-up port list and
// made-up facts in place of the machine's, the lists and buttons where they
// always were, and room for what the details say.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/port_survey.h"
#include "app/setup_com_dlg.h"
#include "platform/dialog_builder.h"
#include "ports/fake_diagnosis_facts.h"
#include "resources/dialog_template.h"
#include "resources/setup_com_ids.h"

namespace {

constexpr const char* kById = "/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_GNSS_receiver-if00";

class SetupComDetails : public ::testing::Test {
 protected:
  SetupComDetails() {
    facts_.AddNode("/dev/ttyACM0", 166, 0);
    facts_.AddNode("/dev/pts/4", 136, 4);
    facts_.AddById(kById, "/dev/ttyACM0");
    facts_.ttys["ttyACM0"] = ports_test::UsbTty("cdc_acm", 0x1546, 0x01a8);
  }
  app::PortSurvey Survey() {
    ++surveys_;
    app::PortSurvey survey;
    survey.choices = {{"COM1", "/dev/ttyACM0", false}, {"COM2", "/dev/pts/4", true}, {"COM3", kById, true}};
    for (int n = 4; n <= 15; ++n) survey.choices.push_back({"COM" + std::to_string(n), "", false});
    ports::DeviceDetails receiver;
    receiver.device = "/dev/ttyACM0";
    receiver.manufacturer = "u-blox AG - www.u-blox.com";
    receiver.product = "u-blox GNSS receiver";
    receiver.serialNumber = "0123";
    receiver.vendorId = 0x1546;
    receiver.productId = 0x01a8;
    survey.devices = {receiver};
    ports::CompleteDetails(survey.devices, facts_);
    return survey;
  }
  static std::string Details(app::CSetupComDlg& dlg) {
    return dlg.ControlAs<QPlainTextEdit>(ids::kSetupDetails)->toPlainText().toStdString();
  }

  ports_test::FakeDiagnosisFacts facts_;
  int surveys_ = 0;
  app::CPortSurveyOverride override_{[this] { return Survey(); }, facts_};
};

TEST_F(SetupComDetails, TheChosenNamesDeviceAndDetailsAreShown) {
  app::CSetupComDlg dlg("COM1", 9600);
  dlg.show();
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM1 is /dev/ttyACM0");
  EXPECT_EQ(Details(dlg), std::string("Stable name: ") + kById +
                              "\nMaker: u-blox AG - www.u-blox.com\nProduct: u-blox GNSS receiver\n"
                              "USB id: 1546:01a8\nSerial number: 0123\nDriver: cdc_acm");

  auto* ports = dlg.ControlAs<QComboBox>(ids::kSetupComPort);
  ports->setCurrentIndex(1);
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM2 is /dev/pts/4");
  EXPECT_EQ(Details(dlg), "(published by gpsdesk-sim)");
  ports->setCurrentIndex(2);
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM3 is /dev/ttyACM0");
  EXPECT_THAT(Details(dlg),
              ::testing::StartsWith(std::string("Published link to ") + kById + "\nStable name: "));
  ports->setCurrentIndex(14);
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM15: no device");
  EXPECT_EQ(Details(dlg), "");

  // Choosing shows; only OK takes the choice.
  dlg.ControlAs<QPushButton>(tmpl::kIdOk)->click();
  EXPECT_EQ(dlg.PortName(), "COM15");
}

TEST_F(SetupComDetails, ThePortsAreSurveyedAfreshEachTimeTheDialogOpens) {
  {
    app::CSetupComDlg dlg("COM2", 9600);
    dlg.show();
    EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM2 is /dev/pts/4");
    dlg.ControlAs<QComboBox>(ids::kSetupComPort)->setCurrentIndex(0);
    EXPECT_EQ(surveys_, 1) << "choosing another name shows what was surveyed";
  }
  // The receiver is unplugged meanwhile.
  facts_.nodes.erase("/dev/ttyACM0");
  app::CSetupComDlg dlg("COM1", 9600);
  dlg.show();
  EXPECT_EQ(surveys_, 2);
  EXPECT_EQ(dlg.ItemText(ids::kSetupDevice), "COM1: no device");
  EXPECT_EQ(Details(dlg), "Leads to /dev/ttyACM0, which does not exist");
}

TEST_F(SetupComDetails, TheListsAndButtonsStayWhereTheyWere) {
  app::CSetupComDlg dlg("COM1", 9600);
  dlg.show();
  struct Place {
    int id, x, y, width, height;
  };
  for (const Place p :
       {Place{ids::kSetupComPort, 56, 8, 60, 120}, Place{ids::kSetupBaudRate, 56, 26, 60, 120},
        Place{tmpl::kIdOk, 130, 7, 46, 14}, Place{tmpl::kIdCancel, 130, 25, 46, 14}}) {
    const tmpl::ControlTemplate place{p.id, tmpl::Kind::Button, "", p.x, p.y, p.width, p.height};
    const tmpl::PixelRect r = tmpl::ToPixels(place);
    EXPECT_EQ(dlg.Control(p.id)->x(), r.left) << p.id;
    EXPECT_EQ(dlg.Control(p.id)->y(), r.top) << p.id;
  }
  EXPECT_EQ(tmpl::SetupComTemplate().id, 130);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Setup COM Port"));
}

TEST_F(SetupComDetails, ControlsDoNotOverlapAndTheTextsFit) {
  app::CSetupComDlg dlg("COM1", 9600);
  dlg.show();
  QCoreApplication::processEvents();
  std::vector<QWidget*> controls;
  for (QWidget* w : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->isVisible() && !qobject_cast<QGroupBox*>(w)) controls.push_back(w);
  }
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_TRUE(dlg.rect().contains(controls[i]->geometry())) << platform::ControlId(controls[i]);
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
  // The longest device lines fit on their line.
  for (const char* line : {"COM15 is /dev/ttyUSB10", "COM15 is /dev/rfcomm10", "COM15: no device"})
    EXPECT_LE(metrics.horizontalAdvance(QString::fromLatin1(line)), dlg.Control(ids::kSetupDevice)->width())
        << line;
  // A linked receiver's details, its long stable name wrapped twice, need no
  // scrolling.
  dlg.ControlAs<QComboBox>(ids::kSetupComPort)->setCurrentIndex(2);
  QCoreApplication::processEvents();
  auto* details = dlg.ControlAs<QPlainTextEdit>(ids::kSetupDetails);
  ASSERT_NE(details, nullptr);
  EXPECT_TRUE(details->isReadOnly());
  EXPECT_EQ(details->verticalScrollBar()->maximum(), 0) << Details(dlg);
}

}  // namespace
