#pragma once
// The datum dialog ("Datum"): picks one of the receiver's geodetic datums, or
// defines one, and sends its number ("$PVLRX106"). A catalogue datum shows
// its shift and ellipsoid codes greyed out; the user-defined one makes the
// five fields editable, starting from what they showed last.

#include "dialogs/config_dlg.h"
#include "dialogs/settings.h"

namespace dialogs {

class CDatumDlg : public CConfigDlg {
  Q_OBJECT

 public:
  explicit CDatumDlg(QWidget* parent = nullptr);

 protected:
  void PrepareControls() override;
  void LoadRecord(const app::CMainDlg& main) override;
  void ShowValues() override;
  void Opened() override;
  void ControlChanged(int id) override;
  std::vector<std::string> BuildSentences() override;
  void StoreRecord(app::CMainDlg& main) override;

 private:
  void ApplySelection();

  int row_ = kDefaultDatumRow;  // the list position last selected
};

}  // namespace dialogs
