#include "dialogs/nav_settings_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/nav_settings_ids.h"

namespace dialogs {

using namespace ids::nav_settings;

CNavSettingsDlg::CNavSettingsDlg(QWidget* parent)
    : CConfigDlg(tmpl::NavSettingsTemplate(), kSend, kPreview, parent) {}

void CNavSettingsDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.navSettings; }

void CNavSettingsDlg::ShowValues() {
  SetItemText(kElevation, values_.elevation);
  SetItemText(kMinSnr, values_.minSnr);
  SetItemText(kMaxDop, values_.maxDop);
  SetItemText(kLocalTime, values_.localTime);
  SetItemText(kMaxAltitude, values_.maxAltitude);
  SetItemText(kAltitude2D, values_.altitude2D);
  SelectPosition(kAltitudeMode, values_.altitudeModeIndex);
  SelectPosition(kNavigation, values_.navigationIndex);
}

std::vector<std::string> CNavSettingsDlg::BuildSentences() {
  values_.elevation = FieldText(kElevation);
  values_.minSnr = FieldText(kMinSnr);
  values_.maxDop = FieldText(kMaxDop);
  values_.localTime = FieldText(kLocalTime);
  values_.maxAltitude = FieldText(kMaxAltitude);
  values_.altitudeModeIndex = ListPosition(kAltitudeMode);
  values_.altitude2D = FieldText(kAltitude2D);
  values_.navigationIndex = ListPosition(kNavigation);
  return {BuildNavSentence(values_)};
}

void CNavSettingsDlg::StoreRecord(app::CMainDlg& main) { main.navSettings = values_; }

}  // namespace dialogs
