#include "options/minute_form.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "astro/datafile.h"
#include "astro/fieldnumber.h"
#include "astro/numbertext.h"
#include "options/form_rows.h"
#include "options/observation_input.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace nivora {

FormSpec minuteOptionForm() {
    FormRows f("FORM5", "Minute Option");

    f.frame("starsBox", "Scaling Factor of Stars by Magnitude").span(2);
    f.frame("linesBox").at(2);
    f.frame("buttonsBox").at(3);
    f.row().frame("commentBox", "In Comment Area");
    f.frame("projectionBox").span(3);
    f.row().frame("clickBox").span(4);

    f.in("starsBox").label("A STAR with Magnitude=X is drawn as a circle with "
                           "A*(B-X)*(root of Width/1000) pixels in diameter.").span(3);
    f.row().label("Scaling Factor A=").edit("EDIT40", " 1").width(60);
    f.row().label("Stars with Magnitude darker than B=").edit("EDIT41", " 7.5").width(60);
    f.label("are drawn as dots.");

    f.in("linesBox").label("Altitude of Lng. and Lat. lines").span(2);
    f.row().edit("EDIT77", "0").width(60).label("km");

    f.in("buttonsBox").button("BUTTON16", "OK");
    f.row().button("BUTTON17", "Cancel");

    // Code order: 1 decimal, 2 sexagesimal, 3 hours for right ascension.
    f.in("commentBox").label("RA and Dec for the Sun and technical data");
    f.row().radio("RADIO45", "degree(Sexagecimal)", "commentUnit", 2);
    f.row().radio("RADIO44", "degree(Decimal)", "commentUnit", 1);
    f.row().radio("RADIO46", "h/m/s for RA", "commentUnit", 3).set();

    f.in("projectionBox").label("-------Azimuthal Projection User defining------").span(6);
    f.button("BUTTON44", "Check Domain").span(2);
    f.button("BUTTON49", "Read Coefficients").span(2);
    f.row().label("Angle of Radius, Displayed in (x1)").span(3);
    f.edit("EDIT65", " 90.00").width(70).label("degree,");
    f.label("Aspect Ratio Y/X=").span(2).edit("EDIT66", "1.000000").width(70);
    f.row().label("R'= R+").edit("EDIT67", "+0").width(70).label("R^2+").edit("EDIT68", "+0").width(70);
    f.label("R^3+").edit("EDIT69", "+0").width(70).label("R^4+").edit("EDIT70", "+0").width(70);
    f.label("R^5");
    f.row().label("(rad) +").edit("EDIT71", "+0").width(70).label("R^6+").edit("EDIT72", "+0").width(70);
    f.label("R^7+").edit("EDIT73", "+0").width(70).label("R^8+").edit("EDIT74", "+0").width(70);
    f.label("R^9");

    // Unit code order: 1 decimal, 2 sexagesimal, 3 h/m/s, 4 decimal with sign, 5 sexagesimal
    // with sign; the screen lists them otherwise.
    f.in("clickBox").label("---------------------------------------------  desplay of Click-window  "
                           "--------------------------------------------").span(5);
    f.row().label("Azimuth and Elevation");
    f.label("Unit and Coordinate of RA and Dec").span(2);
    f.label("Comment in Searching stars").span(2);
    f.row().radio("RADIO37", "degree(Sexagecimal)", "azElUnit", 2).set();
    f.radio("RADIO39", "degree(Sexagecimal)", "raDecUnit", 2);
    f.radio("RADIO47", "Apparent", "sunDataFrame", 1).set();
    f.radio("RADIO53", "Magnitude", "searchComment", 1).set().span(2);
    f.row().radio("RADIO65", "degree(Sexa.with pm)", "azElUnit", 5);
    f.radio("RADIO66", "degree(Sexa.with pm)", "raDecUnit", 5);
    f.radio("RADIO48", "True", "sunDataFrame", 2);
    f.radio("RADIO54", "Star-code,etc", "searchComment", 2).span(2);
    f.row().radio("RADIO36", "degree(Decimal)", "azElUnit", 1);
    f.radio("RADIO38", "degree(Decimal)", "raDecUnit", 1);
    f.radio("RADIO49", "Mean", "sunDataFrame", 3);
    f.label("Radius of Searching").span(2);
    f.row().radio("RADIO63", "degree(Dec.with pm)", "azElUnit", 4);
    f.radio("RADIO64", "degree(Dec.with pm)", "raDecUnit", 4);
    f.radio("RADIO101", "ICRF", "sunDataFrame", 4);
    f.edit("EDIT78", "0.9999").width(70).label("deg");
    f.row().radio("RADIO41", "h/m/s for Azimuth", "azElUnit", 3);
    f.radio("RADIO40", "h/m/s for RA", "raDecUnit", 3).set();
    f.radio("RADIO52", "ALL(do not search stars)", "sunDataFrame", 5);
    f.label("(less than 1degree)").span(2);
    f.row().label("Aberration, Refraction, Measure Angle").span(2);
    f.radio("RADIO43", "degree(Sexagecimal)", "angleUnit", 2).set();
    f.radio("RADIO42", "degree(Decimal)", "angleUnit", 1);

    return f.spec();
}

} // namespace nivora

