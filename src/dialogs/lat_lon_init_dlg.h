#pragma once
// The latitude/longitude position-initialisation dialog ("PVLX104"): an
// approximate position with hemispheres, altitude, clock offset, time of
// week, week number and channel count ("$PVLRX104").

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CLatLonInitDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CLatLonInitDlg(QWidget* parent = nullptr);

 protected:
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  LatLonInitSettings values_;
};

}  // namespace dialogs
