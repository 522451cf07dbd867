#include "chartwin/nearest.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/datafile.h"
#include "chartwin/data_file_stream.h"
#include "platform/files.h"
#include "render/pipeline.h"
#include "render/stars.h"

namespace nivora {

namespace {

// Every field the scan needs must have a column and a width.
bool describesRows(const OverlaySettings& s) {
    if (!s.longitude.readable() || !s.latitude.readable())
        return false;
    if (s.longitudeUnit > 1 && !s.longitudeMinutes.readable())
        return false;
    if (s.latitudeUnit > 1 && !s.latitudeMinutes.readable())
        return false;
    for (const SearchField& f : s.searchFields)
        if (f.on && !f.field.readable())
            return false;
    return true;
}

class Scan {
public:
    Scan(ChartWindowRecords& p, const ClickPoint& click, NearestSearch& out)
        : p_(p), click_(click), out_(out), frames_(p.pointedPosition), sky_(p.drawn.sky),
          drawn_(p.drawn.settings), max_(std::clamp<int>(p.searchLimits.nearestMax, 1, NearestList::capacity)) {}

    void run() {
        const int frame = p_.minuteOptions.sunDataFrame;
        if (frame != 5 && !click_.measureAngle) {
            boxes_[0] = makeSearchBox(click_.pointRa, click_.pointDec);
            boxes_[1] = makeSearchBox(click_.pointRaIcrf, click_.pointDecIcrf);
            dataFile();
            // The Earth map's points are places on the Earth, not in the sky.
            if (drawn_.drawnEarthMap != 1)
                bodies();
            if (drawn_.drawnMagnitudeLimit >= 6)
                faintList();
        }
        brightList(frame == 5);
    }

private:
    void insert(double x, std::string text) {
        if (x > click_.searchCosine)
            insertNearest(out_.list, max_, x, std::move(text));
    }

    std::string fileName(int kind) const {
        return p_.dataFileSettings.dataFiles[drawn_.drawnEarthMap & 1][std::size_t(kind)];
    }

    std::shared_ptr<const StarList> starList(int kind) {
        try {
            return p_.starLists.list(p_.file(fileName(kind)));
        } catch (const DataFileError& error) {
            p_.ui.alert(error.what());
            return nullptr;
        }
    }

    void dataFile() {
        OverlaySettings& s = out_.overlay;
        s = readOverlaySettings(p_.ui);
        if (!s.searchByClick || s.dataFilePath.empty() || !describesRows(s))
            return;
        const auto path = p_.file(s.dataFilePath);
        if (!dataFileFound(path))
            return;
        std::string why;
        const auto lines = readLines(path, &why);
        if (!lines) {
            p_.ui.alert(why);
            return;
        }
        // The readout pads every field to its width: no wider than the file's lines nor than the
        // readout shows. The coordinates are read from the whole fields.
        std::size_t longest = 0;
        for (const std::string& line : *lines)
            longest = std::max(longest, line.size());
        keepFieldsWithin(s, int(longest));
        const OverlaySettings values = s;
        keepFieldsShown(s);
        try {
            scanDataFile(*lines, values);
        } catch (const std::bad_alloc&) {
            p_.ui.alert(DataFileError(path, 0, std::string(outOfMemoryText)).what());
        }
    }

    void scanDataFile(const std::vector<std::string>& lines, const OverlaySettings& values) {
        const OverlaySettings& s = out_.overlay;
        const bool observerChart = drawn_.drawnChartMode < mapChartMode;
        const bool diurnal = s.dataDiurnalAberration && drawn_.drawnDiurnalAberration == 1 && observerChart;
        const bool refraction = s.dataRefraction && drawn_.drawnRefraction == 1 && observerChart;
        for (const std::string& line : lines) {
            const DataLine kind = classifyDataLine(line, s);
            if (kind == DataLine::End)
                break;
            if (kind == DataLine::Comment)
                continue;
            const double lon = firstCoordinate(line, values);
            const double lat = secondCoordinate(line, values);
            double x;
            if (s.frameClass == 1 || s.frameClass == 4) {
                const double turn = s.frameClass == 4 ? pi : 0;
                DirectionVector u = unitVector(lon / degreesPerRadian - turn, lat / degreesPerRadian);
                if (diurnal) {
                    u[1] += sky_.diurnalAberration[1];
                    normalise(u);
                }
                if (refraction) {
                    u[2] += REFRACTCUL(u[2], sky_.horizonDipSine);
                    normalise(u);
                }
                x = dot(u, frames_[0]);
            } else if (s.frameClass == 2) {
                if (!insideSearchBox(boxes_[s.frameVariant == 3 ? 1 : 0], lon, lat))
                    continue;
                x = dot(unitVector(lon / degreesPerRadian, lat / degreesPerRadian),
                        frames_[std::size_t(s.frameVariant + 1)]);
            } else {
                x = dot(unitVector(lon / degreesPerRadian, lat / degreesPerRadian),
                        frames_[std::size_t(s.frameVariant + 5)]);
            }
            if (!(x > click_.searchCosine))
                continue;
            std::string text = "#" + firstCoordinateLabel(line, s) + secondCoordinateLabel(line, s);
            for (int k : {1, 2, 3, 0}) {
                const SearchField& f = s.searchFields[std::size_t(k)];
                if (f.on)
                    text += f.title + paddedField(line, f.field);
            }
            insert(x, std::move(text));
        }
    }

