// The low-power dialog (template 133): operating mode and OFF period.

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/low_power_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::low_power;

constexpr std::array kLowPowerControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Operating Mode", 7, 9, 56, 9, kNoWrap},
    {kMode, DropList, "", 64, 7, 70, 50, kVisible, dialogs::kOperatingModeItems},
    {kNoId, Label, "OFF Period", 7, 25, 56, 9, kNoWrap},
    {kOffPeriod, DropList, "", 64, 23, 70, 120, kVisible, dialogs::kOffPeriodItems},

    {kSend, DefaultButton, "Send", 144, 7, 50, 14},
    {kIdCancel, Button, "Cancel", 144, 24, 50, 14},

    {kPreview, Preview, "", 7, 44, 187, 16},
});

constexpr DialogTemplate kLowPower{kTemplate, "Low Power Mode", 201, 66, kLowPowerControls};

}  // namespace

const DialogTemplate& LowPowerTemplate() { return kLowPower; }

}  // namespace tmpl
