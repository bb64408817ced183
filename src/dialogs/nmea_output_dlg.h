#pragma once
// The NMEA output-rate dialog ("Set NMEA"): which standard sentences the
// receiver outputs, in the order the user clicks them, and the rate of each.
// Sends two sentences, "$PVLRX108" (the messages) then "$PVLRX103" (their
// rates).

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CNmeaOutputDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CNmeaOutputDlg(QWidget* parent = nullptr);

 protected:
  void PrepareControls() override;
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  NmeaOutputSettings values_;
};

}  // namespace dialogs
