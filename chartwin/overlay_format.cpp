#include "chartwin/overlay_format.h"

#include "options/settings_lines.h"
#include "platform/files.h"

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace nivora {

namespace {

constexpr std::int32_t green = 0x00FF00;
constexpr std::int32_t magenta = 0xFF00FF;

// The list index's (class, variant), in list order.
constexpr std::array<std::array<int, 2>, 10> frameOfIndex = {{
    {1, 0}, {4, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {3, 0}, {3, 1}, {3, 2}, {3, 3},
}};

using Names = std::vector<std::string_view>;

const Names longitudeMinutesRow = {"TEXT67", "EDIT30", "TEXT65", "EDIT31", "TEXT66"};
const Names latitudeMinutesRow = {"TEXT71", "EDIT32", "TEXT69", "EDIT33", "TEXT70"};
const Names magnitudeRow = {"TEXT51", "EDIT24", "TEXT52", "EDIT25", "TEXT53"};
const Names radiusRows = {"TEXT73", "EDIT35", "TEXT74", "EDIT36", "TEXT75", "TEXT76",
                          "RADIO25", "RADIO26", "TEXT77", "EDIT37", "TEXT78"};
const Names commentTextRow = {"TEXT54", "EDIT26", "TEXT55", "EDIT27", "TEXT56"};
const Names commentIntervalRows = {"TEXT57", "EDIT28", "TEXT58", "TEXT63",
                                   "RADIO17", "RADIO18", "RADIO19", "RADIO20"};
const Names endMarkerRow = {"EDIT34"};

void enable(Ui& ui, const Names& names, bool on)
{
    for (std::string_view name : names) ui.control(name).setEnabled(on);
}

struct GroupRange {
    std::string_view group;
    int high;
};
// The coded groups of the form and their highest codes (every scheme starts at 1).
constexpr std::array<GroupRange, 7> groupRanges = {{
    {"longitudeUnit", 3}, {"latitudeUnit", 2}, {"markShape", 5}, {"commentMode", 3},
    {"commentPosition", 4}, {"endMode", 2}, {"radiusUnit", 2},
}};

bool inRange(std::string_view group, int code)
{
    for (const GroupRange& g : groupRanges)
        if (g.group == group) return code >= 1 && code <= g.high;
    return false;
}

// A coded group set from a file: a code outside its range leaves buttons and enabling alone.
void setGroup(Ui& ui, std::string_view group, int code)
{
    if (!inRange(group, code)) return;
    ui.form("FORM4").setGroupCode(group, code);
    enableOverlayControls(ui, group, code);
}

void setSwitch(Ui& ui, std::string_view check, double value)
{
    ui.control(check).setValue(value == 1 ? 1 : 0);
}

std::int32_t colourOrDefault(double value, std::int32_t fallback)
{
    return value >= 0 && value <= 0xFFFFFF ? std::int32_t(value) : fallback;
}

struct SearchRow {
    std::string_view check, column, width, title;
};
constexpr std::array<SearchRow, 4> searchRows = {{
    {"CHECK7", "EDIT44", "EDIT45", "EDIT50"},
    {"CHECK8", "EDIT46", "EDIT47", "EDIT51"},
    {"CHECK9", "EDIT48", "EDIT49", "EDIT52"},
    {"CHECK10", "EDIT56", "EDIT57", "EDIT55"},
}};

void clearSearchRow(Ui& ui, const SearchRow& row)
{
    ui.control(row.check).setValue(0);
    for (std::string_view edit : {row.column, row.width, row.title}) ui.control(edit).setText("");
}

// Row r's four lines from `first`: on, column, width, title.
void readSearchRow(Ui& ui, const SearchRow& row, const SettingsLines& in, int first)
{
    setSwitch(ui, row.check, in.number(first));
    ui.control(row.column).setText(in.item(first + 1));
    ui.control(row.width).setText(in.item(first + 2));
    ui.control(row.title).setText(in.whole(first + 3));
}

// Whole lines from `first` on into the edits, in order.
void setTexts(Ui& ui, const SettingsLines& in, int first, std::initializer_list<std::string_view> edits)
{
    for (std::string_view edit : edits) ui.control(edit).setText(in.whole(first++));
}

} // namespace

void CRDCNV1(int index, int& frameClass, int& frameVariant)
{
    if (index < 0 || index > 9) return;
    frameClass = frameOfIndex[size_t(index)][0];
    frameVariant = frameOfIndex[size_t(index)][1];
}

void CRDCNV2(int frameClass, int frameVariant, int& index)
{
    switch (frameClass) {
    case 1: index = 0; break;
    case 4: index = 1; break;
    case 2:
    case 3:
        // An unknown variant would name an entry of the other class.
        if (frameVariant >= 0 && frameVariant <= 3) index = (frameClass == 2 ? 2 : 6) + frameVariant;
        break;
    default: break;
    }
}

void enableOverlayControls(Ui& ui, std::string_view group, int code)
{
    if (!inRange(group, code)) return;
    if (group == "longitudeUnit") {
        enable(ui, longitudeMinutesRow, code != 1);
    } else if (group == "latitudeUnit") {
        enable(ui, latitudeMinutesRow, code == 2);
    } else if (group == "markShape") {
        enable(ui, magnitudeRow, code == 2);
        enable(ui, radiusRows, code == 3 || code == 5);
    } else if (group == "commentMode") {
        enable(ui, commentTextRow, code == 2);
        enable(ui, commentIntervalRows, code != 1);
    } else if (group == "endMode") {
        enable(ui, endMarkerRow, code == 2);
    }
}

Rgb swatchTextColour(std::int32_t colour)
{
    const int sum = colour % 256 + colour / 256 % 256 + colour / 65536;
    return sum < 256 ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
}

void paintColorSwatch(Ui& ui, std::string_view swatch, std::int32_t colour)
{
    const Rgb text = swatchTextColour(colour);
    Control picture = ui.control(swatch);
    picture.fill({colour % 256, colour / 256 % 256, colour / 65536});
    picture.drawText(2, 1, "Click here to Select", text);
    picture.drawText(2, 15, swatch == "PICTURE1" ? "the Marking Color" : "the Comment Color", text);
}

void setSwatchFonts(Ui& ui)
{
    // 12 pixels high (9 points): the two caption rows stand 14 pixels apart in a 120-pixel box.
    for (std::string_view swatch : {"PICTURE1", "PICTURE2"}) ui.control(swatch).setFont({"Arial", 9});
}

void setOverlayDefaults(Ui& ui, OverlayColors& colors)
{
    ui.control("EDIT54").setText("tokyo10828.txt");
    colors.markColor = green;
    colors.commentColor = magenta;
    paintColorSwatch(ui, "PICTURE1", colors.markColor);
    paintColorSwatch(ui, "PICTURE2", colors.commentColor);
    ui.control("COMBO3").setIndex(0);
}

bool FRMSAV(Ui& ui, const OverlayColors& colors, const std::filesystem::path& file)
{
    const Form form = ui.form("FORM4");
    int frameClass = 1, frameVariant = 0;
    CRDCNV1(ui.control("COMBO3").index(), frameClass, frameVariant);
    auto text = [&](std::string_view edit) { return ui.control(edit).text(); };
    auto value = [&](std::string_view check) { return settingsNumber(ui.control(check).value()); };
    auto code = [&](std::string_view group) { return settingsNumber(form.groupCode(group)); };

    std::vector<std::string> lines = {
        text("EDIT54"), settingsNumber(frameClass), value("CHECK5"),
        code("longitudeUnit"), text("EDIT20"), text("EDIT21"), text("EDIT30"), text("EDIT31"),
        code("latitudeUnit"), text("EDIT22"), text("EDIT23"), text("EDIT32"), text("EDIT33"),
        code("markShape"), text("EDIT24"), text("EDIT25"),
        code("commentMode"), text("EDIT26"), text("EDIT27"), text("EDIT28"),
        code("commentPosition"), text("EDIT29"), code("endMode"), text("EDIT34"),
        text("EDIT35"), text("EDIT36"), text("EDIT37"), code("radiusUnit"),
        text("EDIT39"), settingsNumber(int(colors.markColor)), settingsNumber(int(colors.commentColor)),
    };
    auto addRow = [&](const SearchRow& row) {
        for (std::string_view s : {value(row.check), text(row.column), text(row.width), text(row.title)})
            lines.emplace_back(s);
    };
    for (size_t r = 0; r < 3; ++r) addRow(searchRows[r]);
    lines.push_back(value("CHECK4"));
    lines.push_back(value("CHECK6"));
    addRow(searchRows[3]);
    lines.push_back(settingsNumber(frameVariant));
    lines.push_back(value("CHECK12"));

    FileReplacer out(file);
    for (const std::string& line : lines) out.line(line);
    if (out.commit()) return true;
    ui.alert(out.error());
    return false;
}

bool FRMLOAD(Ui& ui, OverlayColors& colors, const std::filesystem::path& file, int mode, bool* unreadable)
{
    std::string why;
    const auto read = readLines(file, &why);
    if (unreadable) *unreadable = !read;
    if (!read || read->size() < 24) {
        ui.alert(read ? "The format file " + file.string() + " is too short." : why);
        return false;
    }
    const SettingsLines in(*read);

    ui.control("EDIT54").setText(in.whole(1));
    const int frameClass = settingsInteger<int>(in.number(2));
    setSwitch(ui, "CHECK5", in.number(3));

    setTexts(ui, in, 5, {"EDIT20", "EDIT21", "EDIT30", "EDIT31"});
    setGroup(ui, "longitudeUnit", settingsInteger<int>(in.number(4)));
    setTexts(ui, in, 10, {"EDIT22", "EDIT23", "EDIT32", "EDIT33"});
    setGroup(ui, "latitudeUnit", settingsInteger<int>(in.number(9)));

    setTexts(ui, in, 15, {"EDIT24", "EDIT25"});
    setGroup(ui, "markShape", settingsInteger<int>(in.number(14)));
    setTexts(ui, in, 18, {"EDIT26", "EDIT27", "EDIT28"});
    setGroup(ui, "commentMode", settingsInteger<int>(in.number(17)));
    setGroup(ui, "commentPosition", settingsInteger<int>(in.number(21)));
    ui.control("EDIT29").setText(in.whole(22));
    setGroup(ui, "endMode", settingsInteger<int>(in.number(23)));
    ui.control("EDIT34").setText(in.whole(24));

    if (in.has(28)) {
        setTexts(ui, in, 25, {"EDIT35", "EDIT36", "EDIT37"});
        setGroup(ui, "radiusUnit", settingsInteger<int>(in.number(28)));
    } else {
        ui.control("EDIT35").setText("");
        ui.control("EDIT36").setText("");
        ui.control("EDIT37").setText("1");
    }
    ui.control("EDIT39").setText(in.has(29) ? in.item(29) : "1");

    colors.markColor = in.has(31) ? colourOrDefault(in.number(30), green) : green;
    colors.commentColor = in.has(31) ? colourOrDefault(in.number(31), magenta) : magenta;
    paintColorSwatch(ui, "PICTURE1", colors.markColor);
    paintColorSwatch(ui, "PICTURE2", colors.commentColor);

    if (in.has(45)) {
        for (size_t r = 0; r < 3; ++r) readSearchRow(ui, searchRows[r], in, 32 + 4 * int(r));
        if (mode == 1) {
            setSwitch(ui, "CHECK4", in.number(44));
            setSwitch(ui, "CHECK6", in.number(45));
        }
    } else {
        for (size_t r = 0; r < 3; ++r) clearSearchRow(ui, searchRows[r]);
    }
    if (in.has(49)) readSearchRow(ui, searchRows[3], in, 46);
    else clearSearchRow(ui, searchRows[3]);

    const int frameVariant = in.has(50) ? settingsInteger<int>(in.number(50)) : 0;
    int index = ui.control("COMBO3").index();
    CRDCNV2(frameClass, frameVariant, index);
    ui.control("COMBO3").setIndex(index);

    if (in.has(51)) setSwitch(ui, "CHECK12", in.number(51));
    return true;
}

} // namespace nivora