    // Every body at its place without aberration against the point's.
    void bodies() {
        for (int i = 0; i <= neptuneBody; ++i) {
            const auto& b = p_.drawn.bodies.bodyPositions[std::size_t(i)];
            if (!(b[3] > 0))
                continue;
            const DirectionVector place =
                annualAberrationPlace({b[0], b[1], b[2]}, sky_.annualAberrationEcliptic, !annualAberrationApplies(i), false);
            insert(dot(place, frames_[6]), "P" + std::to_string(i));
        }
    }

    DirectionVector starDirection(const StarRecord& r) const {
        return starVector(r, r.raDegrees / degreesPerRadian, r.decDegrees / degreesPerRadian, sky_.julianCenturies);
    }

    void keepHeader(const StarList& list, int index) {
        out_.starFieldTitles[std::size_t(index)] = list.titles;
        out_.properMotionOffset[std::size_t(index)] = list.records.empty() ? 0 : list.records.back().shift;
    }

    void faintList() {
        const auto list = starList(secondStarList);
        if (!list)
            return;
        keepHeader(*list, 1);
        const float limit = drawn_.drawnMagnitudeLimit;
        for (const StarRecord& r : list->records) {
            if (limit <= r.magnitude)
                continue;
            if (!insideSearchBox(boxes_[1], r.raDegrees, r.decDegrees))
                continue;
            const double x = dot(starDirection(r), frames_[4]);
            if (x > click_.searchCosine)
                insert(x, "!" + std::string(list->line(r)));
        }
    }

    void brightList(bool constellationOnly) {
        std::string bestKey;
        double bestCosine = 0;
        if (const auto list = starList(firstStarList)) {
            keepHeader(*list, 0);
            const float limit = drawn_.drawnMagnitudeLimit;
            for (const StarRecord& r : list->records) {
                const double x = dot(starDirection(r), frames_[4]);
                const std::string_view key = list->key(r);
                if (key != "xxx" && x > bestCosine) {
                    bestCosine = x;
                    bestKey = std::string(key);
                }
                if (constellationOnly || limit <= r.magnitude)
                    continue;
                if (x > click_.searchCosine)
                    insert(x, " " + std::string(list->line(r)));
            }
        }
        out_.pointConstellation = constellationLine(bestKey);
    }

    std::string constellationLine(const std::string& key) {
        if (key.empty())
            return key;
        const auto path = p_.file(fileName(constellationList));
        std::string why;
        const auto lines = readLines(path, &why);
        if (!lines) {
            p_.ui.alert(why);
            return key;
        }
        for (const std::string& line : *lines)
            if (std::string_view(line).substr(0, 3) == key)
                return line;
        return key;
    }

    ChartWindowRecords& p_;
    const ClickPoint& click_;
    NearestSearch& out_;
    const PointedFrames& frames_;
    const SkyFrames& sky_;
    const DrawnSettings& drawn_;
    const int max_;
    std::array<SearchBox, 2> boxes_{};
};

} // namespace

void insertNearest(NearestList& list, int nearestMax, double cosine, std::string text) {
    nearestMax = std::clamp(nearestMax, 1, NearestList::capacity);
    int& n = list.nearestCount;
    if (n == nearestMax && list.nearestCosines[std::size_t(nearestMax - 1)] > cosine)
        return;
    if (n < nearestMax)
        ++n;
    list.nearestCosines[std::size_t(n - 1)] = cosine;
    list.nearestTexts[std::size_t(n - 1)] = std::move(text);
    for (std::size_t j = std::size_t(n - 1); j >= 1; --j) {
        if (list.nearestCosines[j - 1] > list.nearestCosines[j])
            break;
        std::swap(list.nearestCosines[j - 1], list.nearestCosines[j]);
        std::swap(list.nearestTexts[j - 1], list.nearestTexts[j]);
    }
}

SearchBox makeSearchBox(double ra, double dec) {
    SearchBox b;
    const double c = std::cos(std::fabs(dec) + 3 / degreesPerRadian);
    const double raDeg = ra * degreesPerRadian, decDeg = dec * degreesPerRadian;
    const double capLimit = double(1.4486f), edge = double(0.054f);
    if (dec > capLimit) {
        b.kind = 3;
        b.decLow = float(decDeg - 3);
    } else if (dec < -capLimit) {
        b.kind = 4;
        b.decHigh = float(decDeg + 3);
    } else if (ra < edge / c || ra > 2 * pi - edge / c) {
        b.kind = 2;
        b.decLow = float(decDeg - 3);
        b.decHigh = float(decDeg + 3);
        if (ra < edge / c) {
            b.raLow = float(360 + raDeg - 3 / c);
            b.raHigh = float(raDeg + 3 / c);
        } else {
            b.raLow = float(raDeg - 3 / c);
            b.raHigh = float(raDeg - 360 + 3 / c);
        }
    } else {
        b.kind = 1;
        b.decLow = float(decDeg - 3);
        b.decHigh = float(decDeg + 3);
        b.raLow = float(raDeg - 3 / c);
        b.raHigh = float(raDeg + 3 / c);
    }
    return b;
}

bool insideSearchBox(const SearchBox& b, double ra, double dec) {
    switch (b.kind) {
    case 1:
        return !(ra > b.raHigh || ra < b.raLow || dec < b.decLow || dec > b.decHigh);
    case 2:
        return !((ra > b.raHigh && ra < b.raLow) || dec < b.decLow || dec > b.decHigh);
    case 3:
        return !(dec < b.decLow);
    default:
        return !(dec > b.decHigh);
    }
}

NearestSearch findNearest(ChartWindowRecords& p, const ClickPoint& click) {
    NearestSearch out;
    Scan(p, click, out).run();
    return out;
}

} // namespace nivora
