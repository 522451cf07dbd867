#include "chartwin/user_data_file.h"

#include <algorithm>
#include <cmath>

#include "astro/fieldnumber.h"
#include "chartwin/keyword_search.h"
#include "chartwin/overlay_format.h"
#include "platform/forms.h"

namespace nivora {

namespace {

// A format file may hold fractions or huge values where typing allows only digits: the nearest
// whole number, halves away from zero, kept within what any line can reach.
int number(const Ui& ui, const char* control) {
    const double v = readFieldNumber(ui.control(control).text());
    if (!std::isfinite(v)) return 0;
    return int(std::lround(std::clamp(v, -1e9, 1e9)));
}
bool ticked(const Ui& ui, const char* control) { return ui.control(control).value() == 1; }
DataField field(const Ui& ui, const char* column, const char* width) {
    return withinLine({number(ui, column), number(ui, width)}, longestDataLine);
}

// Degrees (or hours) and minutes: the minutes take the sign written anywhere in the first field,
// so "-0" and 30 minutes is half a unit below zero.
double withMinutes(std::string_view line, DataField whole, DataField minutes) {
    const double sign = fieldText(line, whole).find('-') != std::string_view::npos ? -1 : 1;
    return fieldValue(line, whole) + sign * std::fabs(fieldValue(line, minutes)) / 60;
}

} // namespace

OverlaySettings readOverlaySettings(const Ui& ui) {
    OverlaySettings s;
    const Form form = ui.form("FORM4");
    s.overlayOn = ticked(ui, "CHECK4");
    s.searchByClick = ticked(ui, "CHECK6");
    s.dataFilePath = ui.control("EDIT54").text();
    s.dataFileFrame = ui.control("COMBO3").index();
    CRDCNV1(s.dataFileFrame, s.frameClass, s.frameVariant);
    s.dataRefraction = ticked(ui, "CHECK5");
    s.dataDiurnalAberration = ticked(ui, "CHECK12");
    s.longitudeUnit = form.groupCode("longitudeUnit");
    s.longitude = field(ui, "EDIT20", "EDIT21");
    s.longitudeMinutes = field(ui, "EDIT30", "EDIT31");
    s.latitudeUnit = form.groupCode("latitudeUnit");
    s.latitude = field(ui, "EDIT22", "EDIT23");
    s.latitudeMinutes = field(ui, "EDIT32", "EDIT33");
    s.markShape = form.groupCode("markShape");
    s.magnitude = field(ui, "EDIT24", "EDIT25");
    s.radius = field(ui, "EDIT35", "EDIT36");
    s.radiusUnit = form.groupCode("radiusUnit");
    s.radiusFactor = readFieldNumber(ui.control("EDIT37").text());
    s.lineInterval = number(ui, "EDIT39");
    s.commentMode = form.groupCode("commentMode");
    s.comment = field(ui, "EDIT26", "EDIT27");
    s.commentInterval = number(ui, "EDIT28");
    s.commentPosition = form.groupCode("commentPosition");
    s.commentPrefix = ui.control("EDIT29").text();
    s.endMode = form.groupCode("endMode");
    s.endMarker = ui.control("EDIT34").text();
    struct Row {
        const char *check, *title, *column, *width;
    };
    const Row rows[4] = {{"CHECK7", "EDIT50", "EDIT44", "EDIT45"},
                         {"CHECK8", "EDIT51", "EDIT46", "EDIT47"},
                         {"CHECK9", "EDIT52", "EDIT48", "EDIT49"},
                         {"CHECK10", "EDIT55", "EDIT56", "EDIT57"}};
    for (int k = 0; k < 4; ++k) {
        SearchField& f = s.searchFields[std::size_t(k)];
        f.on = ticked(ui, rows[k].check);
        f.title = ui.control(rows[k].title).text();
        f.field = field(ui, rows[k].column, rows[k].width);
    }
    return s;
}

DataField withinLine(DataField f, int longest) {
    f.width = std::min(f.width, std::max(1, longest + 1 - std::clamp(f.column, 1, longest + 1)));
    return f;
}

namespace {

template <class Change> void changeEveryField(OverlaySettings& s, Change change) {
    for (DataField* f : {&s.longitude, &s.longitudeMinutes, &s.latitude, &s.latitudeMinutes, &s.magnitude,
                         &s.radius, &s.comment})
        change(*f);
    for (SearchField& f : s.searchFields)
        change(f.field);
}

} // namespace

void keepFieldsWithin(OverlaySettings& s, int longest) {
    changeEveryField(s, [longest](DataField& f) { f = withinLine(f, longest); });
}

void keepFieldsShown(OverlaySettings& s) {
    changeEveryField(s, [](DataField& f) { f.width = std::min(f.width, widestShownField); });
}

std::string_view fieldText(std::string_view line, DataField f) { return lineField(line, f.column, f.width); }

std::string paddedField(std::string_view line, DataField f) {
    std::string text(fieldText(line, f));
    if (f.width > 0 && text.size() < std::size_t(f.width))
        text.append(std::size_t(f.width) - text.size(), ' ');
    return text;
}

double fieldValue(std::string_view line, DataField f) { return readFieldNumber(fieldText(line, f)); }

DataLine classifyDataLine(std::string_view line, const OverlaySettings& s) {
    if (s.endMode == 2 && !s.endMarker.empty() && line.starts_with(s.endMarker))
        return DataLine::End;
    if (!s.commentPrefix.empty() && line.starts_with(s.commentPrefix))
        return DataLine::Comment;
    return DataLine::Record;
}

double firstCoordinate(std::string_view line, const OverlaySettings& s) {
    double degrees = 0;
    switch (s.longitudeUnit) {
    case 2: degrees = withMinutes(line, s.longitude, s.longitudeMinutes); break;
    case 3: degrees = 15 * withMinutes(line, s.longitude, s.longitudeMinutes); break;
    default: degrees = fieldValue(line, s.longitude);
    }
    return degrees < 0 ? degrees + 360 : degrees;
}

double secondCoordinate(std::string_view line, const OverlaySettings& s) {
    return s.latitudeUnit == 2 ? withMinutes(line, s.latitude, s.latitudeMinutes) : fieldValue(line, s.latitude);
}

bool coordinatesHeld(std::string_view line, const OverlaySettings& s) {
    const auto held = [line](DataField f) { return fieldHoldsNumber(fieldText(line, f), FieldPrecision::Single); };
    const bool longitudeMinutes = s.longitudeUnit == 2 || s.longitudeUnit == 3;
    return held(s.longitude) && (!longitudeMinutes || held(s.longitudeMinutes)) && held(s.latitude) &&
           (s.latitudeUnit != 2 || held(s.latitudeMinutes));
}

std::string firstCoordinateLabel(std::string_view line, const OverlaySettings& s) {
    const std::string whole = paddedField(line, s.longitude);
    switch (s.longitudeUnit) {
    case 2: return whole + "deg" + paddedField(line, s.longitudeMinutes) + "arcm";
    case 3: return whole + "h" + paddedField(line, s.longitudeMinutes) + "m";
    default: return whole;
    }
}

std::string secondCoordinateLabel(std::string_view line, const OverlaySettings& s) {
    const std::string whole = paddedField(line, s.latitude);
    return s.latitudeUnit == 2 ? whole + "deg" + paddedField(line, s.latitudeMinutes) + "arcm" : whole;
}

} // namespace nivora
