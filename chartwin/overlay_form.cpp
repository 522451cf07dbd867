#include "chartwin/overlay_form.h"

#include <array>
#include <string>

#include "chartwin/overlay_format.h"
#include "platform/dialogs.h"

namespace nivora {

namespace {

std::int32_t packed(const Rgb& c) { return c.red + 256 * c.green + 65536 * c.blue; }

void chooseSwatchColour(ChartWindowRecords& p, std::string_view swatch, std::int32_t& colour)
{
    const std::optional<Rgb> chosen = p.ui.dialogs().chooseColour();
    if (!chosen)
        return;
    colour = packed(*chosen);
    paintColorSwatch(p.ui, swatch, colour);
}

struct OptionButton {
    const char* name;
    const char* group;
    int code;
};

// Every option button whose group decides which controls are enabled.
constexpr std::array<OptionButton, 15> optionButtons = {{
    {"RADIO11", "longitudeUnit", 1}, {"RADIO12", "longitudeUnit", 2}, {"RADIO13", "longitudeUnit", 3},
    {"RADIO14", "latitudeUnit", 1},  {"RADIO15", "latitudeUnit", 2},
    {"RADIO7", "markShape", 1},      {"RADIO8", "markShape", 2},      {"RADIO24", "markShape", 3},
    {"RADIO32", "markShape", 4},     {"RADIO67", "markShape", 5},
    {"RADIO9", "commentMode", 1},    {"RADIO10", "commentMode", 2},   {"RADIO16", "commentMode", 3},
    {"RADIO21", "endMode", 1},       {"RADIO22", "endMode", 2},
}};

} // namespace

void BUTTON13_ON(ChartWindowRecords& p)
{
    if (const auto path = p.ui.dialogs().openFile("DATA FILE", "", "(*.*)"))
        p.ui.control("EDIT54").setText(*path);
}

void PICTURE1_CLICK(ChartWindowRecords& p) { chooseSwatchColour(p, "PICTURE1", p.overlayColors.markColor); }
void PICTURE2_CLICK(ChartWindowRecords& p) { chooseSwatchColour(p, "PICTURE2", p.overlayColors.commentColor); }

void BUTTON9_ON(ChartWindowRecords& p) { p.ui.form("FORM4").hide(); }

void BUTTON14_ON(ChartWindowRecords& p)
{
    p.ui.control("CHECK4").setValue(0);
    p.ui.control("CHECK6").setValue(0);
    p.ui.form("FORM4").hide();
}

void BUTTON11_ON(ChartWindowRecords& p)
{
    if (const auto path = p.ui.dialogs().openFile("Load Format", "*.frm", "Format Data(*.frm)"))
        FRMLOAD(p.ui, p.overlayColors, p.folder / *path, 0);
}

void BUTTON12_ON(ChartWindowRecords& p)
{
    if (const auto path = p.ui.dialogs().saveFile("Save Format", "form_1.frm", "Format Data(*.frm)", true))
        FRMSAV(p.ui, p.overlayColors, p.folder / *path);
}

void bindOverlayForm(ChartWindowRecords& p)
{
    Ui& ui = p.ui;
    ui.bind("BUTTON13_ON", [&p] { BUTTON13_ON(p); });
    ui.bind("PICTURE1_CLICK", [&p] { PICTURE1_CLICK(p); });
    ui.bind("PICTURE2_CLICK", [&p] { PICTURE2_CLICK(p); });
    ui.bind("BUTTON9_ON", [&p] { BUTTON9_ON(p); });
    ui.bind("BUTTON14_ON", [&p] { BUTTON14_ON(p); });
    ui.bind("BUTTON11_ON", [&p] { BUTTON11_ON(p); });
    ui.bind("BUTTON12_ON", [&p] { BUTTON12_ON(p); });
    for (const OptionButton& b : optionButtons)
        ui.bind(std::string(b.name) + "_ON", [&ui, b] { enableOverlayControls(ui, b.group, b.code); });
}

} // namespace nivora
