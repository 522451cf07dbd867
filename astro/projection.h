// The fifteen chart projections, their inverses, the domain of the user projection and the grid
// interval of a chart scale.
//
// Chart plane: X to the right, Y upward, in pixels from the projection centre; a caller plots at
// (cx + X, cy - Y). Directions are in the chart frame: z toward the chart centre, x toward chart up,
// y toward chart right.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "astro/constants.h"

namespace nivora {

// 1 azimuthal equidistant, 2 azimuthal equal-area, 3 stereographic, 4 Mercator, 5 transverse
// Mercator, 6 gnomonic, 7 Mollweide, 8 orthographic, 9 sinusoidal, 10 user-defined azimuthal,
// 11 equirectangular, 12 Miller, 13 Hammer, 14 Lambert cylindrical equal-area, 15 Aitoff.
// Any other code draws as 1.
using ProjectionKind = std::uint8_t;

// Marks a direction a projection cannot show, and bounds the coordinates that grow without limit.
inline constexpr double offChartValue = 16000;
// The ordinate of the poles of the Mercator and Miller projections (abscissa of the transverse one).
inline constexpr double poleImageValue = 12000;

// What the projections read: the chart scale of the chart geometry and the user-defined azimuthal
// projection (kind 10). The option records hold the user projection through this type. The
// defaults are the first-run values.
struct ProjectionSetup {
    // Pixels per pi radians; single precision, filled by the chart geometry at every drawing.
    float chartScale = 0;
    // Element 0 the normalisation, element 1 = 1, elements 2..9 the user's coefficients of the
    // radius polynomial in the angular distance (radians).
    std::array<double, 10> coefficients{1 / pi, 1.0};
    std::int16_t termCount = 9;
    double domainDegrees = 180; // where the polynomial stops increasing
    double radiusDegrees = 90;  // the displayed radius angle
    double aspectYX = 1;        // factor on the vertical offset
    // coefficients[0] times the polynomial at the domain angle: the radius over chartScale where
    // the domain ends. Kept in step with userProjectionEdgeValue().
    double edgeValue = (1 / pi) * (180 / degreesPerRadian);
};

// P(c) = sum over i = 1..termCount of coefficients[i] c^i, c in radians (termCount kept to 1..9).
double userPolynomial(const ProjectionSetup& setup, double c);

// coefficients[0] that puts the displayed radius angle at chartScale / 2: 1 / (2 P(s)), s =
// radiusDegrees in radians. 0 when P(s) is not positive (a zero radius, or one past the domain),
// which shrinks the chart to its centre instead of producing infinities.
double userProjectionNormalisation(const ProjectionSetup& setup);

// coefficients[0] P(m), m = domainDegrees in radians: the edge of the user projection's domain.
double userProjectionEdgeValue(const ProjectionSetup& setup);

// Offset (X, Y) in pixels of the image of chart-frame direction (x, y, z). Always writes both.
// Off-chart directions give 16000 in both; the poles of the Mercator, Miller and transverse
// Mercator projections give +-12000 in one coordinate and the ordinary value in the other.
void DISPXY(double x, double y, double z, ProjectionKind prj, double& X, double& Y,
            const ProjectionSetup& setup);

// The angle in radians from the chart centre (0, 0, 1) beyond which no direction, of any length,
// has its image within |X| <= halfWidth and |Y| <= halfHeight: what lies farther out may be
// passed over without projecting it. pi where no smaller bound holds (a rectangle that takes in a
// projection's poles or rim).
double projectionReach(ProjectionKind prj, const ProjectionSetup& setup, double halfWidth, double halfHeight);

// Chart-frame directions within `angle` radians of the unit vector `centre`.
struct DirectionCap {
    std::array<double, 3> centre{0, 0, 1};
    double angle = pi;
};

// A cap that takes in every direction, of any length, whose image lies within |X| <= halfWidth and
// |Y - centreY| <= halfHeight: a rectangle off the chart centre, as the place of the direction
// point puts the box. With centreY 0 the chart centre and projectionReach().
DirectionCap rectangleCap(ProjectionKind prj, const ProjectionSetup& setup, double halfWidth, double halfHeight,
                          double centreY);

// Unit direction (x, y, z) whose image lies at the offset (X, Y): ok = 1, or ok = 0 for a point
// outside the part of the plane the projection fills, leaving x, y and z as they were. The
// stereographic and gnomonic projections accept every offset. A chart scale that is not positive
// leaves every offset invalid.
void INVDISP(double& x, double& y, double& z, ProjectionKind prj, float& ok, double X, double Y,
             const ProjectionSetup& setup);

// The eight coefficient texts of the "Minute Option" form: element i shows a(i + 2).
using CoefficientTexts = std::array<std::string, 8>;

// Angle from the centre, in degrees to 0.01, up to which the user polynomial shown by the texts
// keeps increasing; 180 when it increases all the way to pi. The derivative is scanned in single
// precision at steps of 0.1, 0.01 and 0.001 radians.
void PLJDOM(const CoefficientTexts& coefficientEdits, float& lim);

// Spacing in arc minutes of the "Coordinates from the Center" grid for a chart scale in pixels per
// pi radians: 36 to 72 pixels between neighbouring lines for scales from 144 to 108000.
float SCALEDIV(float scale);

} // namespace nivora
