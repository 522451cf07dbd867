#include "app/sweep/cull_sweep.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "app/program.h"
#include "astro/constants.h"
#include "astro/projection.h"
#include "astro/starlist.h"
#include "astro/vectors.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "render/bodymarks.h"
#include "render/culling.h"
#include "render/drawing.h"

namespace nivora::sweep {

namespace {

constexpr std::array<const char*, int(Family::count)> familyNames = {
    "general", "moon-track", "far-observer", "fast-stars", "cell-edges", "data-file", "earth-lines", "discs"};

// The draws of one chart, from its seed and index alone.
class Draws {
public:
    Draws(std::uint64_t seed, long index)
    {
        std::seed_seq seq{std::uint32_t(seed), std::uint32_t(seed >> 32), std::uint32_t(index),
                          std::uint32_t(std::uint64_t(index) >> 32)};
        engine_.seed(seq);
    }
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(engine_); }
    double logUniform(double lo, double hi) { return std::exp(uniform(std::log(lo), std::log(hi))); }
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
    bool chance(double p) { return uniform(0, 1) < p; }
    template <class T, std::size_t N>
    T pick(const std::array<T, N>& items) { return items[std::size_t(between(0, int(N) - 1))]; }
    template <class T>
    const T& pick(const std::vector<T>& items) { return items[std::size_t(between(0, int(items.size()) - 1))]; }

private:
    std::mt19937_64 engine_;
};

constexpr std::array<float, 8> magnitudeLimits = {0, 2.5f, 4.5f, 5.5f, 6.5f, 7.5f, 8.5f, 9.5f};
constexpr std::array<int, 6> gridSteps = {0, 1, 90, 30, 10, 5};
constexpr std::array<int, 7> earthMinutes = {0, 300, 120, 60, 30, 15, 10};
constexpr std::array<float, 4> underHorizonDepths = {0, 0.01745f, 0.0349f, 1.1f};
constexpr std::array<int, 4> antisunModes = {0, 1, 2, 11};

// The smallest limit that shows a star of magnitude m.
float limitFor(float m)
{
    for (const float limit : magnitudeLimits)
        if (limit >= m)
            return limit;
    return 9.5f;
}

// The stars the star families aim at, from the shipped lists: fast ones, and ones within a
// twentieth of a degree of a 5-degree line of right ascension or declination.
struct StarPick {
    double ra, dec, pmRa, pmDec;
    float magnitude;
};
struct StarPicks {
    std::vector<StarPick> fast, onEdges;
};
const StarPicks& starPicks()
{
    static const StarPicks picks = [] {
        StarPicks p;
        const auto nearLine = [](double d) { return std::fabs(std::remainder(d, 5.0)) < 0.05; };
        for (const char* file : {"ALLSTAR5.txt", "ALLSTAR7.txt"}) {
            const StarList list = readStarList(std::filesystem::path(NIVORA_DATA_DIR) / file);
            for (const StarRecord& s : list.records) {
                const StarPick pick{s.raDegrees, s.decDegrees, s.pmRaMas, s.pmDecMas, s.magnitude};
                if (std::hypot(s.pmRaMas, s.pmDecMas) > 1000)
                    p.fast.push_back(pick);
                if (nearLine(s.raDegrees) || nearLine(s.decDegrees))
                    p.onEdges.push_back(pick);
            }
        }
        return p;
    }();
    return picks;
}

// The whole drawing takes every dot of a grid: the finer steps only where that stays a few
// hundred thousand, as the program's own limits on the grids allow.
int gridStepFor(Draws& d, double magnification)
{
    if (d.chance(0.5))
        return 0;
    if (magnification > 1000)
        return d.between(0, 1);
    if (magnification > 100)
        return std::array<int, 4>{0, 1, 90, 30}[std::size_t(d.between(0, 3))];
    return d.pick(gridSteps);
}

void randomDate(Draws& d, Chart& c)
{
    c.year = d.between(1000, 3000);
    c.month = d.between(1, 12);
    c.day = d.between(1, 28);
    c.hour = d.between(0, 23);
    c.minute = d.between(0, 59);
    c.zoneHours = d.chance(0.5) ? 0 : d.between(-12, 12);
}

void randomObserver(Draws& d, Chart& c, double farChance)
{
    c.observerLongitude = std::round(d.uniform(-180, 180) * 1e4) / 1e4;
    c.observerLatitude = d.chance(0.15) ? (d.chance(0.5) ? 90 : -90) : std::round(d.uniform(-90, 90) * 1e4) / 1e4;
    if (d.chance(farChance))
        c.observerMetres = std::round(d.logUniform(1e4, 4e8));
    else
        c.observerMetres = d.chance(0.6) ? 0 : std::round(d.uniform(0, 5000));
}

void randomLook(Draws& d, Chart& c)
{
    c.size = d.chance(0.8) ? d.between(100, 400) : d.between(400, 1000);
    c.layout = d.between(1, 3);
    c.projection = d.between(1, 15);
    if (c.projection == 10 || d.chance(0.1)) {
        c.userAspect = d.chance(0.3) ? 1 : d.logUniform(0.3, 3);
        c.userRadiusDegrees = d.uniform(20, 180);
        c.userC2 = d.chance(0.5) ? 0 : d.uniform(-0.1, 0.2);
        c.userC3 = d.chance(0.5) ? 0 : d.uniform(-0.02, 0.05);
    }
    c.place = d.between(1, 4);
    c.vertical = d.between(1, 7);
    c.rotation = d.chance(0.8) ? 0 : std::round(d.uniform(-180, 180) * 100) / 100;
    c.underHorizonDepth = d.pick(underHorizonDepths);
    c.refraction = d.chance(0.8);
    c.aberration = d.chance(0.8);
    c.whiteBackground = d.chance(0.1);
}

void randomOverlays(Draws& d, Chart& c)
{
    c.constellationLines = d.chance(0.4);
    c.zenithStep = gridStepFor(d, c.magnification);
    c.equatorStep = gridStepFor(d, c.magnification);
    c.eclipticStep = gridStepFor(d, c.magnification);
    c.zenithNumbers = d.chance(0.5);
    c.equatorNumbers = d.chance(0.5);
    c.eclipticNumbers = d.chance(0.5);
    c.equatorEquinox = d.between(1, 4);
    c.eclipticEquinox = d.between(1, 4);
    c.centreCoords = d.chance(0.7) ? 0 : d.between(1, 4);
    c.sunMode = d.between(0, 4);
    c.moonMode = d.between(0, 4);
    c.antisunMode = d.pick(antisunModes);
    c.planetMode = d.between(0, 2);
}

// A date, an observer (far up by `farChance`), a box and a magnification log-uniform in [lo, hi].
void scene(Draws& d, Chart& c, double farChance, double lo, double hi)
{
    randomDate(d, c);
    randomObserver(d, c, farChance);
    randomLook(d, c);
    c.magnification = d.logUniform(lo, hi);
}

// Aimed at a point, up to `spread` pixels off it each way.
void aimNear(Draws& d, Chart& c, Aim aim, double spread)
{
    c.aim = aim;
    c.offsetX = d.uniform(-spread, spread);
    c.offsetY = d.uniform(-spread, spread);
}

// Records of the data file within the chart's reach of a point, on or beside the cells' lines.
void recordsNear(Draws& d, Chart& c, double lon, double lat, int count)
{
    const double reach = std::min(10.0, 200 * 180 / (c.size * c.magnification));
    for (int k = 0; k < count; ++k) {
        double a = lon + d.uniform(-reach, reach), b = lat + d.uniform(-reach, reach);
        if (d.chance(0.6))
            a = 5 * std::round(a / 5) + d.pick(std::array<double, 5>{0, 1e-3, -1e-3, 1e-2, 2.5});
        if (d.chance(0.6))
            b = 5 * std::round(b / 5) + d.pick(std::array<double, 5>{0, 1e-3, -1e-3, 1e-2, 2e-4});
        c.records.emplace_back(std::remainder(a, 360.0) + (a < 0 ? 360 : 0), std::clamp(b, -90.0, 90.0));
    }
}

void general(Draws& d, Chart& c)
{
    const double mode = d.uniform(0, 1);
    c.chartMode = mode < 0.7 ? 2 : mode < 0.9 ? 3 : 4;
    c.displayFrame = d.between(0, 7);
    randomDate(d, c);
    randomObserver(d, c, 0.2);
    randomLook(d, c);
    c.viewFrame = c.chartMode == 4 ? 0 : d.between(0, 8);
    c.viewLongitude = std::round(d.uniform(0, 360) * 100) / 100;
    c.viewLatitude = std::round(d.uniform(-90, 90) * 100) / 100;
    c.magnification = d.logUniform(0.2, 1e9);
    c.magnitudeLimit = c.magnification < 3 && d.chance(0.7) ? std::min(d.pick(magnitudeLimits), 6.5f)
                                                            : d.pick(magnitudeLimits);
    randomOverlays(d, c);
    c.moonLine = d.chance(0.7) ? 0 : d.between(1, 4);
    c.earthMinutes = d.chance(0.7) ? 0 : d.pick(earthMinutes);
    c.shellKm = d.chance(0.8) ? 0 : std::round(d.logUniform(1, 1000));
    if (d.chance(0.3)) {
        c.aim = d.chance(0.5) ? Aim::moon : Aim::sun;
        c.chartMode = 2;
    }
    if (d.chance(0.15)) {
        c.recordFrame = d.between(0, 9);
        c.recordRefraction = d.chance(0.5);
        recordsNear(d, c, c.viewLongitude, c.viewLatitude, d.between(1, 20));
    }
}

void moonTrack(Draws& d, Chart& c)
{
    scene(d, c, 0.2, 0.2, 1e6);
    c.magnitudeLimit = 0;
    c.moonLine = d.between(1, 4);
    aimNear(d, c, Aim::moon, c.size);
    if (d.chance(0.3))
        randomOverlays(d, c);
}

void farObserver(Draws& d, Chart& c)
{
    scene(d, c, 1, 0.2, 1e5);
    c.magnitudeLimit = d.chance(0.7) ? 0 : d.pick(magnitudeLimits);
    c.moonLine = d.chance(0.6) ? d.between(3, 4) : d.between(0, 2);
    c.earthMinutes = d.chance(0.4) ? d.pick(earthMinutes) : 0;
    if (d.chance(0.6)) {
        aimNear(d, c, Aim::moon, c.size);
    } else {
        c.viewLongitude = std::round(d.uniform(0, 360) * 100) / 100;
        c.viewLatitude = std::round(d.uniform(-90, 90) * 100) / 100;
    }
    if (d.chance(0.3))
        randomOverlays(d, c);
}

void aimAtStar(Draws& d, Chart& c, const std::vector<StarPick>& stars)
{
    const StarPick& s = d.pick(stars);
    c.aimRa = s.ra;
    c.aimDec = s.dec;
    c.aimPmRa = s.pmRa;
    c.aimPmDec = s.pmDec;
    c.magnitudeLimit = d.chance(0.7) ? limitFor(s.magnitude) : d.pick(magnitudeLimits);
    aimNear(d, c, Aim::star, c.size / 2.0);
    c.chartMode = d.chance(0.5) ? 2 : 3;
    c.displayFrame = d.between(0, 7);
}

void fastStars(Draws& d, Chart& c)
{
    scene(d, c, 0.1, 0.5, 1e4);
    aimAtStar(d, c, starPicks().fast);
    if (d.chance(0.3))
        randomOverlays(d, c);
}

void cellEdges(Draws& d, Chart& c)
{
    scene(d, c, 0.1, 3, 1e5);
    if (d.chance(0.5))
        c.year = d.between(1900, 2100);
    aimAtStar(d, c, starPicks().onEdges);
    if (d.chance(0.3))
        randomOverlays(d, c);
}

void dataFile(Draws& d, Chart& c)
{
    scene(d, c, 0.1, 0.5, 1e5);
    c.magnitudeLimit = d.chance(0.8) ? 0 : d.pick(magnitudeLimits);
    c.recordFrame = d.chance(0.5) ? 0 : d.between(1, 9);
    c.recordRefraction = d.chance(0.5);
    const double lon = 5 * d.between(0, 71) + d.pick(std::array<double, 4>{0, 2.5, 1e-3, 4.999});
    const double lat = 5 * d.between(-17, 17) + d.pick(std::array<double, 4>{0, 1e-3, 2e-4, -1e-3});
    c.records.emplace_back(lon, lat);
    recordsNear(d, c, lon, lat, d.between(0, 30));
    aimNear(d, c, Aim::record, c.size / 2.0);
    c.chartMode = d.chance(0.7) ? 2 : 3;
    c.displayFrame = d.between(0, 7);
    if (d.chance(0.3))
        randomOverlays(d, c);
}

void earthLines(Draws& d, Chart& c)
{
    scene(d, c, 0.8, 0.2, 1e4);
    c.magnitudeLimit = 0;
    c.earthMinutes = d.pick(std::array<int, 6>{300, 120, 60, 30, 15, 10});
    c.shellKm = c.observerMetres > 0 && d.chance(0.8) ? 0 : std::round(d.logUniform(1, 3000));
    c.underHorizonDepth = d.chance(0.6) ? 1.1f : d.pick(underHorizonDepths);
    c.viewFrame = 0;
    c.viewLongitude = std::round(d.uniform(0, 360) * 100) / 100;
    c.viewLatitude = std::round(d.uniform(-90, d.chance(0.7) ? 0 : 90) * 100) / 100;
    if (d.chance(0.3))
        randomOverlays(d, c);
}

void discs(Draws& d, Chart& c)
{
    randomDate(d, c);
    randomObserver(d, c, 0.1);
    randomLook(d, c);
    if (d.chance(0.3))
        c.projection = d.pick(std::array<int, 2>{7, 10});
    c.magnification = d.logUniform(1, 1e6);
    c.magnitudeLimit = 0;
    c.sunMode = d.pick(std::array<int, 3>{2, 4, d.between(0, 4)});
    c.moonMode = d.pick(std::array<int, 3>{2, 4, d.between(0, 4)});
    c.aim = d.chance(0.5) ? Aim::moon : Aim::sun;
    const double disc = 0.27 / 180 * c.size * c.magnification;   // about a disc's radius in pixels
    c.offsetX = d.uniform(-1.5, 1.5) * std::min(disc, 2.0 * c.size) + d.uniform(-c.size / 2.0, c.size / 2.0);
    c.offsetY = d.uniform(-1.5, 1.5) * std::min(disc, 2.0 * c.size) + d.uniform(-c.size / 2.0, c.size / 2.0);
    c.underHorizonDepth = d.chance(0.7) ? 0 : d.pick(underHorizonDepths);
    if (d.chance(0.3))
        randomOverlays(d, c);
}

std::string number(double v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

// The COMBO6 frame that holds a COMBO3 frame's coordinates; Zenithal(South=0) counts azimuth
// from the other side.
int viewFrameOfRecords(int recordFrame) { return recordFrame <= 1 ? 0 : recordFrame - 1; }

} // namespace

const char* familyName(Family f) { return familyNames[std::size_t(f)]; }

int familyByName(const std::string& name)
{
    for (std::size_t k = 0; k < familyNames.size(); ++k)
        if (name == familyNames[k])
            return int(k);
    return -1;
}

Chart makeChart(std::uint64_t seed, long index, int only, bool light)
{
    Draws d(seed, index);
    Chart c;
    c.seed = seed;
    c.index = index;
    c.light = light;
    const int drawn = d.between(0, int(Family::count) - 1);
    c.family = Family(only >= 0 ? only : drawn);
    switch (c.family) {
    case Family::general: general(d, c); break;
    case Family::moonTrack: moonTrack(d, c); break;
    case Family::farObserver: farObserver(d, c); break;
    case Family::fastStars: fastStars(d, c); break;
    case Family::cellEdges: cellEdges(d, c); break;
    case Family::dataFile: dataFile(d, c); break;
    case Family::earthLines: earthLines(d, c); break;
    case Family::discs: discs(d, c); break;
    case Family::count: break;
    }
    // The whole drawing computes the track's every point, 30 days of size x magnification / 50:
    // kept to about a second.
    if (light)
        c.size = 100 + c.size % 120;
    const double trackReach = light ? 2e4 : 1e5;
    if (c.moonLine != 0 && c.size * c.magnification > trackReach) {
        if (c.family == Family::moonTrack || c.family == Family::farObserver)
            c.magnification = trackReach / c.size * d.uniform(0.01, 1);
        else
            c.moonLine = 0;
    }
    // The grids, a step finer than the program's own choice, cost the whole drawing its dots.
    if (c.magnification > 1000) {
        c.zenithStep = std::min(c.zenithStep, 1);
        c.equatorStep = std::min(c.equatorStep, 1);
        c.eclipticStep = std::min(c.eclipticStep, 1);
    }
    return c;
}

std::string describe(const Chart& c)
{
    static const char* modes[] = {"", "", "sky", "star map", "Earth map"};
    static const char* layouts[] = {"", "one box", "half Height", "Dual-Box"};
    static const char* aims[] = {"", " aimed at the Moon", " aimed at the Sun", " aimed at a star", " aimed at a record"};
    char text[1600];
    std::snprintf(
        text, sizeof text,
        "%s, %s, size %d, magnification %.9g, projection %d%s, view %s/%s (COMBO6 %d%s)%s offset %.1f/%.1f, "
        "rotation %g, place %d, vertical %d, observer %s/%s at %s m, zone %d, %04d-%02d-%02d %02d:%02d, limit %.1f, "
        "lines %d, grids %d/%d/%d numbers %d%d%d equinox %d/%d, centre %d, track %d, Earth lines %d' shell %g km, "
        "under horizon %g, Sun %d Moon %d antisun %d planets %d, refraction %d aberration %d, white %d, %zu records "
        "(COMBO3 %d, refraction %d)",
        modes[c.chartMode], layouts[c.layout], c.size, c.magnification, c.projection,
        c.projection == 10 ? (" aspect " + number(c.userAspect) + " radius " + number(c.userRadiusDegrees) + " c2 " +
                              number(c.userC2) + " c3 " + number(c.userC3))
                                 .c_str()
                           : "",
        number(c.viewLongitude).c_str(), number(c.viewLatitude).c_str(), c.viewFrame,
        c.chartMode != 2 ? (", COMBO5 " + std::to_string(c.displayFrame)).c_str() : "", aims[int(c.aim)],
        c.offsetX, c.offsetY, c.rotation, c.place, c.vertical, number(c.observerLongitude).c_str(),
        number(c.observerLatitude).c_str(), number(c.observerMetres).c_str(), c.zoneHours, c.year, c.month, c.day,
        c.hour, c.minute, c.magnitudeLimit, c.constellationLines, c.zenithStep, c.equatorStep, c.eclipticStep,
        c.zenithNumbers, c.equatorNumbers, c.eclipticNumbers, c.equatorEquinox, c.eclipticEquinox, c.centreCoords,
        c.moonLine, c.earthMinutes, c.shellKm, c.underHorizonDepth, c.sunMode, c.moonMode, c.antisunMode,
        c.planetMode, c.refraction, c.aberration, c.whiteBackground, c.records.size(), c.recordFrame,
        c.recordRefraction);
    return text;
}

std::vector<std::pair<const char*, Chart>> withoutEachPart(const Chart& c)
{
    std::vector<std::pair<const char*, Chart>> parts;
    const auto without = [&](const char* name, bool present, auto change) {
        if (!present)
            return;
        Chart v = c;
        change(v);
        parts.emplace_back(name, v);
    };
    without("the Moon's track", c.moonLine != 0, [](Chart& v) { v.moonLine = 0; });
    without("the Earth lines", c.earthMinutes != 0, [](Chart& v) { v.earthMinutes = 0; });
    without("the data file", !c.records.empty() && c.recordsShown, [](Chart& v) { v.recordsShown = false; });
    without("the stars", c.magnitudeLimit > 0, [](Chart& v) { v.magnitudeLimit = 0; });
    without("the constellation lines", c.constellationLines != 0, [](Chart& v) { v.constellationLines = 0; });
    without("the grids", c.zenithStep + c.equatorStep + c.eclipticStep != 0,
            [](Chart& v) { v.zenithStep = v.equatorStep = v.eclipticStep = 0; });
    without("the centre's coordinates", c.centreCoords != 0, [](Chart& v) { v.centreCoords = 0; });
    without("the Sun's and the Moon's marks", c.sunMode != 0 || c.moonMode != 0 || c.antisunMode != 0,
            [](Chart& v) { v.sunMode = v.moonMode = v.antisunMode = 0; });
    without("the planets", c.planetMode != 0, [](Chart& v) { v.planetMode = 0; });
    // Not parts but places and layouts whose reach some culls judge apart.
    without("the horizon at the bottom (centred instead)", c.place == 3, [](Chart& v) { v.place = 2; });
    without("half Height (one box instead)", c.layout == 2, [](Chart& v) { v.layout = 1; });
    return parts;
}

std::string reproduceCommand(const Chart& c)
{
    return "build/app/sweep/cull_sweep --seed " + std::to_string(c.seed) + " --family " + familyName(c.family) + " --index " +
           std::to_string(c.index) + (c.light ? " --light" : "");
}

Sweeper::Sweeper()
{
    ensureApplication();
    const auto folder =
        std::filesystem::temp_directory_path() / ("nivora-cull-sweep-" + std::to_string(::getpid()) + "-" +
                                                  std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(NIVORA_DATA_DIR)) {
        if (!entry.is_regular_file())
            continue;
        const auto copy = folder / entry.path().filename();
        std::filesystem::copy_file(entry.path(), copy, std::filesystem::copy_options::overwrite_existing);
        // Saved long ago, as a user's files are: the caches trust their time stamps.
        std::filesystem::last_write_time(copy, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    program_ = std::make_unique<Program>(folder);
    program_->ui.setDialogs(std::make_unique<ScriptedDialogs>());
    program_->start();
    const char* files[] = {"mercury.plt", "venus.plt", "mars.plt", "jupiter.plt", "saturn.plt", "uranus.plt", "neptune.plt"};
    for (int k = 0; k < 7; ++k)
        program_->planetSettings.planetOrbitFile[std::size_t(k)] = files[k];
}

Sweeper::~Sweeper()
{
    const auto folder = program_->folder;
    program_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void Sweeper::setUp(const Chart& c)
{
    Program& p = *program_;
    Ui& ui = p.ui;
    ui.userClick(c.chartMode == 2 ? "RADIO2" : c.chartMode == 3 ? "RADIO3" : "RADIO105");
    ui.userClick(c.layout == 1 ? "RADIO27" : c.layout == 2 ? "RADIO28" : "RADIO29");
    const auto set = [&](const char* name, const std::string& text) { ui.control(name).setText(text); };
    if (c.chartMode != 2)
        ui.control("COMBO5").setIndex(c.displayFrame);
    set("EDIT2", number(c.observerLongitude));
    set("EDIT3", number(c.observerLatitude));
    set("EDIT43", number(c.observerMetres));
    for (const char* zone : {"EDIT4", "EDIT6"})
        set(zone, (c.zoneHours < 0 ? "-" : "+") + std::to_string(std::abs(c.zoneHours)));
    for (const char* zone : {"EDIT5", "EDIT7"})
        set(zone, "00");
    set("EDIT8", std::to_string(c.year));
    ui.control("COMBO1").setIndex(c.month - 1);
    set("EDIT9", std::to_string(c.day));
    set("EDIT10", std::to_string(c.hour));
    set("EDIT11", std::to_string(c.minute));
    ui.control("COMBO6").setIndex(c.viewFrame);
    set("EDIT12", number(c.viewLongitude));
    set("EDIT13", number(c.viewLatitude));
    set("EDIT64", number(c.rotation));
    set("EDIT1", std::to_string(c.size));
    set("EDIT75", number(c.magnification));
    set("EDIT77", number(c.shellKm));

    ChartOptions& o = p.chartOptions;
    o = ChartOptions{};
    o.whiteBackground = std::uint8_t(c.whiteBackground);
    o.magnitudeLimit = c.magnitudeLimit;
    o.constellationLines = std::uint8_t(c.constellationLines);
    o.zenithGridStep = std::uint8_t(c.zenithStep);
    o.zenithGridNumbers = std::uint8_t(c.zenithNumbers);
    o.equatorGridStep = std::uint8_t(c.equatorStep);
    o.equatorGridNumbers = std::uint8_t(c.equatorNumbers);
    o.equatorGridEquinox = std::uint8_t(c.equatorEquinox);
    o.eclipticGridStep = std::uint8_t(c.eclipticStep);
    o.eclipticGridNumbers = std::uint8_t(c.eclipticNumbers);
    o.eclipticGridEquinox = std::uint8_t(c.eclipticEquinox);
    o.moonLineMode = std::uint8_t(c.moonLine);
    o.earthGridMinutes = std::int16_t(c.earthMinutes);
    o.centerCoordsMode = std::uint8_t(c.centreCoords);
    o.refractionOn = std::uint8_t(c.refraction);
    o.diurnalAberrationOn = std::uint8_t(c.aberration);
    o.projectionKind = ProjectionKind(c.projection);
    o.directionPointPlace = std::uint8_t(c.place);
    o.underHorizonDepth = c.underHorizonDepth;
    o.verticalDirection = std::uint8_t(c.vertical);
    o.sunDisplayMode = std::uint8_t(c.sunMode);
    o.antisunDisplayMode = std::uint8_t(c.antisunMode);
    o.moonDisplayMode = std::uint8_t(c.moonMode);
    for (auto& mode : p.planetSettings.planetDisplayMode)
        mode = std::int16_t(c.planetMode);

    UserProjection& u = p.userProjection;
    u = UserProjection{};
    u.coefficients[2] = c.userC2;
    u.coefficients[3] = c.userC3;
    u.termCount = c.userC3 != 0 ? 3 : c.userC2 != 0 ? 2 : 1;
    u.radiusDegrees = c.userRadiusDegrees;
    u.aspectYX = c.userAspect;
    u.coefficients[0] = userProjectionNormalisation(u);
    u.edgeValue = userProjectionEdgeValue(u);

    // The data file, under a name of its own: the overlay's reader keeps what it read by name.
    const bool withRecords = !c.records.empty();
    ui.control("CHECK4").setValue(withRecords && c.recordsShown);
    if (withRecords) {
        const std::string name = "records-" + std::to_string(c.seed) + "-" + std::to_string(c.index) + ".txt";
        std::ofstream out(p.folder / name);
        char line[80];
        for (const auto& [lon, lat] : c.records) {
            std::snprintf(line, sizeof line, "r          %-12.6f   %.6f", lon, lat);
            out << line << '\n';
        }
        set("EDIT54", name);
        set("EDIT20", "12");
        set("EDIT21", "12");
        set("EDIT22", "27");
        set("EDIT23", "12");
        ui.form("FORM4").setGroupCode("longitudeUnit", 1);
        ui.form("FORM4").setGroupCode("latitudeUnit", 1);
        ui.form("FORM4").setGroupCode("markShape", 4);
        ui.control("COMBO3").setIndex(c.recordFrame);
        ui.control("CHECK5").setValue(c.recordRefraction);
    }
}

void Sweeper::aim(const Chart& c)
{
    Program& p = *program_;
    Ui& ui = p.ui;
    double lon = 0, lat = 0;
    switch (c.aim) {
    case Aim::none:
        return;
    case Aim::moon:
    case Aim::sun: {
        // A first drawing, at magnification 1 and with nothing costly, places the body.
        const ChartOptions kept = p.chartOptions;
        const int check = ui.control("CHECK4").value();
        p.chartOptions.magnitudeLimit = 0;
        p.chartOptions.constellationLines = p.chartOptions.moonLineMode = 0;
        p.chartOptions.zenithGridStep = p.chartOptions.equatorGridStep = p.chartOptions.eclipticGridStep = 0;
        p.chartOptions.earthGridMinutes = 0;
        ui.control("CHECK4").setValue(0);
        ui.control("EDIT75").setText("1");
        ui.userClick("BUTTON1");
        p.chartOptions = kept;
        ui.control("CHECK4").setValue(check);
        ui.control("EDIT75").setText(number(c.magnification));
        const DirectionVector w = apparentBody(p, c.aim == Aim::moon ? moonBody : sunBody).apparent;
        double r;
        ZENITH(w[0], w[1], w[2], lon, lat, r);
        lon *= degreesPerRadian;
        lat *= degreesPerRadian;
        ui.control("COMBO6").setIndex(0);
        break;
    }
    case Aim::star: {
        const double years = c.year - 2000 + (c.month - 0.5) / 12;
        lat = c.aimDec + c.aimPmDec * years / 3.6e6;
        lon = c.aimRa + c.aimPmRa * years / 3.6e6 / std::max(1e-3, std::cos(c.aimDec / degreesPerRadian));
        ui.control("COMBO6").setIndex(icrfEquatorialDirection);
        break;
    }
    case Aim::record:
        lon = c.records.front().first + (c.recordFrame == 1 ? 180 : 0);
        lat = c.records.front().second;
        ui.control("COMBO6").setIndex(viewFrameOfRecords(c.recordFrame));
        break;
    }
    const double degreesPerPixel = 180 / (c.size * c.magnification);
    lat = std::clamp(lat + c.offsetY * degreesPerPixel, -90.0, 90.0);
    lon += c.offsetX * degreesPerPixel / std::max(1e-3, std::cos(lat / degreesPerRadian));
    lon = std::fmod(std::fmod(lon, 360.0) + 360, 360.0);
    ui.control("EDIT12").setText(number(lon));
    ui.control("EDIT13").setText(number(lat));
}

Outcome Sweeper::run(const Chart& c, bool compare)
{
    Program& p = *program_;
    auto* dialogs = static_cast<ScriptedDialogs*>(&p.ui.dialogs());
    const std::size_t alertsBefore = dialogs->alerts().size();
    setUp(c);
    struct Removed {
        std::filesystem::path file;
        ~Removed()
        {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
        }
    } records{p.folder / p.ui.control("EDIT54").text()};
    if (c.records.empty())
        records.file.clear();
    aim(c);
    Outcome out;
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    p.ui.userClick("BUTTON1");
    out.drawSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
    auto alerts = dialogs->alerts();
    // A direction under the horizon is refused unless everything under it is shown: shown then.
    if (alerts.size() > alertsBefore && alerts.back().find("under the Horizen") != std::string::npos &&
        p.chartOptions.underHorizonDepth < 1) {
        p.chartOptions.underHorizonDepth = 1.1f;
        const auto t = Clock::now();
        p.ui.userClick("BUTTON1");
        out.drawSeconds = std::chrono::duration<double>(Clock::now() - t).count();
        out.view = "depth raised to 1.1, ";
        const std::size_t refused = alerts.size();
        alerts = dialogs->alerts();
        if (alerts.size() == refused)
            alerts.resize(alertsBefore);
    }
    out.view += p.ui.control("EDIT12").text() + "/" + p.ui.control("EDIT13").text() + " (COMBO6 " +
                std::to_string(p.ui.control("COMBO6").index()) + ")";
    if (alerts.size() > alertsBefore) {
        out.alert = alerts.back();
        return out;
    }
    out.drawn = p.drawn.chartDrawn;
    if (!out.drawn)
        return out;
    const QImage culled = p.chartBitmap.image().copy();
    // FNV-1a: two builds' pictures of a chart compared through their sums.
    out.checksum = 14695981039346656037ull;
    for (int y = 0; y < culled.height(); ++y) {
        const uchar* row = culled.constScanLine(y);
        for (int k = 0; k < culled.width() * 4; ++k)
            out.checksum = (out.checksum ^ row[k]) * 1099511628211ull;
    }
    if (!compare)
        return out;
    {
        const CullingOff whole;
        p.chartBitmap.clear(p.chartOptions.whiteBackground * 15);
        const auto t1 = Clock::now();
        DRAWINGIMG(p);
        out.wholeSeconds = std::chrono::duration<double>(Clock::now() - t1).count();
    }
    const QImage& drawn = p.chartBitmap.image();
    if (culled == drawn)
        return out;
    const QRgb background = drawn.pixel(0, 0);
    out.x0 = drawn.width();
    out.y0 = drawn.height();
    for (int y = 0; y < drawn.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(culled.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < drawn.width(); ++x)
            if (a[x] != b[x]) {
                ++out.differing;
                out.onlyWhole += a[x] == background;
                out.x0 = std::min(out.x0, x);
                out.y0 = std::min(out.y0, y);
                out.x1 = std::max(out.x1, x);
                out.y1 = std::max(out.y1, y);
            }
    }
    return out;
}

} // namespace nivora::sweep
