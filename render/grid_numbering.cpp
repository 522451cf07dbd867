#include "render/grid_numbering.h"

#include <cmath>
#include <cstdlib>

#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_grid.h"

namespace nivora {

namespace {

int sgn(double x) { return (x > 0) - (x < 0); }

// The remainder by 4 with the sign of the state: 1 inside, 3 outside; a negative state is neither.
int remainder4(int state) { return state % 4; }

// A slope whose denominator is 0 counts as steep: no slide.
struct Slope {
    bool defined = false;
    double value = 0;
};
Slope slope(double numerator, double denominator)
{
    if (denominator == 0)
        return {};
    return {true, numerator / denominator};
}
bool gentle(const Slope& s) { return s.defined && std::fabs(s.value) < 2; }
int slideSign(const Slope& s) { return s.defined ? sgn(s.value) : 0; }

} // namespace

std::string gridLabel(bool meridian, int c)
{
    if (meridian)
        return std::to_string(c);
    const char sign = c < 0 ? '-' : '+';
    const int a = std::abs(c);
    return std::string(1, sign) + (a < 10 ? "0" : "") + std::to_string(a);
}

GridNumbering::GridNumbering(ProgramRecords& records) : records_(records) {}

void GridNumbering::startCurve(const GridCurve& curve, const PointPipeline& pipeline, const VisibilityEntry& n0)
{
    curve_ = curve;
    pipeline_ = &pipeline;
    scale_ = records_.userProjection.chartScale;
    const double m = records_.chartView.magnification;
    const int c = curve.coordinate;
    if (!curve.numbersOn || (m < 1.5 && c % 30 != 0) || (m < 4 && c % 10 != 0)) {
        state_ = 0;
        return;
    }
    text_ = gridLabel(curve.meridian, c);
    if (pipeline.dualBox()) {
        if (curve.grid == GridKind::horizontal && !curve.meridian)
            state_ = n0[nodeEdgeX] < 2 ? 5 : 7;
        else
            state_ = n0[nodeBelow] == 0 ? 5 : 7;
    } else {
        state_ = n0[nodeBelow] == 0 && n0[nodeEdgeX] == 0 && n0[nodeEdgeY] == 0 ? 5 : 7;
    }
}

bool GridNumbering::nearPole(double latitude) const
{
    const double q = 90 - std::fabs(curve_.meridian ? latitude : curve_.coordinate);
    return 3000 / scale_ > q;
}

bool GridNumbering::crowded(double latitude) const
{
    const double q = 90 - std::fabs(curve_.meridian ? latitude : curve_.coordinate);
    return 15000 / scale_ > q && curve_.coordinate % (3 * curve_.step) != 0;
}

double GridNumbering::halfWidth() const { return curve_.meridian ? 4.0 * double(text_.size()) : 12.0; }

void GridNumbering::label(double dx, double dy, int box)
{
    const BoxCentres& b = pipeline_->boxes();
    boxCanvas(records_, box).drawText(float(b.x1 + dx), float(b.y - dy), text_, curve_.colour);
}

void GridNumbering::belowHorizon(const DirectionVector& w, double latitude)
{
    if (state_ == 0)
        return;
    const PointPipeline& p = *pipeline_;
    const double D = p.boxes().secondBoxOffset;
    // Where the point would lie, in the box its hemisphere puts it.
    const auto place = [&](double& X, double& Y, int& box) {
        const DirectionVector v = p.toChart(w);
        box = p.dualBox() && v[2] <= 0 ? 1 : 0;
        if (box == 1) {
            p.project({v[0], -v[1], -v[2]}, X, Y);
            X += D;
        } else {
            p.project(v, X, Y);
        }
    };
    if (remainder4(state_) == 1) {
        if (nearPole(latitude)) {
            state_ += 2;
            return;
        }
        state_ = 3;
        if (crowded(latitude))
            return;
        double X, Y;
        int box;
        place(X, Y, box);
        const bool vertical = curve_.grid == GridKind::horizontal && curve_.meridian;
        label(X - (vertical ? 12 : halfWidth()), Y + 8, box);
        return;
    }
    const double limit = -records_.drawn.sky.horizonDipSine - double(records_.chartOptions.underHorizonDepth);
    if (w[2] > limit - 14 / scale_)
        place(pX_, pY_, pBox_);
}

void GridNumbering::afterDot(double X, double Y, const DirectionVector& v, const DirectionVector& w,
                             double latitude, const VisibilityEntry& blockNode, bool firstBlock)
{
    const PointPipeline& p = *pipeline_;
    const bool dual = p.dualBox();
    const int box = dual && v[2] < 0 ? 1 : 0;
    if (dual && firstBlock) {
        pX_ = X;   // no passage between the boxes at the start of a curve
        pBox_ = box;
    }
    if (state_ != 0) {
        const ChartGeometry& g = records_.drawn.geometry;
        const double bw = g.boxHalfWidth, bh = g.boxHalfHeight, dO = g.directionOffset;
        const bool meridian = curve_.meridian;
        const double h = halfWidth();
        if (dual) {
            const double D = p.boxes().secondBoxOffset;
            const double limit = -records_.drawn.sky.horizonDipSine - double(records_.chartOptions.underHorizonDepth);
            const double hv = curve_.grid == GridKind::horizontal && meridian ? 0 : h;
            if (meridian && nearPole(latitude)) {
            } else if (remainder4(state_) == 3 && w[2] > limit) {
                state_ = 1;
                label(X - hv, Y + 8, box);
            } else if (pBox_ == 0 && box == 1) {
                // The passage is numbered on both sides of the rim, each in its own box.
                state_ -= 4;
                label(D - X - hv, Y + 8, 0);
                label(X - hv, Y + 8, 1);
            } else if (pBox_ == 1 && box == 0) {
                state_ -= 4;
                label(X - hv, Y + 8, 0);
                label(D - X - hv, Y + 8, 1);
            }
        } else {
            const bool inside = std::fabs(X) < bw && std::fabs(Y - dO) < bh;
            if (remainder4(state_) == 3 && inside) {
                if (meridian && nearPole(latitude)) {
                    state_ -= 2;
                } else {
                    state_ = 1;
                    if (!(meridian && crowded(latitude)))
                        entryLabel(X, Y, blockNode);
                }
            } else if (remainder4(state_) == 1 && !inside) {
                if (meridian && nearPole(latitude)) {
                    state_ += 2;
                } else {
                    state_ = 2;
                    if (!(meridian && crowded(latitude)))
                        exitLabel(X, Y);
                }
            }
            if (state_ == 2) {
                if (std::fabs(X) >= g.halfWidthLimit || std::fabs(Y - dO) >= g.halfHeightLimit)
                    state_ = 3;
                else if (inside)
                    state_ = 1;
            }
        }
    }
    pX_ = X;
    pY_ = Y;
    pBox_ = box;
}

void GridNumbering::edgeLabel(int side, double X, double Y, double topSteep)
{
    const ChartGeometry& g = records_.drawn.geometry;
    const ChartLayout& layout = records_.chartLayout;
    const double bw = g.boxHalfWidth, bh = g.boxHalfHeight, dO = g.directionOffset;
    const double mL = layout.marginLeft, mT = layout.marginTop;
    const bool meridian = curve_.meridian;
    const double n4 = 4.0 * double(text_.size());
    const double f = curve_.grid == GridKind::horizontal && meridian ? 8 : 4;
    const Slope sl = slope(Y - pY_, X - pX_);
    const Slope r = slope(X - pX_, Y - pY_);
    switch (side) {
    case left:
        if (gentle(sl))
            meridian ? label(-bw - mL + 12 - n4, Y + 8 - f * sl.value) : label(-bw - mL, Y + 8 - 4 * sl.value);
        else
            meridian ? label(-bw - n4, Y + 8) : label(-bw - 12, Y + 8);
        break;
    case right:
        if (gentle(sl))
            meridian ? label(bw + 8 - n4, Y + 8 + f * sl.value) : label(bw - 4, Y + 8 + 4 * sl.value);
        else
            meridian ? label(bw - n4, Y + 8) : label(bw - 12, Y + 8);
        break;
    case below:
        if (gentle(r))
            meridian ? label(X - n4 - f * r.value, dO - bh) : label(X - 12 - 4 * r.value, dO - bh);
        else
            meridian ? label(X - n4, dO - bh + 8) : label(X - 12, dO - bh + 8);
        break;
    default:
        if (gentle(r))
            meridian ? label(X - n4 + f * r.value, bh + mT + dO) : label(X - 12 + 4 * r.value, bh + mT + dO);
        else
            label(X - (meridian ? n4 : 12), topSteep);
        break;
    }
}

void GridNumbering::entryLabel(double X, double Y, const VisibilityEntry& n1)
{
    const ChartGeometry& g = records_.drawn.geometry;
    const double bw = g.boxHalfWidth, bh = g.boxHalfHeight, dO = g.directionOffset;
    const double T = curve_.grid == GridKind::ecliptic ? bh + records_.chartLayout.marginTop + dO - 8 : bh + dO + 8;
    // The side the curve came from, by the codes of its block's first node.
    const int sx = n1[nodeEdgeX] % 3, sy = n1[nodeEdgeY] % 3;
    const int side = sx == 1 ? left : sx == 2 ? right : sy == 1 ? below : sy == 2 ? above : none;
    const bool atPoint = (side == left && X - 6 > -bw) || (side == right && X + 6 < bw) ||
                         (side == below && Y - 6 > dO - bh) || (side == above && Y + 6 < dO + bh);
    if (side == none)
        label(X - halfWidth(), Y + 8);
    else if (atPoint)
        label(X - 12, Y + 8);
    else
        edgeLabel(side, X, Y, T);
}

void GridNumbering::exitLabel(double X, double Y)
{
    const ChartGeometry& g = records_.drawn.geometry;
    const double bw = g.boxHalfWidth, bh = g.boxHalfHeight, dO = g.directionOffset;
    const double mL = records_.chartLayout.marginLeft, mT = records_.chartLayout.marginTop;
    const bool meridian = curve_.meridian;
    const int side = X < -bw ? left : X > bw ? right : Y - dO < -bh ? below : above;
    if (curve_.grid == GridKind::equatorial) {
        // The equatorial grid slides its exits by a fixed 8 pixels along the slope's sign.
        const double n4 = 4.0 * double(text_.size()), h = halfWidth();
        const int ss = slideSign(slope(Y - pY_, X - pX_)), rs = slideSign(slope(X - pX_, Y - pY_));
        switch (side) {
        case left: label(meridian ? -bw - mL + 12 - n4 : -bw - mL, Y + 8 - 8 * ss); break;
        case right: label(meridian ? bw + 8 - n4 : bw - 4, Y + 8 + 8 * ss); break;
        case below: label(X - h - 8 * rs, dO - bh); break;
        default: label(X - h + 8 * rs, bh + mT + dO); break;
        }
        return;
    }
    const double topSteep = !meridian && curve_.grid == GridKind::ecliptic ? bh + mT + dO - 8 : bh + dO + 8;
    edgeLabel(side, X, Y, topSteep);
}

void GridNumbering::endCurve(const DirectionVector& v)
{
    if (state_ != 5)
        return;
    const PointPipeline& p = *pipeline_;
    const bool horizontalCircle = curve_.grid == GridKind::horizontal && !curve_.meridian;
    double X, Y;
    const int box = p.dualBox() && (v[2] < 0 || (horizontalCircle && v[2] <= 0)) ? 1 : 0;
    if (box == 1) {
        p.project({v[0], -v[1], -v[2]}, X, Y);
        X += p.boxes().secondBoxOffset;
    } else {
        p.project(v, X, Y);
    }
    label(X - halfWidth(), Y + 8, box);
}

} // namespace nivora
