#pragma once
// The fix and extraction dialog ("PVLX113"): switches the receiver's "FIX"
// and "EXTRACTION" options ("$PVLRX113").

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CFixExtractionDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CFixExtractionDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  FixSettings values_;
};

}  // namespace dialogs
