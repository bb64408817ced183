// The message-mode dialog (template 137): when the receiver outputs its own
// data messages.

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/msg_mode_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::msg_mode;

constexpr std::array kMsgModeControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Message", 7, 9, 34, 9, kNoWrap},
    {kMessage, DropList, "", 44, 7, 150, 80, kVisible, dialogs::kMsgModeMessageItems},
    {kNoId, Label, "Mode", 7, 25, 34, 9, kNoWrap},
    {kMode, DropList, "", 44, 23, 150, 60, kVisible, dialogs::kMsgModeModeItems},

    {kSend, DefaultButton, "Send", 88, 42, 50, 14},
    {kIdCancel, Button, "Cancel", 144, 42, 50, 14},

    {kPreview, Preview, "", 7, 61, 187, 16},
});

constexpr DialogTemplate kMsgMode{kTemplate, "$PVLRX107", 201, 83, kMsgModeControls};

}  // namespace

const DialogTemplate& MsgModeTemplate() { return kMsgMode; }

}  // namespace tmpl
