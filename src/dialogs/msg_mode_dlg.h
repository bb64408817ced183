#pragma once
// The message-mode dialog ("PVLX107"): when the receiver outputs its data
// messages 300 to 304, one or all of them ("$PVLRX107").

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CMsgModeDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CMsgModeDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  MsgModeSettings values_;
};

}  // namespace dialogs
