#include "dialogs/nmea_output_dlg.h"

#include <QComboBox>
#include <QString>
#include <algorithm>

#include "app/main_dlg.h"
#include "dialogs/list_items.h"
#include "dialogs/sentences.h"
#include "resources/nmea_output_ids.h"

namespace dialogs {

using namespace ids::nmea_output;

namespace {

constexpr int RateList(int message) { return kFirstRate + message; }

}  // namespace

CNmeaOutputDlg::CNmeaOutputDlg(QWidget* parent)
    : CConfigDlg(tmpl::NmeaOutputTemplate(), kSend, kPreview, parent) {
  for (int message = 0; message < kNmeaMessageCount; ++message) {
    // A message already chosen, or a full selection, changes nothing.
    OnClicked(kFirstMessage + message, [this, message] {
      if (SelectNmeaMessage(values_, message)) RebuildSentence();
    });
  }
  OnClicked(kMessageReset, [this] {
    values_.selectedCount = 0;
    RebuildSentence();
  });
  OnClicked(kRateReset, [this] {
    Quietly([this] {
      for (int message = 0; message < kNmeaMessageCount; ++message) SelectPosition(RateList(message), 0);
    });
    RebuildSentence();
  });
}

void CNmeaOutputDlg::PrepareControls() {
  for (int message = 0; message < kNmeaMessageCount; ++message) {
    auto* list = ControlAs<QComboBox>(RateList(message));
    if (list == nullptr) continue;
    list->clear();
    for (int rate = kMinNmeaRate; rate <= kMaxNmeaRate; ++rate) list->addItem(QString::number(rate));
  }
}

void CNmeaOutputDlg::LoadRecord(const app::CMainDlg& main) {
  values_.selectedCount = std::clamp(main.selectedCount, 0, kNmeaMessageCount);
  std::copy_n(main.selected.begin(), values_.selectedCount, values_.selected.begin());
  values_.rates = main.rates;
}

void CNmeaOutputDlg::ShowValues() {
  for (int message = 0; message < kNmeaMessageCount; ++message) {
    SelectPosition(RateList(message), values_.rates[static_cast<std::size_t>(message)] - kMinNmeaRate);
  }
}

std::vector<std::string> CNmeaOutputDlg::BuildSentences() {
  for (int message = 0; message < kNmeaMessageCount; ++message) {
    values_.rates[static_cast<std::size_t>(message)] = ListPosition(RateList(message)) + kMinNmeaRate;
  }
  NmeaOutputSentences built = BuildNmeaOutputSentences(values_);
  SetItemText(kSummary, built.summary);
  return {std::move(built.enableSentence), std::move(built.rateSentence)};
}

void CNmeaOutputDlg::StoreRecord(app::CMainDlg& main) {
  main.rates = values_.rates;
  main.selectedCount = values_.selectedCount;
  std::copy_n(values_.selected.begin(), values_.selectedCount, main.selected.begin());
}

}  // namespace dialogs
