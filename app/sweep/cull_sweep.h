// Random charts drawn by a started program with the culls on and again with them off
// (CullingOff), pixel against pixel. A chart is made from a seed and an index alone, so any one
// found to differ is drawn again from its line; the test runs a few hundred of a fixed seed, the
// tool (cull_sweep) as many as asked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nivora {
class Program;
}

namespace nivora::sweep {

// What a chart is made to look at, each family with the settings it stresses.
enum class Family {
    general,      // anything: every projection, layout, option and magnification
    moonTrack,    // the Moon's track in its four modes, aimed at or near the Moon
    farObserver,  // observers up to 400,000 km up, at the poles, their track with parallax
    fastStars,    // stars of large proper motion at far dates, at the magnitude limit
    cellEdges,    // stars on the 5-degree cells' edges, close up
    dataFile,     // a data file's records on the cells' edges, marked by dots
    earthLines,   // the Earth's lines from a height, toward and away from the Earth
    discs,        // the Sun and the Moon at true size, close up, at rising and setting
    count
};
const char* familyName(Family f);
// -1 when no family has the name.
int familyByName(const std::string& name);

// Where a chart is turned before it is drawn, beside its own direction fields.
enum class Aim { none, moon, sun, star, record };

// Every setting of one chart, as the program's fields and records hold it.
struct Chart {
    std::uint64_t seed = 0;
    long index = 0;
    Family family = Family::general;
    bool light = false;      // boxes up to 220 pixels and shorter tracks: the test's charts

    int chartMode = 2;       // 2 sky, 3 star map, 4 Earth map (the RADIO105 mode)
    int displayFrame = 0;    // COMBO5, the map modes
    int year = 2008, month = 12, day = 31, hour = 23, minute = 59;
    int zoneHours = 9;
    double observerLongitude = 135, observerLatitude = 35, observerMetres = 0;
    double viewLongitude = 180, viewLatitude = 90;
    int viewFrame = 0;       // COMBO6
    double rotation = 0;     // EDIT64
    int size = 320;
    int layout = 1;          // 1 one box, 2 half Height, 3 Dual-Box
    double magnification = 1;

    int projection = 1;
    double userAspect = 1;   // the user projection's
    double userRadiusDegrees = 90;
    double userC2 = 0, userC3 = 0;
    int place = 2;
    int vertical = 1;
    float underHorizonDepth = 0;
    float magnitudeLimit = 4.5f;
    int constellationLines = 0;
    int zenithStep = 0, equatorStep = 0, eclipticStep = 0;
    int zenithNumbers = 0, equatorNumbers = 0, eclipticNumbers = 0;
    int equatorEquinox = 1, eclipticEquinox = 1;
    int centreCoords = 0;
    int moonLine = 0;
    int earthMinutes = 0;
    double shellKm = 0;
    int sunMode = 1, moonMode = 1, antisunMode = 0;
    int refraction = 1, aberration = 1;
    int whiteBackground = 0;
    int planetMode = 0;      // every planet's display mode

    // The data file: records in columns 12 and 27, in COMBO3's frame, marked by dots.
    int recordFrame = 0;
    int recordRefraction = 0;
    std::vector<std::pair<double, double>> records;
    bool recordsShown = true;   // "Draw by File"

    Aim aim = Aim::none;
    double aimRa = 0, aimDec = 0, aimPmRa = 0, aimPmDec = 0;   // a star's catalogue place and motion
    double offsetX = 0, offsetY = 0;                          // pixels from the aimed point
};

// The chart of a seed and index; `only` >= 0 forces its family. A light chart keeps the whole
// drawing to a fraction of a second.
Chart makeChart(std::uint64_t seed, long index, int only = -1, bool light = false);

// One line: the settings, enough to set the chart up by hand.
std::string describe(const Chart& c);
// The chart without each of its parts in turn (the track, the Earth lines, the data file, the
// stars ...), named: a difference that goes with one part points at its cull.
std::vector<std::pair<const char*, Chart>> withoutEachPart(const Chart& c);

// The tool's command line that draws this chart alone.
std::string reproduceCommand(const Chart& c);

struct Outcome {
    bool drawn = false;        // false when the program refused it (an alert)
    std::string alert;
    long differing = 0;        // pixels the two drawings disagree on
    long onlyWhole = 0;        // of them, pixels the culled drawing left at the background
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;   // their bounding box
    std::uint64_t checksum = 0;   // of the culled picture's pixels
    double drawSeconds = 0;    // the culled DRAW
    double wholeSeconds = 0;   // the drawing without culls
    // The direction fields as drawn (an aim sets them) and whether the depth under the horizon
    // was raised to 1.1 after the program refused a direction under the horizon.
    std::string view;
};

// A program started in a folder of its own with the shipped data, drawing charts one by one.
class Sweeper {
public:
    Sweeper();
    ~Sweeper();
    Sweeper(const Sweeper&) = delete;
    Sweeper& operator=(const Sweeper&) = delete;

    // Sets the chart up and DRAWs it; with `compare` draws it again whole and compares.
    Outcome run(const Chart& c, bool compare = true);

    Program& program() { return *program_; }

private:
    void setUp(const Chart& c);
    void aim(const Chart& c);
    std::unique_ptr<Program> program_;
};

} // namespace nivora::sweep
