#include "chartwin/file_search.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/datafile.h"
#include "chartwin/data_file_stream.h"
#include "chartwin/overlay_drawing.h"
#include "chartwin/search_sky.h"

namespace nivora {

namespace {

DirectionVector freedOf(const DirectionVector& u, const DirectionVector& v)
{
    DirectionVector w;
    INVABER(u, v, w);
    return w;
}

std::string fieldString(std::string_view line, DataField f)
{
    return std::string(wholeCharacters(fieldText(line, f)));
}

// The coordinates as the file writes them, with the labels of the frame class.
std::string coordinateLine(std::string_view line, const OverlaySettings& s)
{
    static const char* const firstLabels[] = {"  Az:", "  RA:", "  LNG:", "  Drc:"};
    static const char* const secondLabels[] = {"Elv:", "Dec:", "LAT:", "Elv:"};
    const int k = std::clamp(s.frameClass, 1, 4) - 1;
    const std::string t1 = fieldString(line, s.longitude), m1 = fieldString(line, s.longitudeMinutes);
    const std::string t2 = fieldString(line, s.latitude), m2 = fieldString(line, s.latitudeMinutes);
    std::string out = firstLabels[k];
    if (s.longitudeUnit == 2)
        out += t1 + "deg" + m1 + "arcm,";
    else if (s.longitudeUnit == 3)
        out += t1 + "h" + m1 + "m,";
    else
        out += std::string(wholeCharacters(std::string_view(t1).substr(0, 6))) + "degree,";
    out += secondLabels[k];
    if (s.latitudeUnit == 2)
        out += t2 + "deg" + m2 + "arcm";
    else
        out += std::string(wholeCharacters(std::string_view(t2).substr(0, 5))) + "degree";
    return out;
}

// "Illegal setting." tests of the settings and the keyword.
bool usableForSearch(const OverlaySettings& s, int row, const std::string& keyword)
{
    if (!coordinateFieldsReadable(s) || keyword.empty())
        return false;
    for (int k = 1; k <= 4; ++k) {
        const SearchField& f = s.searchFields[std::size_t(k - 1)];
        if ((f.on || k == row) && !f.field.readable())
            return false;
    }
    return true;
}

} // namespace

int searchHitSlot(std::uint8_t chartMode, std::uint8_t searchDisplayFrameIndex)
{
    return chartMode == skyChartMode || searchDisplayFrameIndex % 4 == 0 ? 1 : 2;
}

PointedFrames fileSearchFrames(double lonDegrees, double latDegrees, const OverlaySettings& s,
                               const SkyFrames& sky, const HitCorrections& chart,
                               const StartupTables& tables)
{
    PointedFrames P{};
    double lon = lonDegrees / degreesPerRadian;
    const double lat = latDegrees / degreesPerRadian;
    const DirectionVector& annual = sky.annualAberrationEquatorial;
    const bool skyChart = chart.chartMode < mapChartMode;
    const bool refractionShown = skyChart && chart.refractionOn == 1;
    const bool diurnalShown = skyChart && chart.diurnalAberrationOn == 1;
    if (s.frameClass == 1 || s.frameClass == 4) {
        if (s.frameClass == 4) {
            lon -= pi;
            if (lon < 0) lon += 2 * pi;
            if (lon > 2 * pi) lon -= 2 * pi;
        }
        const DirectionVector u = unitVector(lon, lat);
        // Frame 0 is where the overlay draws the record: a ticked correction is added there.
        P[0] = u;
        if (s.dataDiurnalAberration && diurnalShown)
            P[0] = normalised(plus(P[0], sky.diurnalAberration));
        if (s.dataRefraction && refractionShown)
            P[0][2] += REFRACTCUL(P[0][2], sky.horizonDipSine);
        // A clear box: the file holds the place as the chart shows it; the chart's correction
        // comes off on the way to frames 1-8.
        DirectionVector v = u;
        if (!s.dataRefraction && refractionShown) {
            double r = 0;
            const double z0 = v[2];
            double z = z0;
            INVREFRACT(z, sky.horizonDipSine, r);
            if (r > 0) {
                const double k = std::sqrt((1 - z * z) / (v[0] * v[0] + v[1] * v[1]));
                v = {v[0] * k, v[1] * k, z};
            }
        }
        if (!s.dataDiurnalAberration && diurnalShown)
            v = freedOf(v, sky.diurnalAberration);
        const int slot = searchHitSlot(chart.chartMode, chart.searchDisplayFrameIndex);
        P[std::size_t(slot)] = rotate(sky.baseToTrueEquator, v);
        if (slot == 1)
            P[2] = freedOf(P[1], annual);
        else
            P[1] = normalised(plus(P[2], annual));
        P[3] = rotate(sky.trueEquatorToMeanEquator, P[2]);
        P[4] = rotate(sky.meanEquatorToIcrf, P[3]);
    } else {
        const DirectionVector e = unitVector(lon, lat);
        const int variant = std::clamp(s.frameVariant, 0, 3);
        DirectionVector start = e;
        if (s.frameClass == 3) {
            const RotationMatrix* toEquator[4] = {&sky.trueEclipticToTrueEquator, &sky.trueEclipticToTrueEquator,
                                                  &sky.meanEclipticToMeanEquator, &tables.j2000EclipticToIcrf};
            start = rotate(*toEquator[variant], e);
        }
        switch (variant) {
        case 0:
            P[1] = start;
            P[2] = freedOf(P[1], annual);
            break;
        case 1:
            P[2] = start;
            P[1] = normalised(plus(P[2], annual));
            break;
        case 2:
            P[3] = start;
            P[2] = rotate(sky.meanEquatorToTrueEquator, P[3]);
            P[1] = normalised(plus(P[2], annual));
            break;
        default:
            P[4] = start;
            P[3] = rotate(sky.icrfToMeanEquator, P[4]);
            P[2] = rotate(sky.meanEquatorToTrueEquator, P[3]);
            P[1] = normalised(plus(P[2], annual));
        }
        if (variant < 2) {
            P[3] = rotate(sky.trueEquatorToMeanEquator, P[2]);
            P[4] = rotate(sky.meanEquatorToIcrf, P[3]);
        } else if (variant == 2) {
            P[4] = rotate(sky.meanEquatorToIcrf, P[3]);
        }
        const int slot = searchHitSlot(chart.chartMode, chart.searchDisplayFrameIndex);
        P[0] = rotate(sky.trueEquatorToBase, P[std::size_t(slot)]);
        if (diurnalShown && s.dataDiurnalAberration)
            P[0] = normalised(plus(P[0], sky.diurnalAberration));
        if (s.dataRefraction && refractionShown)
            P[0][2] += REFRACTCUL(P[0][2], sky.horizonDipSine);
    }
    fillEclipticFrames(P, sky, tables.icrfToJ2000Ecliptic);
    return P;
}

SearchListing listFileMatches(const OverlaySettings& s, int row, const std::string& keyword,
                              int searchMax, const std::function<bool(std::string&)>& next,
                              std::string& lastMatch)
{
    SearchListing listing;
    auto& out = listing.lines;
    const SearchField& searched = s.searchFields[std::size_t(row - 1)];
    out = {"Search in \"" + searched.title + "\"", " by Keyword", "\"" + keyword + "\""};
    int& n = listing.matches;
    std::string line;
    while (next(line)) {
        const DataLine kind = classifyDataLine(line, s);
        if (kind == DataLine::End)
            break;
        if (kind == DataLine::Comment)
            continue;
        if (fieldText(line, searched.field).find(keyword) == std::string_view::npos)
            continue;
        ++n;
        if (n > searchMax) {
            out.push_back("Too Many.");
            listing.lastOpen = true;
            break;
        }
        lastMatch = line;
        const auto& rows = s.searchFields;
        out.push_back(formatPicture("##", n) + ")" +
                      (rows[0].on ? rows[0].title + fieldString(line, rows[0].field) : "(from DATA FILE)"));
        out.push_back(coordinateLine(line, s));
        std::string third = "  ";
        if (rows[1].on) third += rows[1].title + fieldString(line, rows[1].field);
        if (rows[2].on) third += "," + rows[2].title + fieldString(line, rows[2].field);
        if (rows[3].on) third += "," + rows[3].title + fieldString(line, rows[3].field);
        out.push_back(third);
    }
    if (n == 0)
        out.push_back("Any data does not exist.");
    return listing;
}

void SEARCHFILE(ChartWindowRecords& p, int row)
{
    if (!SEARCHCNST(p))
        return;
    const OverlaySettings s = readOverlaySettings(p.ui);
    const std::string keyword = p.ui.control("EDIT53").text();
    const auto file = dataFileLocation(p.folder, s.dataFilePath);
    if (s.dataFilePath.empty() || !dataFileFound(file) || !usableForSearch(s, row, keyword)) {
        p.ui.alert("Illegal setting.");
        return;
    }
    DataFileStream in(file);
    if (!in.isOpen()) {
        p.ui.alert(in.error().empty() ? "The File does not exist." : in.error());
        return;
    }
    std::string match;
    const int searchMax = p.searchLimits.searchMax;
    SearchListing listing;
    try {
        listing = listFileMatches(s, row, keyword, searchMax, [&in](std::string& line) { return in.next(line); },
                                  match);
    } catch (const std::bad_alloc&) {
        p.ui.alert(DataFileError(file, 0, std::string(outOfMemoryText)).what());
        return;
    }
    showSearchListing(p.ui, listing, searchMax);
    if (listing.matches == 1 && p.ui.form("FORM2").visible()) {
        const HitCorrections chart{p.chartView.chartMode, p.searchDisplayFrameIndex,
                                   p.chartOptions.refractionOn, p.chartOptions.diurnalAberrationOn};
        pointAtSearchMatch(p, fileSearchFrames(firstCoordinate(match, s),
                                               secondCoordinate(match, s), s, p.searchSky,
                                               chart, p.tables));
    }
}

namespace {

void searchRow(ChartWindowRecords& p, int row)
{
    const std::string path = p.ui.control("EDIT54").text();
    if (path.empty() || !dataFileFound(dataFileLocation(p.folder, path))) {
        p.ui.alert("The File does not exist.");
        return;
    }
    SEARCHFILE(p, row);
}

} // namespace

void BUTTON27_ON(ChartWindowRecords& p) { searchRow(p, 1); }
void BUTTON28_ON(ChartWindowRecords& p) { searchRow(p, 2); }
void BUTTON29_ON(ChartWindowRecords& p) { searchRow(p, 3); }
void BUTTON30_ON(ChartWindowRecords& p) { searchRow(p, 4); }

void bindFileSearch(ChartWindowRecords& p)
{
    p.ui.bind("BUTTON27_ON", [&p] { BUTTON27_ON(p); }, WhileDrawing::Refuse);
    p.ui.bind("BUTTON28_ON", [&p] { BUTTON28_ON(p); }, WhileDrawing::Refuse);
    p.ui.bind("BUTTON29_ON", [&p] { BUTTON29_ON(p); }, WhileDrawing::Refuse);
    p.ui.bind("BUTTON30_ON", [&p] { BUTTON30_ON(p); }, WhileDrawing::Refuse);
}

} // namespace nivora
