// The option records: what the option menus and the "Minute Option" form store, read by the
// renderer, the click readout and the searches. Members hold small integer codes; every member
// starts at the value each start of the program gives it.
#pragma once

#include <cstdint>

#include "astro/constants.h"
#include "astro/projection.h"

namespace nivora {

// How the next chart is drawn.
struct ChartOptions {
    std::uint8_t whiteBackground = 0;     // 0 black, 1 white
    float magnitudeLimit = 4.5f;          // 0 (no stars), 2.5 ... 9.5
    std::uint8_t constellationLines = 1;  // 1 draw, 0 nothing
    std::uint8_t zenithGridStep = 90;     // GridStep: 0, 1, 90, 30, 10, 5
    std::uint8_t zenithGridNumbers = 0;   // switch
    std::uint8_t equatorGridStep = 1;     // GridStep
    std::uint8_t equatorGridNumbers = 0;  // switch
    std::uint8_t equatorGridEquinox = 1;  // EquinoxCode: 1 apparent, 2 true, 3 mean, 4 ICRF
    std::uint8_t eclipticGridStep = 1;    // GridStep
    std::uint8_t eclipticGridNumbers = 0; // switch
    std::uint8_t eclipticGridEquinox = 1; // EquinoxCode, 4 = J2000.0 ecliptic
    std::uint8_t moonLineMode = 0;        // 0 nothing ... 4 with parallax (second kind)
    std::int16_t earthGridMinutes = 0;    // 0, 300, 120, 60, 30, 15, 10 arc minutes
    std::uint8_t centerCoordsMode = 0;    // 0 nothing, 1 axes, 2, 3 grids, 4 circle
    std::uint8_t refractionOn = 1;        // switch, kept in the settings file
    std::uint8_t diurnalAberrationOn = 1; // switch, kept in the settings file
    std::uint8_t centralizeWeighting = 2; // 1 simple, 2 lines, 3 magnitude; kept in the settings file
    ProjectionKind projectionKind = 1;    // 1..15
    std::uint8_t directionPointPlace = 2; // 1 bottom, 2 centre, 3 horizon at the bottom, 4 top
    float underHorizonDepth = 0;          // 0, 0.01745f, 0.0349f, 1.1f (compared with a sine)
    std::uint8_t verticalDirection = 1;   // VerticalCode 1..7
    std::uint8_t sunDisplayMode = 1;      // BodyDisplayMode 0..4
    std::uint8_t antisunDisplayMode = 0;  // AntisunMode 0, 1, 2, 11
    std::uint8_t moonDisplayMode = 1;     // BodyDisplayMode 0..4
    std::uint8_t orbitObjectDisplayMode = 0; // BodyDisplayMode 0, 1, 3
};

// What the information panel reports about one body and about the poles and equinoxes.
struct ReadoutOptions {
    std::uint8_t readoutBody = 0;       // BodyIndex 0..8, 20 the added star, 30 the orbit object
    std::uint8_t readoutParallax = 0;   // switch: 1 seen from the observer's place
    std::uint8_t readoutCorrection = 0; // 0 apparent, 1 no annual aberration, 2 geometric
    std::uint8_t readoutFrame = 2;      // FrameCode; 100 gives no location block
    std::uint8_t poleDataReadout = 0;   // PoleDataCode 0..5, 100, 101, 102
};

// The values of the "Minute Option" form that its "OK" copies back. The form's altitude of the
// Earth lines, search radius and search comment are read live from the form by their users.
struct MinuteOptions {
    float starScaling = 1.0f;      // A of the star size law
    float dotMagnitude = 7.5f;     // B: stars this faint or fainter are dots
    std::uint8_t azElUnit = 2;     // UnitCode 1..5
    std::uint8_t raDecUnit = 3;    // UnitCode 1..5
    std::uint8_t sunDataFrame = 1; // 1 apparent, 2 true, 3 mean, 4 ICRF, 5 all (no star search)
    std::uint8_t angleUnit = 2;    // UnitCode 1..2
    std::uint8_t commentUnit = 3;  // UnitCode 1..3
};

// The user-defined azimuthal projection (kind 10): the projections' own set-up, so they read it as
// it stands. It starts at the polynomial rho = R / pi over a domain of 180 degrees.
using UserProjection = ProjectionSetup;

} // namespace nivora
