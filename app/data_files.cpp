#include "app/data_files.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/fonts.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace nivora {

namespace {

struct FileRow {
    int set, kind;
    std::string_view edit, button, title, filter;
};

const std::array<FileRow, 8> fileRows = {{
    {0, 0, "EDIT58", "BUTTON2", "STAR LIST(Mag<5.5)", "(*.*)"},
    {0, 1, "EDIT59", "BUTTON7", "STARS LIST(Mag>5.5)", "(*.*)"},
    {0, 2, "EDIT60", "BUTTON3", "CONSTELLATION LIST FILE", "(*.*)"},
    {0, 3, "EDIT61", "BUTTON4", "CONSTELLATION LINE FILE", "(*.net)"},
    {1, 0, "EDIT93", "BUTTON55", "Cities List", "(*.*)"},
    {1, 1, "EDIT94", "BUTTON58", "(Reserved)", "(*.*)"},
    {1, 2, "EDIT95", "BUTTON56", "Nations List", "(*.*)"},
    {1, 3, "EDIT96", "BUTTON57", "Coast and Boundary line", "(*.net)"},
}};

std::string& entry(ProgramRecords& p, const FileRow& row)
{
    return p.dataFileSettings.dataFiles[size_t(row.set)][size_t(row.kind)];
}

// The controls that show names the user may have typed in the system's code page.
constexpr std::array<std::string_view, 8> nameControls = {
    "COMBO2", "EDIT19", "EDIT38", "EDIT58", "EDIT59", "EDIT60", "EDIT61", "EDIT54",
};

} // namespace

void refillConstellationList(ProgramRecords& p)
{
    const int set = p.chartView.earthMap == 1 ? 1 : 0;
    const std::string& name = p.dataFileSettings.dataFiles[size_t(set)][constellationList];
    const std::string what = set == 1 ? "The list of nations" : "The list of constellations";
    Control box = p.ui.control("COMBO2");
    box.clearItems();
    if (name.empty()) {
        p.ui.alert(what + " has no file name.");
        return;
    }
    const auto lines = readLines(p.file(name));
    if (!lines) {
        p.ui.alert(what + " " + name + " cannot be read.");
        return;
    }
    std::vector<std::string> items;
    bool ended = false;
    for (const std::string& line : *lines) {
        if (line.starts_with("#-")) {
            ended = true;
            break;
        }
        if (!line.starts_with("#")) items.push_back(line);
    }
    box.setItems(items);
    box.setIndex(-1);
    if (!ended) p.ui.alert(what + " " + name + " has no \"#-\" line at its end.");
}

void applyInterfaceFonts(ProgramRecords& p, const std::vector<std::string>& families)
{
    std::uint8_t& fontKind = p.dataFileSettings.fontKind;
    const bool japanese =
        fontKind == 2 && std::find(families.begin(), families.end(), "MS UI Gothic") != families.end();
    if (!japanese && fontKind == 2) fontKind = 1;
    const std::string family = japanese ? "MS UI Gothic" : "Arial";
    for (std::string_view name : nameControls) {
        if (!p.ui.hasControl(name)) continue;
        Control control = p.ui.control(name);
        FontSpec font = control.font();
        font.family = family;
        control.setFont(font);
    }
    if (p.ui.hasForm("FORM6"))
        p.ui.form("FORM6").setFont(japanese ? FontSpec{"ＭＳ ゴシック", 16} : FontSpec{"Courier New", 14});
}

void applyInterfaceFonts(ProgramRecords& p) { applyInterfaceFonts(p, fontFamilies()); }

void SETF3(ProgramRecords& p, std::int16_t mode)
{
    for (const FileRow& row : fileRows) p.ui.control(row.edit).setText(entry(p, row));
    const std::uint8_t fontKind = p.dataFileSettings.fontKind;
    if (fontKind == 1 || fontKind == 2) {
        p.ui.control("RADIO57").setValue(fontKind == 1 ? 1 : 0);
        p.ui.control("RADIO58").setValue(fontKind == 2 ? 1 : 0);
    }
    if (mode != 1) return;
    applyInterfaceFonts(p);
    refillConstellationList(p);
}

void READF3(ProgramRecords& p)
{
    const int fontKind = p.ui.control("RADIO57").value() + 2 * p.ui.control("RADIO58").value();
    p.dataFileSettings.fontKind = std::uint8_t(fontKind);
    applyInterfaceFonts(p);
    auto& files = p.dataFileSettings.dataFiles;
    for (const FileRow& row : fileRows)
        if (row.kind != constellationList) entry(p, row) = p.ui.control(row.edit).text();

    const int current = p.chartView.earthMap == 1 ? 1 : 0;
    const std::string lists[2] = {p.ui.control("EDIT60").text(), p.ui.control("EDIT95").text()};
    files[size_t(1 - current)][constellationList] = lists[1 - current];
    if (lists[current] == files[size_t(current)][constellationList]) return;
    files[size_t(current)][constellationList] = lists[current];
    refillConstellationList(p);
}

void bindSettingFiles(ProgramRecords& p)
{
    p.ui.bind("SETFILES_ON", [&p] { p.ui.form("FORM3").show(); });
    for (const FileRow& row : fileRows) {
        p.ui.bind(std::string(row.button) + "_ON", [&p, row] {
            const auto chosen =
                p.ui.dialogs().openFile(row.title, p.file(entry(p, row)).string(), row.filter);
            if (chosen) p.ui.control(row.edit).setText(*chosen);
        });
    }
    p.ui.bind("BUTTON5_ON", [&p] {
        p.ui.form("FORM3").hide();
        READF3(p);
    });
    p.ui.bind("BUTTON6_ON", [&p] {
        p.ui.form("FORM3").hide();
        SETF3(p, 0);
    });
}

} // namespace nivora
