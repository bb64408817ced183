#include "dialogs/ecef_init_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/ecef_init_ids.h"

namespace dialogs {

using namespace ids::ecef_init;

CEcefInitDlg::CEcefInitDlg(QWidget* parent) : CConfigDlg(tmpl::EcefInitTemplate(), kSend, kPreview, parent) {}

void CEcefInitDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.ecefSettings; }

void CEcefInitDlg::ShowValues() {
  SetItemText(kX, values_.x);
  SetItemText(kY, values_.y);
  SetItemText(kZ, values_.z);
  SetItemText(kClock, values_.clock);
  SetItemText(kTime, values_.time);
  SetItemText(kWeek, values_.week);
  SelectPosition(kChannel, values_.channelIndex);
  SelectPosition(kReset, values_.resetIndex);
}

std::vector<std::string> CEcefInitDlg::BuildSentences() {
  values_.x = FieldText(kX);
  values_.y = FieldText(kY);
  values_.z = FieldText(kZ);
  values_.clock = FieldText(kClock);
  values_.time = FieldText(kTime);
  values_.week = FieldText(kWeek);
  values_.channelIndex = ListPosition(kChannel);
  values_.resetIndex = ListPosition(kReset);
  return {BuildEcefInitSentence(values_)};
}

void CEcefInitDlg::StoreRecord(app::CMainDlg& main) { main.ecefSettings = values_; }

}  // namespace dialogs
