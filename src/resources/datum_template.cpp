// The datum dialog (template 136). The list is filled from the datum
// catalogue when the dialog opens.

#include <array>

#include "resources/datum_ids.h"
#include "resources/dialog_template.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::datum;

constexpr std::array kDatumControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "Datum", 7, 9, 25, 9, kNoWrap},
    {kList, DropList, "", 34, 7, 230, 150},

    {kNoId, Label, "Dx", 7, 27, 12, 9, kNoWrap},
    {kDx, Edit, "", 20, 25, 52, 12},
    {kNoId, Label, "Dy", 80, 27, 12, 9, kNoWrap},
    {kDy, Edit, "", 93, 25, 52, 12},
    {kNoId, Label, "Dz", 153, 27, 12, 9, kNoWrap},
    {kDz, Edit, "", 166, 25, 52, 12},

    {kNoId, Label, "Iflat", 7, 45, 18, 9, kNoWrap},
    {kInverseFlattening, Edit, "", 27, 43, 60, 12},
    {kNoId, Label, "Majora", 95, 45, 28, 9, kNoWrap},
    {kSemiMajorAxis, Edit, "", 125, 43, 60, 12},

    {kSend, DefaultButton, "Send", 158, 61, 50, 14},
    {kIdCancel, Button, "Cancel", 214, 61, 50, 14},

    {kPreview, Preview, "", 7, 80, 257, 24},
});

constexpr DialogTemplate kDatum{kTemplate, "Datum", 271, 110, kDatumControls};

}  // namespace

const DialogTemplate& DatumTemplate() { return kDatum; }

}  // namespace tmpl
