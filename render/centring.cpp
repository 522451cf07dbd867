#include "render/centring.h"

#include <cmath>
#include <memory>
#include <vector>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/datafile.h"
#include "astro/fieldnumber.h"
#include "astro/linefile.h"
#include "astro/starlist.h"
#include "render/bodytable.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

// The visibility pipeline of the centring: aberration, refraction and the horizon test of the
// sky chart.
class Visibility {
public:
    explicit Visibility(const ProgramRecords& records) : records_(records) {}

    // Adds w, a place without aberration, to the sum unless it is hidden.
    bool add(DirectionVector w, float weight)
    {
        const SkyFrames& sky = records_.drawn.sky;
        const ChartOptions& options = records_.chartOptions;
        const bool skyChart = records_.chartView.chartMode < mapChartMode;
        if (skyChart || records_.drawn.settings.directionFrameIndex == 0) {
            for (int i = 0; i < 3; ++i)
                w[i] += sky.annualAberration[i];
            if (skyChart && options.diurnalAberrationOn == 1)
                w[1] += sky.diurnalAberration[1];
            normalise(w);
        }
        if (skyChart && options.refractionOn == 1)
            w[2] += REFRACTCUL(w[2], sky.horizonDipSine);
        if (skyChart && w[2] < -double(options.underHorizonDepth) - sky.horizonDipSine)
            return false;
        for (int i = 0; i < 3; ++i)
            sum[i] += weight * w[i];
        weights += weight;
        return true;
    }

    DirectionVector sum{};
    float weights = 0;

private:
    const ProgramRecords& records_;
};

// The first star list, as far as it goes. A list without its "#-" line is read to its end and
// named in an "ALERT"; a list that cannot be read is named in an "ALERT" and gives nothing.
std::shared_ptr<const StarList> starsAsFarAsTheyGo(ProgramRecords& records, const std::filesystem::path& path,
                                                   bool report)
{
    try {
        return records.starLists.list(path);
    } catch (const DataFileError& error) {
        if (report)
            records.ui.alert(error.what());
        // Read as every reader does: what is no plain file (a named pipe would hold the reading
        // up for ever) or too large gives nothing.
        std::string whole;
        try {
            whole = readWholeFile(path);
        } catch (const DataFileError&) {
            return nullptr;
        }
        const bool hasEnd = whole.rfind("#-", 0) == 0 || whole.find("\n#-") != std::string::npos;
        if (hasEnd)
            return nullptr;
        try {
            return std::make_shared<const StarList>(parseStarListText(whole + "\n#-\n", path));
        } catch (const DataFileError&) {
            return nullptr;
        }
    }
}

// Starts with the text of the key; a key of "---" items is no item.
bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

} // namespace

std::string centreFieldText(double degrees)
{
    return writeFieldNumber(std::floor(degrees * 10000) / 10000);
}

