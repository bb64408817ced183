// The NMEA output-rate dialog (template 131): which standard sentences the
// receiver outputs, in which order and at which rate.

#include <array>

#include "resources/dialog_template.h"
#include "resources/nmea_output_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::nmea_output;

// One column per message: its button above its rate list.
constexpr int kColumnX = 30;
constexpr int kColumnStep = 34;
constexpr int Column(int message) { return kColumnX + message * kColumnStep; }

constexpr std::array kNmeaOutputControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Msg", 7, 10, 22, 9, kNoWrap},
    {kFirstMessage + 0, Button, "GGA", Column(0), 7, 32, 14},
    {kFirstMessage + 1, Button, "GLL", Column(1), 7, 32, 14},
    {kFirstMessage + 2, Button, "GSA", Column(2), 7, 32, 14},
    {kFirstMessage + 3, Button, "GSV", Column(3), 7, 32, 14},
    {kFirstMessage + 4, Button, "RMC", Column(4), 7, 32, 14},
    {kFirstMessage + 5, Button, "VTG", Column(5), 7, 32, 14},
    {kFirstMessage + 6, Button, "ZDA", Column(6), 7, 32, 14},
    {kMessageReset, Button, "Reset", Column(7), 7, 36, 14},

    {kNoId, Label, "Rate", 7, 28, 22, 9, kNoWrap},
    {kFirstRate + 0, DropList, "", Column(0), 26, 32, 110},
    {kFirstRate + 1, DropList, "", Column(1), 26, 32, 110},
    {kFirstRate + 2, DropList, "", Column(2), 26, 32, 110},
    {kFirstRate + 3, DropList, "", Column(3), 26, 32, 110},
    {kFirstRate + 4, DropList, "", Column(4), 26, 32, 110},
    {kFirstRate + 5, DropList, "", Column(5), 26, 32, 110},
    {kFirstRate + 6, DropList, "", Column(6), 26, 32, 110},
    {kRateReset, Button, "Reset", Column(7), 25, 36, 14},

    {kNoId, Label, "Selected Msg:", 7, 46, 50, 9, kNoWrap},
    {kSummary, Label, "", 58, 46, 170, 9, kEndEllipsis},
    {kSend, DefaultButton, "Send", 204, 44, 48, 14},
    {kIdCancel, Button, "Close", 256, 44, 48, 14},

    {kPreview, Preview, "", 7, 63, 297, 28},
});

constexpr DialogTemplate kNmeaOutput{kTemplate, "NMEA message", 311, 97, kNmeaOutputControls};

}  // namespace

const DialogTemplate& NmeaOutputTemplate() { return kNmeaOutput; }

}  // namespace tmpl
