// The settings files' one-value-a-line text ("nivora.ini", star-map presets, overlay formats).
// Each line is read as one value, so a comma or colon typed into a field stays in that field
// instead of shifting every later value.
#pragma once

#include "astro/fieldnumber.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace nivora {

// A number line as the settings files write it: the field text and one blank after it.
inline std::string settingsNumber(double value) { return writeFieldNumber(value) + " "; }
inline std::string settingsNumber(float value) { return writeFieldNumber(value) + " "; }
inline std::string settingsNumber(int value) { return writeFieldNumber(value) + " "; }

// A whole number for a 16- or 32-bit member: rounded, held to the type's range.
template <typename Int>
Int settingsInteger(double value)
{
    if (!std::isfinite(value)) return 0;
    const double low = double(std::numeric_limits<Int>::min());
    const double high = double(std::numeric_limits<Int>::max());
    return Int(std::clamp(std::nearbyint(value), low, high));
}

// The lines of a file, 1-based as the file formats count them.
class SettingsLines {
public:
    explicit SettingsLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    int count() const { return int(lines_.size()); }
    // True when the file holds every line up to `last`: a group is read only when whole.
    bool has(int last) const { return count() >= last; }

    // The line as it stands (the lines the formats read whole).
    const std::string& whole(int line) const { return lines_.at(size_t(line - 1)); }
    // The line less its leading and trailing blanks (the lines that hold one field's text).
    std::string item(int line) const
    {
        const std::string& text = whole(line);
        const size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos) return {};
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    }
    // The number at the start of the line; 0 when it starts with none.
    double number(int line) const { return readFieldNumber(whole(line)); }
    // A code: the line's whole number when it lies in [low, high], else `fallback`.
    int code(int line, int low, int high, int fallback) const
    {
        const double v = number(line);
        return v >= low && v <= high && v == std::floor(v) ? int(v) : fallback;
    }

private:
    std::vector<std::string> lines_;
};

} // namespace nivora
