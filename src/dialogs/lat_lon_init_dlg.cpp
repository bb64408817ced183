#include "dialogs/lat_lon_init_dlg.h"

#include "app/main_dlg.h"
#include "dialogs/sentences.h"
#include "resources/lat_lon_init_ids.h"

namespace dialogs {

using namespace ids::lat_lon_init;

CLatLonInitDlg::CLatLonInitDlg(QWidget* parent)
    : CConfigDlg(tmpl::LatLonInitTemplate(), kSend, kPreview, parent) {}

void CLatLonInitDlg::LoadRecord(const app::CMainDlg& main) { values_ = main.latLonSettings; }

void CLatLonInitDlg::ShowValues() {
  SelectPosition(kNorthSouth, values_.northSouthIndex);
  SelectPosition(kEastWest, values_.eastWestIndex);
  SelectPosition(kChannel, values_.channelIndex);
  SetItemText(kLatitude, values_.latitude);
  SetItemText(kLongitude, values_.longitude);
  SetItemText(kAltitude, values_.altitude);
  SetItemText(kClockOffset, values_.clockOffset);
  SetItemText(kTimeOfWeek, values_.timeOfWeek);
  SetItemText(kWeekNumber, values_.weekNumber);
}

std::vector<std::string> CLatLonInitDlg::BuildSentences() {
  values_.latitude = FieldText(kLatitude);
  values_.northSouthIndex = ListPosition(kNorthSouth);
  values_.longitude = FieldText(kLongitude);
  values_.eastWestIndex = ListPosition(kEastWest);
  values_.altitude = FieldText(kAltitude);
  values_.clockOffset = FieldText(kClockOffset);
  values_.timeOfWeek = FieldText(kTimeOfWeek);
  values_.weekNumber = FieldText(kWeekNumber);
  values_.channelIndex = ListPosition(kChannel);
  return {BuildLatLonInitSentence(values_)};
}

void CLatLonInitDlg::StoreRecord(app::CMainDlg& main) { main.latLonSettings = values_; }

}  // namespace dialogs
