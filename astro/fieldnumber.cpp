#include "astro/fieldnumber.h"

#include <charconv>
#include <cmath>
#include <string>

namespace nivora {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

double readFieldNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;

    // Gather the longest prefix that forms a number; std::from_chars takes no '+' sign.
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        number += text[i++];
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            number += 'e';
            number.append(text.substr(i + 1, j - i - 1));
            while (j < text.size() && isDigit(text[j]))
                number += text[j++];
        }
    }

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    return value + 0.0; // "-0" reads as 0
}

namespace {

// Shortest round-trip digits and decimal exponent of a finite, non-zero magnitude.
template <class Real>
std::string writeShortest(Real value, int precision) {
    if (!std::isfinite(value) || value == 0)
        return " 0";
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    const std::string text(buffer, result.ptr);   // "d.ddde+XX" or "de+XX"
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1);
    if (e > 1)
        digits += text.substr(2, e - 2);
    const int exponent = std::stoi(text.substr(e + 1));

    std::string out = value < 0 ? "-" : " ";
    if (exponent >= -5 && exponent < precision) {
        const int pointAt = exponent + 1; // digits before the point
        if (pointAt <= 0) {
            out += '.';
            out.append(std::size_t(-pointAt), '0');
            out += digits;
        } else if (std::size_t(pointAt) >= digits.size()) {
            out += digits;
            out.append(std::size_t(pointAt) - digits.size(), '0');
        } else {
            out += digits.substr(0, std::size_t(pointAt));
            out += '.';
            out += digits.substr(std::size_t(pointAt));
        }
        return out;
    }
    out += digits.substr(0, 1);
    if (digits.size() > 1) {
        out += '.';
        out += digits.substr(1);
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    out += exponent < 0 ? "E-" : "E+";
    if (magnitude < 10)
        out += '0';
    out += std::to_string(magnitude);
    return out;
}

} // namespace

std::string writeFieldNumber(double value) { return writeShortest(value, 15); }
std::string writeFieldNumber(float value) { return writeShortest(value, 7); }
std::string writeFieldNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

} // namespace nivora
