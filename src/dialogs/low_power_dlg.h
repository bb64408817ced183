#pragma once
// The low-power dialog ("Low Power"): the receiver's operating mode and, for
// "LDCM1", its OFF period ("$PVLRX112"). It remembers nothing: every opening
// starts from the main window's initial positions.

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CLowPowerDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CLowPowerDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  LowPowerSettings values_;
};

}  // namespace dialogs
