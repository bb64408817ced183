#pragma once
// The Setup COM Port dialog: chooses the port name ("COM1" to "COM15") and
// the baud rate that "OPEN" uses. Beside the lists it shows which device the
// chosen name stands for on this machine and what is known of it: its stable
// /dev/serial/by-id name, maker, product, USB id, serial number and driver.
// The ports are surveyed afresh each time the dialog opens.
//
// Below, a network address can be typed for the chosen name (tcp://... or
// gpsd://..., see serial/net_address.h): "Use" publishes it in the link
// folder, so the name stands for that source from then on, or, with the field
// emptied, removes the name's published address. "OK" does the same for an
// address typed and not yet used; one that is not valid keeps the dialog
// open with the reason.

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
  // Publishes what the address field holds for the chosen name; false when
  // it is not valid or could not be published.
  bool UseAddress();
  std::string ChosenName() const;
  ports::PortChoice* ChosenEntry();

  std::string portName_;
  int baudRate_;
  PortSurvey survey_;
};

}  // namespace app
