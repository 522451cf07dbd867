// The compass points around the horizon and the visible horizon, in the sky chart only.
#pragma once

#include <vector>

namespace nivora {

struct HorizonCircle;
struct ProgramRecords;

// Sixteen names (eight at a chart scale of 240 or less) a little below the lowest sky drawn,
// with rim copies in the Dual-Box layout, and the visible horizon as a dotted curve. No
// refraction or aberration applies.
void compassPass(ProgramRecords& records, const HorizonCircle& horizon);

// The azimuths of the dots of one arc of the visible horizon, degrees, as the arc counts them:
// from `from`, adding `step` in single precision while not past `to`, at most `most` of them,
// and no more once a sum stops growing. Any one is found without adding up those before it:
// within one binary order of magnitude a single-precision sum grows by the same whole number of
// its last places every time (but where the step falls half-way between two, which is counted
// dot by dot), so the azimuths are kept as runs of equal increments.
class ArcAzimuths {
public:
    ArcAzimuths(float from, float to, float step, long most);
    long size() const { return size_; }
    float operator[](long k) const;

private:
    struct Run {
        long first;   // index of its first azimuth
        double start;
        double increment;
    };
    std::vector<Run> runs_;
    long size_ = 0;
};

} // namespace nivora
