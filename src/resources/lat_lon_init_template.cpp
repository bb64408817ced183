// The latitude/longitude position-initialisation dialog (template 135).

#include <array>

#include "dialogs/list_items.h"
#include "resources/dialog_template.h"
#include "resources/lat_lon_init_ids.h"

namespace tmpl {
namespace {

using enum Kind;
using namespace ids::lat_lon_init;

constexpr std::array kLatLonInitControls = std::to_array<ControlTemplate>({
    {kNoId, Label, "LAT:", 7, 9, 20, 9, kNoWrap},
    {kNorthSouth, DropList, "", 28, 7, 24, 40, kVisible, dialogs::kNorthSouthItems},
    {kLatitude, Edit, "", 55, 7, 62, 12},
    {kNoId, Label, "Time of week", 124, 9, 48, 9, kNoWrap},
    {kTimeOfWeek, Edit, "", 175, 7, 55, 12},

    {kNoId, Label, "LON:", 7, 25, 20, 9, kNoWrap},
    {kEastWest, DropList, "", 28, 23, 24, 40, kVisible, dialogs::kEastWestItems},
    {kLongitude, Edit, "", 55, 23, 62, 12},
    {kNoId, Label, "Week number", 124, 25, 48, 9, kNoWrap},
    {kWeekNumber, Edit, "", 175, 23, 55, 12},

    {kNoId, Label, "Clock offset", 7, 41, 44, 9, kNoWrap},
    {kClockOffset, Edit, "", 52, 39, 42, 12},
    {kNoId, Label, "Altitude", 99, 41, 30, 9, kNoWrap},
    {kAltitude, Edit, "", 129, 39, 42, 12},
    {kNoId, Label, "Channel", 176, 41, 28, 9, kNoWrap},
    {kChannel, DropList, "", 204, 39, 26, 110, kVisible, dialogs::kChannelItems},

    {kSend, DefaultButton, "Send", 124, 57, 50, 14},
    {kIdCancel, Button, "Close", 180, 57, 50, 14},

    {kPreview, Preview, "", 7, 76, 223, 24},
});

constexpr DialogTemplate kLatLonInit{kTemplate, "$PVLRX104", 237, 106, kLatLonInitControls};

}  // namespace

const DialogTemplate& LatLonInitTemplate() { return kLatLonInit; }

}  // namespace tmpl
