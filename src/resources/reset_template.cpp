// The reset dialog (template 139): a start-mode keyword, or the restart bits
// as tick boxes when "Binary Format" is ticked.

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/reset_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::reset;

// Rows of the two columns of restart bits.
constexpr int Row(int n) { return 37 + n * 12; }

constexpr std::array kResetControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Start Mode", 7, 9, 40, 9, kNoWrap},
    {kStartMode, DropList, "", 50, 7, 64, 60, kVisible, dialogs::kStartModeItems},
    {kBinaryFormat, CheckBox, "Binary Format", 126, 8, 70, 10},

    // "&&" shows one ampersand: a single one would mark a keyboard shortcut.
    {kNoId, GroupBox, "Second Parameter", 7, 25, 294, 60},
    {kFirstFlag + 0, CheckBox, "Reload settings from Flash", 13, Row(0), 135, 10},
    {kFirstFlag + 1, CheckBox, "Clear almanac data", 13, Row(1), 135, 10},
    {kFirstFlag + 2, CheckBox, "Clear Ephemeris data", 13, Row(2), 135, 10},
    {kFirstFlag + 3, CheckBox, "Clear Ionospheric && tropospheric", 13, Row(3), 135, 10},
    {kFirstFlag + 4, CheckBox, "Invalidate position", 152, Row(0), 145, 10},
    {kFirstFlag + 5, CheckBox, "Invalidate time", 152, Row(1), 145, 10},
    {kFirstFlag + 6, CheckBox, "Copy oscillator offset from settings", 152, Row(2), 145, 10},
    {kFirstFlag + 7, CheckBox, "Repeated at each reset", 152, Row(3), 145, 10},

    {kSend, DefaultButton, "Send", 195, 90, 50, 14},
    {kIdCancel, Button, "Cancel", 251, 90, 50, 14},

    {kPreview, Preview, "", 7, 109, 294, 16},
});

constexpr DialogTemplate kReset{kTemplate, "$PVLRX111", 308, 131, kResetControls};

}  // namespace

const DialogTemplate& ResetTemplate() { return kReset; }

}  // namespace tmpl
