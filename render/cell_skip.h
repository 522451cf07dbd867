// Passing over the records of a 5-degree lattice cell (a star list's, a data file's) at one look,
// before any of them is turned or projected.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "astro/projection.h"
#include "astro/vectors.h"
#include "render/visibility_grid.h"

namespace nivora {

struct ProgramRecords;
class PointPipeline;

// The cells of one pass. A cell is passed over when every direction in it lies under the horizon
// or outside the cap of directions that the drawing limits take in (in the Dual-Box layout, it
// or its mirror image, the second box's), or, by the visibility table's outside codes, lands where
// what a record draws cannot reach the box's area. With the culling off no cell is.
class CellSkip {
public:
    // `toBase` brings a direction of the lattice's frame to the base frame as the pass brings its
    // records there, before refraction, which `pipeline` adds as the pass does. `table` is the
    // visibility table filled from that frame with the same corrections, or null where none is.
    CellSkip(const ProgramRecords& records, const PointPipeline& pipeline,
             std::function<DirectionVector(const DirectionVector&)> toBase, const VisibilityNodes* table);

    // Whether a record whose direction lies in cell (i, j) (by visibilityCell) and whose drawing
    // reaches no farther than `reach` pixels from its own pixel puts nothing into the picture.
    bool hidden(int i, int j, double reach);

private:
    bool judge(int i, int j) const;

    enum class Judged : std::uint8_t { notYet, hidden, shown };
    const PointPipeline& pipeline_;
    std::function<DirectionVector(const DirectionVector&)> toBase_;
    const VisibilityNodes* table_;
    bool on_;
    bool codes_;          // the table's outside codes stand for this layout
    double reachX_ = 0;   // the farthest a record may draw for each code to hold, pixels
    double reachY_ = 0;
    DirectionCap limitReach_;   // PointPipeline::cullReach
    std::array<std::array<Judged, 37>, 73> cells_{};
};

} // namespace nivora
