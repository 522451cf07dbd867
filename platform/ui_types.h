// Plain values the windows, the dialogs and the chart bitmap share: colours, fonts, geometry.
#pragma once

#include <string>

namespace nivora {

struct Rgb {
    int red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct FontSpec {
    std::string family;                    // a Windows family name: "Arial", "Courier New" ...
    double points = 9;                     // shown as pixels at 96 dpi: points * 96 / 72
    bool bold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Outer geometry of a window or geometry of a control in its form, pixels.
struct Geometry {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Geometry&, const Geometry&) = default;
};

} // namespace nivora
