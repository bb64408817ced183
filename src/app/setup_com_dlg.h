#pragma once
// The Setup COM Port dialog: chooses the port name ("COM1" to "COM15") and
// the baud rate that "OPEN" uses. Beside the lists it shows which device the
// chosen name stands for on this machine and what is known of it: its stable
// /dev/serial/by-id name, maker, product, USB id, serial number and driver.
// The ports are surveyed afresh each time the dialog opens.

#include <array>
#include <string>

#include "app/port_survey.h"
#include "platform/dialog.h"

namespace app {

inline constexpr std::array<int, 9> kBaudRates{1200, 2400, 4800, 9600, 19200, 38400, 57600, 76800, 115200};

class CSetupComDlg : public platform::CDialog {
  Q_OBJECT

 public:
  CSetupComDlg(std::string portName, int baudRate, QWidget* parent = nullptr);

  const std::string& PortName() const { return portName_; }
  int BaudRate() const { return baudRate_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  void ShowDevice();

  std::string portName_;
  int baudRate_;
  PortSurvey survey_;
};

}  // namespace app
