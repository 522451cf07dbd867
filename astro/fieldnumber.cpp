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
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
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

} // namespace nivora