namespace nivora {

namespace {

constexpr const char* coefficientEdits[8] = {"EDIT67", "EDIT68", "EDIT69", "EDIT70",
                                             "EDIT71", "EDIT72", "EDIT73", "EDIT74"};

struct UnitGroup {
    const char* group;
    int last;
};
constexpr UnitGroup unitGroups[] = {
    {"azElUnit", 5}, {"raDecUnit", 5}, {"sunDataFrame", 5}, {"angleUnit", 2}, {"commentUnit", 3},
};

// DSPDCM with the width widened until the integer part fits: its cap of 9 per digit would
// otherwise put another value in the field than the record holds.
std::string widenedDecimal(double x, int width, int decimals, int signMode)
{
    const double rounded = std::round(std::fabs(x) * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
    int digits = 1;
    for (double limit = 10; rounded >= limit && digits < 300; limit *= 10)
        ++digits;
    const int needed = digits + (signMode == 0 ? 1 : 0);
    return DSPDCM(x, float(std::max(width, needed)), float(decimals), float(signMode));
}

CoefficientTexts coefficientTexts(const Ui& ui)
{
    CoefficientTexts texts;
    for (int i = 0; i < 8; ++i)
        texts[i] = ui.control(coefficientEdits[i]).text();
    return texts;
}

// The domain's text in the radius field: its general decimal text without the leading blank, at
// most 6 characters.
std::string domainText(float domain)
{
    std::string text = writeFieldNumber(domain);
    if (text.starts_with(' '))
        text.erase(0, 1);
    return text.substr(0, 6);
}

float domainOf(const Ui& ui)
{
    float domain = 0;
    PLJDOM(coefficientTexts(ui), domain);
    return domain;
}

// The first field OK stores whose text holds no number its record can take: the star sizes are
// single precision, the projection's values double.
std::string numberFault(const Ui& ui)
{
    const auto text = [&ui](const char* edit) { return ui.control(edit).text(); };
    std::vector<NumberField> fields = {
        {"Scaling Factor A", text("EDIT40")},
        {"Magnitude B", text("EDIT41")},
        {"Angle of Radius, Displayed in (x1)", text("EDIT65"), FieldPrecision::Double},
        {"Aspect Ratio Y/X", text("EDIT66"), FieldPrecision::Double}};
    for (int i = 0; i < 8; ++i)
        fields.push_back({"Coefficient of R^" + std::to_string(i + 2), text(coefficientEdits[i]), FieldPrecision::Double});
    return numberFieldFault(fields);
}

bool oneNumber(const std::string& line)
{
    static const std::regex number(R"(\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*)");
    return std::regex_match(line, number);
}

} // namespace

void FORM5SETTING(Ui& ui, const MinuteOptions& minute, const UserProjection& user)
{
    ui.control("EDIT40").setText(writeFieldNumber(minute.starScaling));
    ui.control("EDIT41").setText(writeFieldNumber(minute.dotMagnitude));
    Form form = ui.form("FORM5");
    const int codes[] = {minute.azElUnit, minute.raDecUnit, minute.sunDataFrame, minute.angleUnit,
                         minute.commentUnit};
    for (int g = 0; g < 5; ++g)
        if (codes[g] >= 1 && codes[g] <= unitGroups[g].last)
            form.setGroupCode(unitGroups[g].group, codes[g]);
    ui.control("EDIT65").setText(widenedDecimal(user.radiusDegrees, 3, 2, 1));
    ui.control("EDIT66").setText(widenedDecimal(user.aspectYX, 1, 6, 1));
    for (int i = 0; i <= user.termCount - 2 && i < 8; ++i)
        ui.control(coefficientEdits[i]).setText(widenedDecimal(user.coefficients[i + 2], 2, 6, 0));
}

bool BUTTON16_ON(Ui& ui, MinuteOptions& minute, UserProjection& user)
{
    auto number = [&ui](const char* edit) { return readFieldNumber(ui.control(edit).text()); };
    const Form form = ui.form("FORM5");
    if (const std::string fault = numberFault(ui); !fault.empty()) {
        ui.alert(fault);
        return false;
    }

    UserProjection next = user;
    next.radiusDegrees = number("EDIT65");
    next.aspectYX = number("EDIT66");
    next.coefficients[1] = 1;
    for (int i = 0; i < 8; ++i)
        next.coefficients[i + 2] = number(coefficientEdits[i]);
    next.domainDegrees = double(domainOf(ui));
    if (next.radiusDegrees > next.domainDegrees)
        next.radiusDegrees = next.domainDegrees;
    // Either would divide by zero or shrink the chart to its centre.
    if (!(next.radiusDegrees > 0)) {
        ui.alert("Angle of Radius, Displayed in (x1) must be above 0 within the domain.");
        return false;
    }
    if (!(next.aspectYX > 0)) {
        ui.alert("Aspect Ratio Y/X must be above 0.");
        return false;
    }
    next.coefficients[0] = userProjectionNormalisation(next);
    if (!(next.coefficients[0] > 0) || !std::isfinite(next.coefficients[0])) {
        ui.alert("Angle of Radius, Displayed in (x1) must be above 0 within the domain.");
        return false;
    }
    next.edgeValue = userProjectionEdgeValue(next);

    minute.starScaling = float(number("EDIT40"));
    minute.dotMagnitude = float(number("EDIT41"));
    std::uint8_t* members[] = {&minute.azElUnit, &minute.raDecUnit, &minute.sunDataFrame, &minute.angleUnit,
                               &minute.commentUnit};
    for (int g = 0; g < 5; ++g)
        *members[g] = std::uint8_t(form.groupCode(unitGroups[g].group));
    user = next;
    ui.form("FORM5").hide();
    return true;
}

CoefficientTexts readPolynomialData(const std::vector<std::string>& lines, const std::string& file)
{
    CoefficientTexts texts;
    bool found = false;
    int n = 0;
    bool odd = false;
    const int count = int(lines.size());
    for (int k = 0; k < count; ++k) {
        const std::string& line = lines[size_t(k)];
        if (line.starts_with("Term number:")) {
            n = int(readFieldNumber(line.size() > 12 ? line.substr(12, 2) : std::string()));
            odd = line.size() > 16 && line.substr(16, 3) == "odd";
            if (odd)
                n = 2 * n - 1;
            continue;
        }
        if (line != "Coefficients of Polynomial")
            continue;
        found = true;
        // The coefficient of R comes first; it is always 1.
        auto next = [&](const char* what) {
            ++k;
            if (k >= count)
                throw DataFileError(file, count, std::string(what) + " on the next line");
            const std::string& text = lines[size_t(k)];
            if (!oneNumber(text))
                throw DataFileError(file, k + 1, std::string(what));
            // The field reader skips spaces only; a tab before the number would read as 0.
            const size_t start = text.find_first_not_of(" \t\f\v");
            return readFieldNumber(std::string_view(text).substr(start));
        };
        next("one number, the coefficient of R");
        for (int i = 0; i < 8; ++i) {
            const int power = i + 2;
            if (power > n || (odd && power % 2 == 0)) {
                texts[i] = "0";
                continue;
            }
            const std::string what = "one number, the coefficient of R^" + std::to_string(power);
            texts[i] = DSPDCM(next(what.c_str()), 4, 6, 0);
        }
    }
    if (!found)
        throw DataFileError(file, 0, "a line \"Coefficients of Polynomial\"");
    return texts;
}

bool readCoefficientsFile(Ui& ui, const std::string& file)
{
    std::string why;
    const auto lines = readLines(file, &why);
    CoefficientTexts texts;
    try {
        if (!lines)
            throw DataFileError(file, 0, "a readable polynomial file");
        texts = readPolynomialData(*lines, file);
    } catch (const DataFileError& error) {
        ui.alert(lines ? error.what() : why);
        return false;
    }
    for (int i = 0; i < 8; ++i)
        ui.control(coefficientEdits[i]).setText(texts[i]);
    const float domain = domainOf(ui);
    if (readFieldNumber(ui.control("EDIT65").text()) > domain)
        ui.control("EDIT65").setText(domainText(domain));
    return true;
}

void bindMinuteOptionForm(Ui& ui, MinuteOptions& minute, UserProjection& user)
{
    for (const char* item : {"MAGSCALE", "SRFHEIGHT", "MNOPTION", "COMUNITS"})
        ui.bind(std::string(item) + "_ON", [&ui, &minute, &user] {
            FORM5SETTING(ui, minute, user);
            ui.form("FORM5").show();
        });
    ui.bind("BUTTON16_ON", [&ui, &minute, &user] { BUTTON16_ON(ui, minute, user); });
    ui.bind("BUTTON17_ON", [&ui] { ui.form("FORM5").hide(); });
    ui.bind("BUTTON44_ON", [&ui] { ui.control("EDIT65").setText(domainText(domainOf(ui))); });
    ui.bind("BUTTON49_ON", [&ui] {
        if (const auto file = ui.dialogs().openFile("Load Polynomial Data", "*.*", "Polynomial Data(*.*)"))
            readCoefficientsFile(ui, *file);
    });
}

} // namespace nivora
