#include "dialogs/reset_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/reset_ids.h"

namespace dialogs {

using namespace ids::reset;

namespace {

constexpr int FlagBox(int bit) { return kFirstFlag + bit; }

}  // namespace

CResetDlg::CResetDlg(QWidget* parent) : CConfigDlg(tmpl::ResetTemplate(), kSend, kPreview, parent) {}

void CResetDlg::LoadRecord(const app::CMainDlg& main) {
  values_ = main.resetSettings;
  values_.flags &= 0xFF;
}

void CResetDlg::ShowValues() {
  SelectPosition(kStartMode, values_.startModeIndex);
  for (int bit = 0; bit < kFlagCount; ++bit) CheckItem(FlagBox(bit), (values_.flags >> bit) & 1);
  CheckItem(kBinaryFormat, values_.binaryFormat);
}

void CResetDlg::ControlChanged(int id) {
  if (id >= FlagBox(0) && id < FlagBox(kFlagCount)) {
    const int bit = 1 << (id - FlagBox(0));
    if (IsItemChecked(id)) {
      values_.flags |= bit;
    } else {
      values_.flags &= ~bit;
    }
  }
  RebuildSentence();
}

std::vector<std::string> CResetDlg::BuildSentences() {
  values_.binaryFormat = IsItemChecked(kBinaryFormat);
  values_.startModeIndex = ListPosition(kStartMode);
  // Keyword mode greys the bits out, numeric mode the keyword list; neither
  // forgets its values.
  EnableItem(kStartMode, !values_.binaryFormat);
  for (int bit = 0; bit < kFlagCount; ++bit) EnableItem(FlagBox(bit), values_.binaryFormat);
  return {BuildResetSentence(values_)};
}

void CResetDlg::StoreRecord(app::CMainDlg& main) { main.resetSettings = values_; }

}  // namespace dialogs
