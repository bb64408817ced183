#include "dialogs/low_power_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/low_power_ids.h"

namespace dialogs {

using namespace ids::low_power;

CLowPowerDlg::CLowPowerDlg(QWidget* parent) : CConfigDlg(tmpl::LowPowerTemplate(), kSend, kPreview, parent) {}

void CLowPowerDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.lowPowerSettings; }

void CLowPowerDlg::ShowValues() {
  SelectPosition(kMode, values_.modeIndex);
  SelectPosition(kOffPeriod, values_.offPeriodIndex);
}

std::vector<std::string> CLowPowerDlg::BuildSentences() {
  values_.modeIndex = ListPosition(kMode);
  values_.offPeriodIndex = ListPosition(kOffPeriod);
  // "full active" has no OFF period: the list stays greyed with its choice.
  EnableItem(kOffPeriod, values_.modeIndex == 1);
  return {BuildLowPowerSentence(values_)};
}

void CLowPowerDlg::StoreRecord(app::CMainDlg& /*main*/) {}

}  // namespace dialogs
