// Passing over what cannot reach the picture: the one switch every cull asks, and runs of a
// curve's points judged a run at a time.
#pragma once

namespace nivora {

// Whether the drawing passes over what cannot reach the picture: the star cells, the run tests
// of the grids, the compass, the Earth lines and the Moon's track, and the skips by the
// visibility tables (the data-file overlay's too). Always on in the program. The tests turn it
// off (CullingOff) and compare the pictures, so a cull stays a saving and never a change: every
// new shortcut that passes over points asks it first, or goes through visitRuns.
bool cullingOn();

// Tests only: while one lives, every cull is off and a drawing takes every point it has.
class CullingOff {
public:
    CullingOff();
    ~CullingOff();
    CullingOff(const CullingOff&) = delete;
    CullingOff& operator=(const CullingOff&) = delete;

private:
    bool was_;
};

// What a test makes of a run of points.
enum class RunView {
    hidden,   // none of its points can reach the picture: passed over
    drawn,    // drawn point by point: it reaches the picture, or too little of it could be
              // passed over to be worth more tests
    halved,   // tested again half by half
};

// Visits in order every index of [first, last) that `judge`(i0, i1) does not find hidden for the
// run [i0, i1). A run is judged when its first index comes up and halved as the judge asks while
// it is longer than `shortest`; `passed`(i0, i1) learns of every run passed over, in its turn.
// With the culling off every index is visited and nothing judged.
template <class Judge, class Visit, class Passed>
void visitRuns(long first, long last, long shortest, const Judge& judge, const Visit& visit, const Passed& passed)
{
    if (first >= last)
        return;
    const RunView view = cullingOn() ? judge(first, last) : RunView::drawn;
    if (view == RunView::hidden) {
        passed(first, last);
        return;
    }
    if (view == RunView::drawn || last - first <= shortest) {
        for (long i = first; i < last; ++i)
            visit(i);
        return;
    }
    const long middle = first + (last - first) / 2;
    visitRuns(first, middle, shortest, judge, visit, passed);
    visitRuns(middle, last, shortest, judge, visit, passed);
}

} // namespace nivora
