#pragma once
// The navigation settings dialog ("PVLX110"): eight numbered navigation
// parameters in one sentence ("$PVLRX110").

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CNavSettingsDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CNavSettingsDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  NavSettings values_;
};

}  // namespace dialogs
