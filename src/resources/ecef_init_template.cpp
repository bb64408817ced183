// The ECEF position-initialisation dialog (template 134). Neither button is
// the default one: Enter ends the dialog as Close does.

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/ecef_init_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::ecef_init;

constexpr std::array kEcefInitControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "ECEF_X", 7, 9, 30, 9, kNoWrap},
    {kX, Edit, "", 40, 7, 70, 12},
    {kNoId, Label, "ECEF_Y", 7, 25, 30, 9, kNoWrap},
    {kY, Edit, "", 40, 23, 70, 12},
    {kNoId, Label, "ECEF_Z", 7, 41, 30, 9, kNoWrap},
    {kZ, Edit, "", 40, 39, 70, 12},

    {kNoId, Label, "Clock", 120, 9, 26, 9, kNoWrap},
    {kClock, Edit, "", 150, 7, 70, 12},
    {kNoId, Label, "Time", 120, 25, 26, 9, kNoWrap},
    {kTime, Edit, "", 150, 23, 70, 12},
    {kNoId, Label, "Week", 120, 41, 26, 9, kNoWrap},
    {kWeek, Edit, "", 150, 39, 70, 12},

    {kNoId, Label, "Channel", 7, 59, 30, 9, kNoWrap},
    {kChannel, DropList, "", 40, 57, 40, 110, kVisible, dialogs::kChannelItems},
    {kNoId, Label, "Reset", 120, 59, 26, 9, kNoWrap},
    {kReset, DropList, "", 150, 57, 70, 70, kVisible, dialogs::kResetModeItems},

    {kSend, Button, "Send", 114, 75, 50, 14},
    {kIdCancel, Button, "Close", 170, 75, 50, 14},

    {kPreview, Preview, "", 7, 94, 213, 24},
});

constexpr DialogTemplate kEcefInit{kTemplate, "$PVLRX101", 227, 124, kEcefInitControls};

}  // namespace

const DialogTemplate& EcefInitTemplate() { return kEcefInit; }

}  // namespace tmpl
