#include "app/setup_com_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>

#include "resources/dialog_template.h"
#include "resources/setup_com_ids.h"
#include "serial/port_names.h"

namespace app {

CSetupComDlg::CSetupComDlg(std::string portName, int baudRate, QWidget* parent)
    : platform::CDialog(tmpl::SetupComTemplate(), parent),
      portName_(std::move(portName)),
      baudRate_(baudRate) {
  OnSelChange(ids::kSetupComPort, [this] { ShowDevice(); });
}

bool CSetupComDlg::OnInitDialog() {
  platform::CDialog::OnInitDialog();
  survey_ = SurveyPorts();
  if (auto* ports = ControlAs<QComboBox>(ids::kSetupComPort)) {
    ports->clear();
    int chosen = 0;
    for (int n = 1; n <= serial::kComPortCount; ++n) {
      const std::string name = serial::ComNameOf(n);
      ports->addItem(QString::fromLatin1(name.c_str()));
      if (name == portName_) chosen = n - 1;
    }
    ports->setCurrentIndex(chosen);
  }
  if (auto* rates = ControlAs<QComboBox>(ids::kSetupBaudRate)) {
    rates->clear();
    int chosen = 0;
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
      rates->addItem(QString::number(kBaudRates[i]));
      if (kBaudRates[i] == baudRate_) chosen = static_cast<int>(i);
    }
    rates->setCurrentIndex(chosen);
  }
  ShowDevice();
  return true;
}

void CSetupComDlg::ShowDevice() {
  auto* ports = ControlAs<QComboBox>(ids::kSetupComPort);
  if (!ports) return;
  ports::PortChoice choice{serial::ComNameOf(ports->currentIndex() + 1), {}, false};
  for (const ports::PortChoice& surveyed : survey_.choices) {
    if (surveyed.name == choice.name) choice = surveyed;
  }
  const ports::PortDescription description = ports::DescribePort(choice, survey_.devices, PortFacts());
  if (auto* device = ControlAs<QLabel>(ids::kSetupDevice))
    device->setText(QString::fromStdString(description.deviceLine));
  if (auto* details = ControlAs<QPlainTextEdit>(ids::kSetupDetails)) {
    QString text;
    for (const std::string& line : description.details) {
      if (!text.isEmpty()) text += QLatin1Char('\n');
      text += QString::fromStdString(line);
    }
    details->setPlainText(text);
  }
}

void CSetupComDlg::OnOK() {
  auto* ports = ControlAs<QComboBox>(ids::kSetupComPort);
  auto* rates = ControlAs<QComboBox>(ids::kSetupBaudRate);
  if (ports && ports->currentIndex() >= 0) portName_ = serial::ComNameOf(ports->currentIndex() + 1);
  if (rates && rates->currentIndex() >= 0 && rates->currentIndex() < static_cast<int>(kBaudRates.size())) {
    baudRate_ = kBaudRates[static_cast<std::size_t>(rates->currentIndex())];
  }
  platform::CDialog::OnOK();
}

}  // namespace app
