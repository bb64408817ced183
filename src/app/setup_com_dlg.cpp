#include "app/setup_com_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

#include "app/network_source.h"
#include "resources/dialog_template.h"
#include "resources/setup_com_ids.h"
#include "serial/port_names.h"

namespace app {

CSetupComDlg::CSetupComDlg(std::string portName, int baudRate, QWidget* parent)
    : platform::CDialog(tmpl::SetupComTemplate(), parent),
      portName_(std::move(portName)),
      baudRate_(baudRate) {
  OnSelChange(ids::kSetupComPort, [this] {
    SetItemText(ids::kSetupAddressNote, "");
    ShowDevice();
  });
  OnClicked(ids::kSetupUseAddress, [this] { UseAddress(); });
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

std::string CSetupComDlg::ChosenName() const {
  auto* ports = ControlAs<QComboBox>(ids::kSetupComPort);
  return serial::ComNameOf(ports && ports->currentIndex() >= 0 ? ports->currentIndex() + 1 : 1);
}

ports::PortChoice* CSetupComDlg::ChosenEntry() {
  const std::string name = ChosenName();
  for (ports::PortChoice& surveyed : survey_.choices) {
    if (surveyed.name == name) return &surveyed;
  }
  survey_.choices.push_back({name, {}, false});
  return &survey_.choices.back();
}

void CSetupComDlg::ShowDevice() {
  if (!ControlAs<QComboBox>(ids::kSetupComPort)) return;
  const ports::PortChoice choice = *ChosenEntry();
  if (auto* address = ControlAs<QLineEdit>(ids::kSetupAddress)) {
    address->setText(serial::IsAddressTarget(choice.device) ? QString::fromStdString(choice.device)
                                                            : QString());
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

bool CSetupComDlg::UseAddress() {
  const std::string name = ChosenName();
  const std::string typed = ItemText(ids::kSetupAddress);
  const serial::PortLocations where = serial::DefaultPortLocations();
  const AddressUse use = UseTypedAddress(name, typed, where);
  SetItemText(ids::kSetupAddressNote, use.note);
  if (!use.changed) return false;
  // The name leads elsewhere now: to the address, or, without one, where the
  // machine's devices put it.
  ports::PortChoice& entry = *ChosenEntry();
  entry.device = serial::PublishedAddress(where, name);
  entry.linked = !entry.device.empty();
  if (!entry.linked && serial::ResolvePortName(name, entry.device, where) != serial::ERROR_SUCCESS)
    entry.device.clear();
  ShowDevice();
  return true;
}

void CSetupComDlg::OnOK() {
  // An address typed and not yet used is used now.
  const ports::PortChoice& chosen = *ChosenEntry();
  const std::string current = serial::IsAddressTarget(chosen.device) ? chosen.device : std::string();
  const QString typed = QString::fromStdString(ItemText(ids::kSetupAddress)).trimmed();
  if (typed.toStdString() != current && !UseAddress()) return;
  auto* ports = ControlAs<QComboBox>(ids::kSetupComPort);
  auto* rates = ControlAs<QComboBox>(ids::kSetupBaudRate);
  if (ports && ports->currentIndex() >= 0) portName_ = serial::ComNameOf(ports->currentIndex() + 1);
  if (rates && rates->currentIndex() >= 0 && rates->currentIndex() < static_cast<int>(kBaudRates.size())) {
    baudRate_ = kBaudRates[static_cast<std::size_t>(rates->currentIndex())];
  }
  platform::CDialog::OnOK();
}

}  // namespace app
