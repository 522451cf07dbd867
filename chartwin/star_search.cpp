#include "chartwin/star_search.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/fieldnumber.h"
#include "chartwin/search_sky.h"
#include "platform/files.h"

namespace nivora {

StarSearchResult listStarMatches(const std::vector<std::string>& lines, std::string_view keyword,
                                 bool starCode, int earthMap, int searchMax)
{
    StarSearchResult result;
    std::vector<std::string>& out = result.listing.lines;
    out = {"", "Search by Keyword", "\"" + std::string(keyword) + "\""};
    int offset = 0;
    std::string titles[4];
    int& n = result.listing.matches;
    for (const std::string& line : lines) {
        const std::string_view l = line;
        if (l.starts_with("#-"))
            break;
        if (l.starts_with("#number") || l.starts_with("#starnm")) {
            if (lineField(l, 31, 13) == "proper-motion")
                offset = 14;
            for (int j = 0; j < 4; ++j)
                titles[j] = std::string(wholeCharacters(lineField(l, 32 + offset + 6 * j, 4)));
            continue;
        }
        if (l.starts_with('#') || l.find(keyword) == std::string_view::npos)
            continue;
        ++n;
        if (n > searchMax) {
            out.push_back("Too Many.");
            break;
        }
        result.raText = std::string(lineField(l, 9 - earthMap, 10 + earthMap));
        result.decText = std::string(lineField(l, 20, 10));
        std::string name = line.size() >= std::size_t(55 + offset) ? line.substr(54 + offset) : "";
        if (name.empty())
            name = "(a dark star)";
        out.push_back(formatPicture("##", n) + ")" + name);
        out.push_back("RA:" + result.raText + "deg,Dec:" + result.decText + "deg.");
        std::string comment;
        auto field = [&](int column) { return std::string(wholeCharacters(lineField(l, column, 5))); };
        if (starCode) {
            comment = "No.:" + std::string(lineField(l, 1, 7)) + "," + titles[3] + ":" +
                      field(49 + offset) + ".";
        } else {
            for (int j = 0; j < 4; ++j)
                comment += (j ? "," : "") + titles[j] + ":" + field(31 + 6 * j + offset);
        }
        out.push_back(comment);
    }
    result.listing.lastOpen = n > 0;
    if (n == 0)
        out.push_back("Any data does not exist.");
    return result;
}

PointedFrames starSearchFrames(double raDegrees, double decDegrees, const SkyFrames& sky,
                               std::uint8_t displayFrameIndex, std::uint8_t chartMode,
                               std::uint8_t refractionOn, std::uint8_t diurnalAberrationOn,
                               const RotationMatrix& icrfToJ2000Ecliptic)
{
    PointedFrames P{};
    const double a = raDegrees / degreesPerRadian, d = decDegrees / degreesPerRadian;
    P[4] = {std::cos(a) * std::cos(d), std::sin(a) * std::cos(d), std::sin(d)};
    P[3] = rotate(sky.icrfToMeanEquator, P[4]);
    P[2] = rotate(sky.meanEquatorToTrueEquator, P[3]);
    const DirectionVector& v = sky.annualAberrationEquatorial;
    P[1] = normalised({P[2][0] + v[0], P[2][1] + v[1], P[2][2] + v[2]});
    const bool apparent = chartMode == skyChartMode || displayFrameIndex % 4 == 0;
    P[0] = rotate(sky.trueEquatorToBase, apparent ? P[1] : P[2]);
    if (chartMode < mapChartMode && diurnalAberrationOn == 1) {
        P[0][1] += sky.diurnalAberration[1];
        P[0] = normalised(P[0]);
    }
    if (refractionOn == 1 && chartMode < mapChartMode)
        P[0][2] += REFRACTCUL(P[0][2], sky.horizonDipSine);
    fillEclipticFrames(P, sky, icrfToJ2000Ecliptic);
    return P;
}

void BUTTON73_ON(ChartWindowRecords& p)
{
    if (!SEARCHCNST(p))
        return;
    const std::string keyword = p.ui.control("EDIT104").text();
    if (keyword.empty()) {
        p.ui.alert("Illegal setting.");
        return;
    }
    const bool starCode = p.ui.formValue("FORM5", "RADIO54") == 1;
    const int earthMap = p.chartView.earthMap == 1 ? 1 : 0;
    const std::string& listName = p.dataFileSettings.dataFiles[earthMap][firstStarList];
    std::string whyNot;
    const auto lines = readLines(p.file(listName), &whyNot);
    if (!lines) {
        p.ui.alert(whyNot);
        return;
    }
    const int searchMax = p.searchLimits.searchMax;
    const StarSearchResult found = listStarMatches(*lines, keyword, starCode, earthMap, searchMax);
    showSearchListing(p.ui, found.listing, searchMax);
    if (found.listing.matches == 1 && p.ui.form("FORM2").visible()) {
        const ChartOptions& o = p.chartOptions;
        pointAtSearchMatch(p, starSearchFrames(readFieldNumber(found.raText), readFieldNumber(found.decText),
                                               p.searchSky, p.searchDisplayFrameIndex,
                                               p.chartView.chartMode, o.refractionOn,
                                               o.diurnalAberrationOn, p.tables.icrfToJ2000Ecliptic));
    }
}

void bindStarSearch(ChartWindowRecords& p)
{
    p.ui.bind("BUTTON73_ON", [&p] { BUTTON73_ON(p); }, WhileDrawing::Refuse);
}

} // namespace nivora