void CENTRALIZE(ProgramRecords& records, int apply, int index)
{
    if (index < 0 || !records.ui.hasControl("COMBO2"))
        return;
    const std::vector<std::string> items = records.ui.control("COMBO2").items();
    if (index >= int(items.size()))
        return;
    const std::string key = items[std::size_t(index)].substr(0, 3);
    if (key == "---")
        return;

    const SkyFrames& sky = records.drawn.sky;
    const ChartOptions& options = records.chartOptions;
    // A check alone runs inside a drawing whose own passes report the same files.
    const bool report = apply == 1;
    const int earthMap = records.chartView.earthMap & 1;
    const bool skyChart = records.chartView.chartMode < mapChartMode;
    Visibility visible(records);
    bool readLines = options.centralizeWeighting == 2;

    if (earthMap == 0 && index > 87) {
        int body = -1;
        for (int b = 0; b <= antisunBody && body < 0; ++b)
            if (startsWith(key, bodyNames[std::size_t(b)].code))
                body = b;
        if (body >= 0) {
            auto e = records.drawn.bodies.bodyPositions[std::size_t(body)];
            if (body >= 2 && body <= 8 && !(e[3] > 0)) {
                // The table leaves out a planet neither shown nor read out; one whose file failed
                // there has been reported already.
                if (records.planetSettings.planetDisplayMode[std::size_t(body - 2)] != 0 ||
                    records.readoutOptions.readoutBody == body)
                    return;
                try {
                    e = locatePlanet(records, sky, records.drawn.bodies, body).entry;
                } catch (const DataFileError& error) {
                    records.ui.alert(error.what());
                    return;
                }
            }
            const DirectionVector place = annualAberrationPlace({e[0], e[1], e[2]}, sky.annualAberrationEcliptic,
                                                                !annualAberrationApplies(body), false);
            visible.add(rotate(sky.trueEclipticToBase, place), 1);
            readLines = false;
        } else {
            readLines = true;
        }
    } else {
        const auto path = records.file(records.dataFileSettings.dataFiles[std::size_t(earthMap)][firstStarList]);
        const auto list = starsAsFarAsTheyGo(records, path, report);
        if (!list)
            return;
        for (const StarRecord& r : list->records) {
            if (list->key(r) != key)
                continue;
            const DirectionVector w = rotate(sky.icrfToBase, unitVector(r.raDegrees / degreesPerRadian, r.decDegrees / degreesPerRadian));
            // A faint star of a user's list would weigh against the others: never less than 0.1.
            const float weight = options.centralizeWeighting == 3 ? std::max(6 - r.magnitude, 0.1f) : 1.0f;
            visible.add(w, weight);
        }
    }

    if (readLines) {
        const auto path = records.file(records.dataFileSettings.dataFiles[std::size_t(earthMap)][constellationLines]);
        std::shared_ptr<const LineFile> file;
        try {
            file = records.lineFiles.file(path);
        } catch (const DataFileError& error) {
            if (report)
                records.ui.alert(error.what());
            return;
        }
        for (const LineSegment& s : file->segments) {
            if (s.key != key)
                continue;
            for (const auto& [ra, dec] : {std::pair{s.ra1, s.dec1}, std::pair{s.ra2, s.dec2}})
                visible.add(rotate(sky.icrfToBase, unitVector(ra / degreesPerRadian, dec / degreesPerRadian)), 1);
        }
        if (!file->complete && report)
            records.ui.alert(DataFileError(path, file->lineCount + 1, "a second \"#-\" line").what());
    }

    if (visible.weights == 0) {
        records.ui.alert("The Constellation is under the Horizen.");
        return;
    }
    if (apply == 0)
        return;

    DirectionVector S = visible.sum;
    {
        const double l = std::sqrt(S[0] * S[0] + S[1] * S[1] + S[2] * S[2]);
        if (!(l > 0))
            return;
        for (double& c : S)
            c /= l;
    }
    const int frame = records.drawn.settings.directionFrameIndex;
    const int display = records.drawn.settings.displayFrameIndex;
    double lon, lat, r;
    if (frame == 0) {
        ZENITH(S[0], S[1], S[2], lon, lat, r);
    } else {
        if (options.refractionOn == 1 && skyChart) {
            double refraction;
            INVREFRACT(S[2], sky.horizonDipSine, refraction);
            if (refraction > 0) {
                const double k = std::sqrt((1 - S[2] * S[2]) / (S[0] * S[0] + S[1] * S[1]));
                S[0] *= k;
                S[1] *= k;
            }
        }
        if ((skyChart || display % 4 == 0) && frame % 4 != 1) {
            DirectionVector a = sky.annualAberration;
            if (skyChart && options.diurnalAberrationOn == 1)
                a[1] += sky.diurnalAberration[1];
            DirectionVector freed;
            INVABER(S, a, freed);
            S = freed;
        }
        switch (frame) {
        case 1:
        case 2: S = rotate(sky.baseToTrueEquator, S); break;
        case 3: S = rotate(sky.baseToMeanEquator, S); break;
        case 4: S = rotate(sky.baseToIcrf, S); break;
        case 5:
        case 6: S = rotate(sky.trueEquatorToTrueEcliptic, rotate(sky.baseToTrueEquator, S)); break;
        case 7: S = rotate(sky.meanEquatorToMeanEcliptic, rotate(sky.baseToMeanEquator, S)); break;
        default: S = rotate(records.tables.icrfToJ2000Ecliptic, rotate(sky.baseToIcrf, S)); break;
        }
        if (!skyChart && display % 4 > 0 && frame % 4 == 1) {
            for (int i = 0; i < 3; ++i)
                S[i] += sky.annualAberrationEquatorial[i];
            const double l = std::sqrt(S[0] * S[0] + S[1] * S[1] + S[2] * S[2]);
            for (double& c : S)
                c /= l;
        }
        ZENITH(S[0], S[1], S[2], lon, lat, r);
    }
    if (earthMap == 0) {
        if (lon < 0)
            lon += 2 * pi;
        else if (lon > 2 * pi)
            lon -= 2 * pi;
    } else {
        if (lon > pi)
            lon -= 2 * pi;
        else if (lon < -pi)
            lon += 2 * pi;
    }
    records.ui.control("EDIT12").setText(centreFieldText(lon * degreesPerRadian));
    records.ui.control("EDIT13").setText(centreFieldText(lat * degreesPerRadian));
}

} // namespace nivora
