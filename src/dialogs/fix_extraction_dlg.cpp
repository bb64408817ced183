#include "dialogs/fix_extraction_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/fix_extraction_ids.h"

namespace dialogs {

using namespace ids::fix_extraction;

CFixExtractionDlg::CFixExtractionDlg(QWidget* parent)
    : CConfigDlg(tmpl::FixExtractionTemplate(), kSend, kPreview, parent) {}

void CFixExtractionDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.fixSettings; }

void CFixExtractionDlg::ShowValues() {
  SelectPosition(kFix, values_.fixIndex);
  SelectPosition(kExtraction, values_.extractionIndex);
}

std::vector<std::string> CFixExtractionDlg::BuildSentences() {
  values_.fixIndex = ListPosition(kFix);
  values_.extractionIndex = ListPosition(kExtraction);
  return {BuildFixSentence(values_)};
}

void CFixExtractionDlg::StoreRecord(app::CMainDlg& main) { main.fixSettings = values_; }

}  // namespace dialogs
