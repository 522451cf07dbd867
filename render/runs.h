// Passing over runs of a curve's points that cannot reach the picture, a run tested at a time.
#pragma once

namespace nivora {

// Visits in order every index of [first, last) that `hidden`(i0, i1) cannot rule out for the run
// [i0, i1). A run is tested when its first index comes up, and halved while it is longer than
// `shortest`; `passed`(i0, i1) learns of every run skipped whole, in its turn.
template <class Hidden, class Visit, class Passed>
void visitUnhidden(long first, long last, long shortest, const Hidden& hidden, const Visit& visit,
                   const Passed& passed)
{
    if (first >= last)
        return;
    if (hidden(first, last)) {
        passed(first, last);
        return;
    }
    if (last - first <= shortest) {
        for (long i = first; i < last; ++i)
            visit(i);
        return;
    }
    const long middle = first + (last - first) / 2;
    visitUnhidden(first, middle, shortest, hidden, visit, passed);
    visitUnhidden(middle, last, shortest, hidden, visit, passed);
}

} // namespace nivora
