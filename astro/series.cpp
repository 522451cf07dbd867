#include "astro/series.h"

#include <cmath>
#include <string_view>

#include "astro/constants.h"
#include "astro/datafile.h"

namespace nivora {

namespace {

// Reads the numbers of the term opened by `opener`, or returns false when it opens none.
bool readTerm(ItemReader& reader, const std::string& opener, SeriesTerm& term) {
    std::size_t valueCount = 0;
    if (opener == "mean") {
        term.kind = SeriesTerm::Kind::mean;
        valueCount = 1;
    } else if (opener == "MEAN") {
        term.kind = SeriesTerm::Kind::MEAN;
        valueCount = 5;
    } else if (opener.starts_with('#')) {
        term.kind = SeriesTerm::Kind::periodic;
        valueCount = 5;
    } else {
        return false;
    }
    const std::string what = "the numbers of the term \"" + opener.substr(0, 40) + '"';
    term.usedCount = 0;
    for (std::size_t i = 0; i < term.multipliers.size(); ++i) {
        term.multipliers[i] = reader.readNumber(what);
        if (term.multipliers[i] != 0)
            term.used[term.usedCount++] = static_cast<std::uint8_t>(i);
    }
    for (std::size_t i = 0; i < valueCount; ++i)
        term.values[i] = reader.readNumber(what);
    return true;
}

bool isNumber(const std::string& item) {
    try {
        ItemReader(item, {}).readNumber();
        return true;
    } catch (const DataFileError&) {
        return false;
    }
}

// Reads terms until an item for which `isEnd` holds, and returns that item.
template <class IsEnd>
std::string readSection(ItemReader& reader, SeriesSection& section, IsEnd isEnd, std::string_view endName) {
    // A misspelt keyword is skipped like any other word; when the end never comes, that word is
    // the likeliest fault, so the error points there rather than at the last line.
    std::string firstSkippedWord;
    int firstSkippedLine = 0;
    for (;;) {
        std::string item;
        try {
            item = reader.readText(endName);
        } catch (const DataFileError&) {
            if (firstSkippedWord.empty()) throw;
            throw DataFileError(reader.file(), firstSkippedLine,
                                std::string(endName) + " before the end of the file, found \"" +
                                    firstSkippedWord.substr(0, 40) + '"');
        }
        if (isEnd(item)) return item;
        SeriesTerm term;
        if (readTerm(reader, item, term)) {
            section.terms.push_back(term);
        } else if (firstSkippedWord.empty() && !item.empty() && !isNumber(item)) {
            firstSkippedWord = item;
            firstSkippedLine = reader.itemLineNumber();
        }
    }
}


bool isLatitude(const std::string& item) {
    return item == "latitude";
}

} // namespace

double polynomial(const std::array<double, 7>& c, double t) {
    double sum = 0, power = 1;
    for (double ck : c) {
        sum += ck * power;
        power *= t;
    }
    return sum;
}

void PLTPARAM2(const StartupTables& tables, DayNumber d, std::int16_t c, SeriesArguments& v) {
    const double t = JulianCenturies(d);
    v[0] = t;
    v[1] = t * t;
    v[2] = t * t * t;
    v[3] = 100 * t;
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 3; ++j) {
            const auto& row = tables.meanElements[i][j];
            double sum = 0, power = t;
            for (int k = 1; k <= 6; ++k) {
                sum += row[k] * power;
                power *= t;
            }
            v[4 + 3 * i + j] = MD360(sum / 3600 + c * row[0]);
            if (std::isfinite(d))
                requireFiniteResult(std::isfinite(v[4 + 3 * i + j]), tables.meanElementsFile, d, "mean elements");
        }
}

SeriesFile parseSeriesText(std::string text, const std::filesystem::path& file) {
    ItemReader reader(std::move(text), file);
    SeriesFile series;
    series.file = file;
    reader.readText("the first item");
    readSection(reader, series.longitude, isLatitude, "the item \"latitude\"");
    const std::string header = readSection(
        reader, series.latitude, [](const std::string& item) { return item.starts_with("dist"); },
        "an item beginning \"dist\"");
    series.logarithmicDistance = header == "dist-exp";
    series.divisor = reader.readNumber("the distance divisor");
    if (series.divisor == 0)
        throw DataFileError(file, reader.itemLineNumber(), "a distance divisor other than 0");
    std::string item = readSection(
        reader, series.distance,
        [](const std::string& item) { return item == "ascending-node" || item == "end"; },
        "the item \"ascending-node\" or \"end\"");
    while (item != "end") {
        NodeBlock block;
        const std::string what = "\"end\" or the 7 coefficients of the node after \"" + item.substr(0, 40) + '"';
        for (double& p : block.node)
            p = reader.readNumber(what);
        reader.readText("the label of the inclination");
        for (double& q : block.inclination)
            q = reader.readNumber("7 coefficients of the inclination");
        series.nodeBlocks.push_back(block);
        item = reader.readText("the item \"end\" or another node block");
    }
    return series;
}

