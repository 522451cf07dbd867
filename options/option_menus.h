// The three option menus of the main window ("Display Option", "Projection", "Sun,Moon and Tech"):
// their layout, and what choosing one of their items does to the option records and check marks.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "options/option_records.h"

namespace nivora {

// The member an option item writes. Radio items of one group share it; a switch owns it alone.
enum class OptionGroup : std::uint8_t {
    none, // a sub-menu, a separator or an item that opens a form
    whiteBackground,
    magnitudeLimit,
    constellationLines,
    zenithGridStep,
    zenithGridNumbers,
    equatorGridStep,
    equatorGridNumbers,
    equatorGridEquinox,
    eclipticGridStep,
    eclipticGridNumbers,
    eclipticGridEquinox,
    moonLineMode,
    earthGridMinutes,
    centerCoordsMode,
    refractionOn,
    diurnalAberrationOn,
    centralizeWeighting,
    projectionKind,
    directionPointPlace,
    underHorizonDepth,
    verticalDirection,
    sunDisplayMode,
    antisunDisplayMode,
    moonDisplayMode,
    orbitObjectDisplayMode,
    readoutBody,
    readoutParallax,
    readoutCorrection,
    readoutFrame,
    poleDataReadout,
};

enum class MenuLineKind : std::uint8_t { menu, item, separator };

// One line of a menu table in display order. Depth 0 is a menu of the menu bar, depth 1 its
// entries, deeper lines belong to the sub-menu above them.
struct OptionMenuLine {
    int depth;
    MenuLineKind kind;
    std::string_view name;
    std::string_view caption;
    OptionGroup group = OptionGroup::none;
    double code = 0;            // what a radio item stores
    std::string_view form = {}; // the form an item shows ("FORM5"), empty otherwise
};

// "Display Option", "Projection" and "Sun,Moon and Tech", in display order.
std::span<const OptionMenuLine> optionMenuLines();

// Where the option items move check marks; the main window's menu bar in the program.
class MenuMarks {
public:
    virtual ~MenuMarks() = default;
    virtual void setChecked(std::string_view itemName, bool checked) = 0;
};

// Whether the group is a 0/1 switch of its own item rather than a radio group.
bool isSwitchGroup(OptionGroup group);

// Whether an option item shows a check mark for the records as they stand: the radio item whose
// code is stored, the switch whose member is 1.
bool optionItemChecked(const OptionMenuLine& line, const ChartOptions& chart,
                       const ReadoutOptions& readout);

// The handler of an option item (names match without regard to case): a radio item stores its
// code and checks itself and unchecks the rest of its group; a switch flips its member and shows
// the new value; "Zenithal" (SUNLOCZN) also turns on the parallax and chooses "aparent".
// Returns false, changing nothing, for a name that is no option item (the form items included).
bool chooseOptionItem(std::string_view itemName, ChartOptions& chart, ReadoutOptions& readout,
                      MenuMarks& marks);

// Sets the mark of every option item to show the records.
void showOptionMarks(const ChartOptions& chart, const ReadoutOptions& readout, MenuMarks& marks);

// The line of an option menu item, sub-menu or named separator; null when there is none.
const OptionMenuLine* findOptionMenuLine(std::string_view name);

// Names equal without regard to ASCII case, as menu and control names are matched.
bool sameName(std::string_view a, std::string_view b);

} // namespace nivora
