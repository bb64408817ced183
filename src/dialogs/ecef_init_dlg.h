#pragma once
// The ECEF position-initialisation dialog ("PVLX101"): an approximate
// position in earth-centred, earth-fixed coordinates, clock, time, week,
// channel count and restart mode ("$PVLRX101").

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CEcefInitDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CEcefInitDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  EcefInitSettings values_;
};

}  // namespace dialogs
