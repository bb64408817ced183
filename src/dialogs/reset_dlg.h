#pragma once
// The reset dialog ("PVLX111"): restarts the receiver ("$PVLRX111") with a
// start-mode keyword, or, with "Binary Format" ticked, with a number whose
// eight bits are the tick boxes under "Second Parameter".

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CResetDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CResetDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  void ControlChanged(int id) override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  // `flags` holds the restart bits (ResetFlags); they survive mode changes.
  ResetSettings values_;
};

}  // namespace dialogs
