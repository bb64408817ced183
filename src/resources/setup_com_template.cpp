#include <array>

#include "resources/dialog_template.h"
#include "resources/setup_com_ids.h"

namespace tmpl {
namespace {

using enum Kind;

constexpr std::array kSetupComControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "COM PORT", 8, 10, 44, 9, kNoWrap},
    {ids::kSetupComPort, DropList, "", 56, 8, 60, 120},
    {kNoId, Label, "BAUD RATE", 8, 28, 44, 9, kNoWrap},
    {ids::kSetupBaudRate, DropList, "", 56, 26, 60, 120},
    {ids::kSetupDevice, Label, "", 8, 46, 170, 9, kNoWrap},
    {ids::kSetupDetails, Preview, "", 8, 58, 224, 90},
    {kNoId, Label, "Network address for this name: tcp://host:port (raw NMEA) or gpsd://host[:port][/device]",
     8, 152, 224, 18},
    {ids::kSetupAddress, Edit, "", 8, 171, 186, 12},
    {ids::kSetupUseAddress, Button, "Use", 198, 170, 34, 14},
    {ids::kSetupAddressNote, Label, "", 8, 187, 224, 18},
    {kIdOk, DefaultButton, "OK", 130, 7, 46, 14},
    {kIdCancel, Button, "Cancel", 130, 25, 46, 14},
});

constexpr DialogTemplate kSetupCom{ids::kSetupComTemplate, "Setup COM Port", 240, 209, kSetupComControls};

}  // namespace

const DialogTemplate& SetupComTemplate() { return kSetupCom; }

}  // namespace tmpl
