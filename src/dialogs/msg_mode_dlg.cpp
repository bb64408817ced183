#include "dialogs/msg_mode_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/msg_mode_ids.h"

namespace dialogs {

using namespace ids::msg_mode;

CMsgModeDlg::CMsgModeDlg(QWidget* parent) : CConfigDlg(tmpl::MsgModeTemplate(), kSend, kPreview, parent) {}

void CMsgModeDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.msgModeSettings; }

void CMsgModeDlg::ShowValues() {
  SelectPosition(kMessage, values_.messageIndex);
  SelectPosition(kMode, values_.modeIndex);
}

std::vector<std::string> CMsgModeDlg::BuildSentences() {
  values_.messageIndex = ListPosition(kMessage);
  values_.modeIndex = ListPosition(kMode);
  return {BuildMsgModeSentence(values_)};
}

void CMsgModeDlg::StoreRecord(app::CMainDlg& main) { main.msgModeSettings = values_; }

}  // namespace dialogs
