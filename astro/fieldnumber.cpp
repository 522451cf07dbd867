#include "astro/fieldnumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace nivora {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// The number at the start of a field's text, gathered for std::from_chars, which takes no '+'.
struct ScannedNumber {
    std::string number;      // sign, digits, point, and "e" with the exponent's sign and digits
    bool hasDigits = false;
    std::size_t afterSign = 0;   // where the text goes on after the blanks and the sign
};

ScannedNumber scanNumber(std::string_view text) {
    ScannedNumber out;
    std::string& number = out.number;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    out.afterSign = i;
    while (i < text.size() && isDigit(text[i])) {
        number += text[i++];
        out.hasDigits = true;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            out.hasDigits = true;
        }
    }
    if (out.hasDigits && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
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
    return out;
}

// Whether a number std::from_chars finds out of a double's range lies beyond it rather than
// below its least value: whether its leading digit stands above the units.
bool beyondDoubleRange(std::string_view number) {
    const std::size_t e = number.find('e');
    const std::string_view mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::size_t i = e + 1;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+'))
            ++i;
        for (; i < number.size() && exponent < 1000000; ++i)
            exponent = 10 * exponent + (number[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return false;
    const long long leading = first < point ? (long long)(point - first) - 1 : -(long long)(first - point);
    return leading + exponent > 0;
}

// "inf", "infinity" or "nan" in any case, as a word of its own.
bool spellsNonFinite(std::string_view text) {
    const auto word = [&](std::string_view spelling) {
        if (text.size() < spelling.size())
            return false;
        for (std::size_t i = 0; i < spelling.size(); ++i)
            if (lower(text[i]) != spelling[i])
                return false;
        if (text.size() == spelling.size())
            return true;
        const char next = text[spelling.size()];
        return !isLetter(next) && !isDigit(next) && next != '_';
    };
    return word("inf") || word("infinity") || word("nan");
}

} // namespace

double readFieldNumber(std::string_view text) {
    const ScannedNumber scanned = scanNumber(text);
    if (!scanned.hasDigits)
        return 0;
    const std::string& number = scanned.number;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    return value + 0.0; // "-0" reads as 0
}

bool fieldHoldsNumber(std::string_view text, FieldPrecision precision) {
    const ScannedNumber scanned = scanNumber(text);
    if (!scanned.hasDigits)
        return !spellsNonFinite(text.substr(scanned.afterSign));
    const std::string& number = scanned.number;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        return !beyondDoubleRange(number);   // one below the least reads as 0, which is held
    return precision == FieldPrecision::Double || std::isfinite(static_cast<float>(value));
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
