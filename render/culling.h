// Passing over runs of a curve's points that cannot reach the picture, a run tested at a time.
#pragma once

namespace nivora {

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
template <class Judge, class Visit, class Passed>
void visitRuns(long first, long last, long shortest, const Judge& judge, const Visit& visit, const Passed& passed)
{
    if (first >= last)
        return;
    const RunView view = judge(first, last);
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
