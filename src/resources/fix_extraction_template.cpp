// The fix and extraction dialog (template 140): two switches, each
// "disable" or "enable".

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/fix_extraction_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::fix_extraction;

constexpr std::array kFixExtractionControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "FIX", 7, 9, 46, 9, kNoWrap},
    {kFix, DropList, "", 56, 7, 60, 40, kVisible, dialogs::kFixItems},
    {kNoId, Label, "EXTRACTION", 7, 25, 46, 9, kNoWrap},
    {kExtraction, DropList, "", 56, 23, 60, 40, kVisible, dialogs::kFixItems},

    {kSend, DefaultButton, "Send", 126, 7, 50, 14},
    {kIdCancel, Button, "Cancel", 126, 24, 50, 14},

    {kPreview, Preview, "", 7, 44, 169, 16},
});

constexpr DialogTemplate kFixExtraction{kTemplate, "$PVLRX113", 183, 66, kFixExtractionControls};

}  // namespace

const DialogTemplate& FixExtractionTemplate() { return kFixExtraction; }

}  // namespace tmpl
