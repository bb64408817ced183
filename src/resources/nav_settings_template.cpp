// The navigation settings dialog (template 138): eight numbered receiver
// parameters in two columns.

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/nav_settings_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::nav_settings;

constexpr std::array kNavSettingsControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Elevation", 7, 9, 40, 9, kNoWrap},
    {kElevation, Edit, "", 50, 7, 50, 12},
    {kNoId, Label, "Min SNR", 7, 25, 40, 9, kNoWrap},
    {kMinSnr, Edit, "", 50, 23, 50, 12},
    {kNoId, Label, "Max DOP", 7, 41, 40, 9, kNoWrap},
    {kMaxDop, Edit, "", 50, 39, 50, 12},
    {kNoId, Label, "Local time", 7, 57, 40, 9, kNoWrap},
    {kLocalTime, Edit, "", 50, 55, 50, 12},

    {kNoId, Label, "Max Altitude", 110, 9, 50, 9, kNoWrap},
    {kMaxAltitude, Edit, "", 162, 7, 72, 12},
    {kNoId, Label, "2D Altitude", 110, 25, 50, 9, kNoWrap},
    {kAltitude2D, Edit, "", 162, 23, 72, 12},
    {kNoId, Label, "Altitude Mode", 110, 41, 50, 9, kNoWrap},
    {kAltitudeMode, DropList, "", 162, 39, 72, 50, kVisible, dialogs::kAltitudeModeItems},
    {kNoId, Label, "Navigation", 110, 57, 50, 9, kNoWrap},
    {kNavigation, DropList, "", 162, 55, 72, 40, kVisible, dialogs::kNavigationItems},

    {kSend, DefaultButton, "Send", 128, 73, 50, 14},
    {kIdCancel, Button, "Cancel", 184, 73, 50, 14},

    {kPreview, Preview, "", 7, 92, 227, 24},
});

constexpr DialogTemplate kNavSettings{kTemplate, "$PVLRX110", 241, 122, kNavSettingsControls};

}  // namespace

const DialogTemplate& NavSettingsTemplate() { return kNavSettings; }

}  // namespace tmpl
