#include "dialogs/datum_dlg.h"

#include <QComboBox>
#include <QString>
#include <array>

#include "app/main_dlg.h"
#include "dialogs/datum_catalogue.h"
#include "dialogs/sentences.h"
#include "resources/datum_ids.h"

namespace dialogs {

using namespace ids::datum;

namespace {

constexpr std::array kFields{kDx, kDy, kDz, kInverseFlattening, kSemiMajorAxis};

}  // namespace

CDatumDlg::CDatumDlg(QWidget* parent) : CConfigDlg(tmpl::DatumTemplate(), kSend, kPreview, parent) {}

void CDatumDlg::PrepareControls() {
  auto* list = ControlAs<QComboBox>(kList);
  if (list == nullptr) return;
  list->clear();
  // List position and catalogue row stay the same: the list is never sorted.
  for (int row = 0; row < DatumCatalogue::kDatumCount; ++row) {
    const std::string text = DatumCatalogue::ListText(row);
    list->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  }
}

void CDatumDlg::LoadRecord(const app::CMainDlg& main) { row_ = main.lastDatumRow; }

void CDatumDlg::ShowValues() { SelectPosition(kList, row_); }

void CDatumDlg::Opened() { ApplySelection(); }

void CDatumDlg::ControlChanged(int id) {
  if (id == kList) {
    ApplySelection();
  } else {
    RebuildSentence();
  }
}

void CDatumDlg::ApplySelection() {
  row_ = ListPosition(kList);
  const bool userDefined = IsUserDefinedDatumRow(row_);
  if (!userDefined) {
    const DatumFieldTexts shown = DatumFieldTextsOf(row_);
    Quietly([&] {
      SetItemText(kDx, shown.dx);
      SetItemText(kDy, shown.dy);
      SetItemText(kDz, shown.dz);
      SetItemText(kInverseFlattening, shown.inverseFlattening);
      SetItemText(kSemiMajorAxis, shown.semiMajorAxis);
    });
  }
  for (int id : kFields) EnableItem(id, userDefined);
  RebuildSentence();
}

std::vector<std::string> CDatumDlg::BuildSentences() {
  const DatumFieldTexts typed{FieldText(kDx), FieldText(kDy), FieldText(kDz), FieldText(kInverseFlattening),
                              FieldText(kSemiMajorAxis)};
  return {BuildDatumSentence(ListPosition(kList), typed)};
}

void CDatumDlg::StoreRecord(app::CMainDlg& main) { main.lastDatumRow = row_; }

}  // namespace dialogs
