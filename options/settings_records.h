// The settings records of one run: what start-up and the settings files fill and the main window's
// handlers change. They sit in this low room because the renderer and the chart window read them;
// the program's owner object holds one of each. Members start at their start-up values.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nivora {

// ChartMode codes of ChartView::chartMode.
enum : std::uint8_t { skyChartMode = 2, mapChartMode = 3 };

// DirectionFrame: the COMBO6 list index, the frame of the direction fields EDIT12 and EDIT13.
enum : std::uint8_t {
    zenithalDirection = 0,
    apparentEquatorialDirection, trueEquatorialDirection, meanEquatorialDirection, icrfEquatorialDirection,
    apparentEclipticDirection, trueEclipticDirection, meanEclipticDirection, j2000EclipticDirection,
};

// DisplayFrame: the COMBO5 list index, the frame of the map modes.
enum : std::uint8_t {
    apparentEquatorDisplay = 0, trueEquatorDisplay, meanEquatorDisplay, icrfEquatorDisplay,
    apparentEclipticDisplay, trueEclipticDisplay, meanEclipticDisplay, j2000EclipticDisplay,
};

// The view and layout state.
struct ChartView {
    std::uint8_t chartMode = skyChartMode; // 2 sky of an assigned local time, 3 map
    std::uint8_t earthMap = 0;             // 1 Earth map; also the set index of dataFiles
    std::int16_t imageSize = 320;          // pixels, as drawn
    double magnification = 1.0;            // as drawn
    std::uint8_t dualBox = 0;              // 1 when the Dual-Box layout was drawn
    std::uint8_t halfHeight = 0;           // 1 when the half-height layout was drawn
    std::int16_t chartWindowWidth = 366;   // outer size of the chart window FORM2
    std::int16_t chartWindowHeight = 428;
    std::int16_t scrollX = 0;              // scroll position of the chart in its window
    std::int16_t scrollY = 0;
};

// The constant layout of the chart bitmap, pixels.
struct ChartLayout {
    std::int16_t marginLeft = 20;
    std::int16_t marginTop = 20;
    std::int16_t marginRight = 20;   // also the gap before the second box
    std::int16_t marginBottom = 20;
    std::int16_t sideStripWidth = 240;
};

// The most entries a click readout and a keyword search list.
struct SearchLimits {
    std::int16_t nearestMax = 9;
    std::int16_t searchMax = 9;
};

// DataFileKind: the second index of DataFileSettings::dataFiles.
enum : int { firstStarList = 0, secondStarList = 1, constellationList = 2, constellationLines = 3 };

// The table of data file names, [set][kind]; the set is ChartView::earthMap.
struct DataFileSettings {
    std::array<std::array<std::string, 4>, 2> dataFiles{{
        {"ALLSTAR5.txt", "ALLSTAR7.txt", "velka.txt", "velkanet.net"},
        {"cities.txt", "zentend.txt", "nation.txt", "coast_bd.net"},
    }};
    std::uint8_t fontKind = 2;   // FontKind: 1 European, 2 Japanese
};

// The planets' series files and display modes, indexed BodyIndex - 2 (0 Mercury ... 6 Neptune).
struct PlanetSettings {
    std::array<std::string, 7> planetOrbitFile{};
    std::array<std::int16_t, 7> planetDisplayMode{};   // 0 not displayed, 1 "(x)", 2 emphasized
    std::uint8_t earthShadowDistanceMode = 1;          // 1 "to Moon", 2 "Assign"
};

// The overlay's mark and comment colours, RGB packed as R + 256 G + 65536 B.
struct OverlayColors {
    std::int32_t markColor = 0x00FF00;      // palette colour 9
    std::int32_t commentColor = 0xFF00FF;   // palette colour 7
};

} // namespace nivora
