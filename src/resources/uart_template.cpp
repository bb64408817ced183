// The UART settings dialog (template 132): the receiver's protocol and baud
// rate. The parity row is kept in the template but hidden; a warning stands
// in its place.

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/uart_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::uart;

constexpr std::array kUartControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Protocol", 7, 9, 34, 9, kNoWrap},
    {kProtocol, DropList, "", 44, 7, 80, 50, kVisible, dialogs::kProtocolItems},
    {kNoId, Label, "Baud", 7, 25, 34, 9, kNoWrap},
    {kBaud, DropList, "", 44, 23, 80, 100, kVisible, dialogs::kBaudItems},
    {kParityLabel, Label, "Parity", 7, 41, 34, 9, kNoWrap | kHidden},
    {kParity, DropList, "", 44, 39, 80, 60, kHidden, dialogs::kParityItems},
    {kWarning, Label, "Please don't change  the baud rate of DA-ZIV", 7, 41, 180, 9, kNoWrap},

    {kSend, Button, "Send", 136, 7, 50, 14},
    {kIdCancel, Button, "Close", 136, 24, 50, 14},

    {kPreview, Preview, "", 7, 56, 183, 16},
});

constexpr DialogTemplate kUart{kTemplate, "Change UART baud rate", 197, 78, kUartControls};

}  // namespace

const DialogTemplate& UartTemplate() { return kUart; }

}  // namespace tmpl