SeriesFile parseSeriesFile(const std::filesystem::path& file) {
    return withinMemory(file, [&] { return parseSeriesText(readWholeFile(file), file); });
}

NutationSeriesFile parseNutationText(std::string text, const std::filesystem::path& file) {
    ItemReader reader(std::move(text), file);
    NutationSeriesFile nutation;
    reader.readText("the first item");
    readSection(reader, nutation.longitude, isLatitude, "the item \"latitude\"");
    readSection(
        reader, nutation.obliquity, [](const std::string& item) { return item == "end"; },
        "the item \"end\"");
    return nutation;
}

NutationSeriesFile parseNutationFile(const std::filesystem::path& file) {
    return withinMemory(file, [&] { return parseNutationText(readWholeFile(file), file); });
}

double sumSeriesSection(const SeriesSection& section, const SeriesArguments& v, bool angleSection) {
    const double factor = angleSection ? 3600 : 1;
    const double t = v[0], t2 = v[1], t3 = v[2];
    double sum = 0;
    for (const SeriesTerm& term : section.terms) {
        double product = 0;
        if (term.usedCount < 0) {
            for (int i = 0; i < 31; ++i)
                product += term.multipliers[i] * v[3 + i];
        } else {
            for (int k = 0; k < term.usedCount; ++k)
                product += term.multipliers[term.used[k]] * v[3 + term.used[k]];
        }
        const auto& x = term.values;
        switch (term.kind) {
        case SeriesTerm::Kind::mean:
            sum += factor * product + x[0];
            break;
        case SeriesTerm::Kind::MEAN:
            sum += factor * product + factor * x[0] + x[1] + x[2] * t + x[3] * t2 + x[4] * t3;
            break;
        case SeriesTerm::Kind::periodic:
            sum += (x[1] + x[2] * t + x[3] * t2 + x[4] * t3) *
                   std::cos(MD360(product + x[0]) / degreesPerRadian);
            break;
        }
    }
    return sum;
}

DirectionVector seriesPosition(const SeriesFile& series, const SeriesArguments& v) {
    const double lon = MD360(sumSeriesSection(series.longitude, v, true) / 3600) / degreesPerRadian;
    const double lat = sumSeriesSection(series.latitude, v, true) / 3600 / degreesPerRadian;
    double r = sumSeriesSection(series.distance, v, false) / series.divisor;
    if (series.logarithmicDistance) r = std::pow(10.0, r);
    DirectionVector w = {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon),
                         r * std::sin(lat)};
    const double t = v[0];
    for (const NodeBlock& block : series.nodeBlocks) {
        const double n = polynomial(block.node, t) / 3600 / degreesPerRadian;
        const double i = polynomial(block.inclination, t) / 3600 / degreesPerRadian;
        const DirectionVector u = {w[0], std::cos(i) * w[1] - std::sin(i) * w[2],
                                   std::sin(i) * w[1] + std::cos(i) * w[2]};
        w = {std::cos(n) * u[0] - std::sin(n) * u[1], std::sin(n) * u[0] + std::cos(n) * u[1], u[2]};
    }
    return w;
}

void locateFromSeries(const StartupTables& tables, const SeriesFrames& frames, const SeriesFile& series,
                      DayNumber d, std::int16_t geo, std::int16_t aber, double& lon, double& lat,
                      double& dist) {
    SeriesArguments v;
    PLTPARAM2(tables, d, 0, v);
    DirectionVector u = rotate(frames.j2000EclipticToTrueEcliptic, seriesPosition(series, v));
    if (geo == 1)
        for (int i = 0; i < 3; ++i)
            u[i] += frames.sunVector[i];
    dist = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    if (aber == 1 && dist > 0)
        for (int i = 0; i < 3; ++i)
            u[i] = u[i] / dist + frames.annualAberrationEcliptic[i];
    double r;
    ZENITH(u[0], u[1], u[2], lon, lat, r);
    if (std::isfinite(d))
        requireFiniteResult(std::isfinite(lon) && std::isfinite(lat) && std::isfinite(dist), series.file, d, "terms");
}

void PLTLOC0(const StartupTables& tables, const SeriesFrames& frames, const std::filesystem::path& file,
             DayNumber d, std::int16_t geo, std::int16_t aber, double& lon, double& lat, double& dist) {
    locateFromSeries(tables, frames, parseSeriesFile(file), d, geo, aber, lon, lat, dist);
}

} // namespace nivora
