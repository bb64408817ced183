// Every text of the receiver configuration dialogs can be read in full:
// captions fit their controls, list items fit their lists, and static text
// does not run under the buttons beside it.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "caption_checks.h"
#include "dialogs/datum_dlg.h"
#include "dialogs/ecef_init_dlg.h"
#include "dialogs/fix_extraction_dlg.h"
#include "dialogs/lat_lon_init_dlg.h"
#include "dialogs/low_power_dlg.h"
#include "dialogs/msg_mode_dlg.h"
#include "dialogs/nav_settings_dlg.h"
#include "dialogs/nmea_output_dlg.h"
#include "dialogs/reset_dlg.h"
#include "dialogs/uart_dlg.h"

namespace {

template <typename Dialog>
std::unique_ptr<dialogs::CConfigDlg> Make() {
  return std::make_unique<Dialog>();
}

TEST(CaptionsFit, InEveryConfigurationDialogAndItsLists) {
  for (auto make : {Make<dialogs::CNmeaOutputDlg>, Make<dialogs::CUartDlg>, Make<dialogs::CLowPowerDlg>,
                    Make<dialogs::CEcefInitDlg>, Make<dialogs::CLatLonInitDlg>, Make<dialogs::CDatumDlg>,
                    Make<dialogs::CMsgModeDlg>, Make<dialogs::CNavSettingsDlg>, Make<dialogs::CResetDlg>,
                    Make<dialogs::CFixExtractionDlg>}) {
    const std::unique_ptr<dialogs::CConfigDlg> dlg = make();
    dlg->show();  // fills the lists
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    for (const std::string& problem : uitest::CaptionProblems(*dlg)) ADD_FAILURE() << problem;
  }
}

}  // namespace
