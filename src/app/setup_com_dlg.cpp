#include "app/setup_com_dlg.h"

#include <QComboBox>
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
  std::string device;
  const std::string name = serial::ComNameOf(ports->currentIndex() + 1);
  if (serial::ResolvePortName(name, device) == 0) {
    SetItemText(ids::kSetupDevice, name + " is " + device);
  } else {
    SetItemText(ids::kSetupDevice, name + " is not connected to a device");
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
