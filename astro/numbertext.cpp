#include "astro/numbertext.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "astro/constants.h"

namespace nivora {

namespace {

double powerOfTen(int k) { return std::pow(10.0, k); }

// The integer part of a non-negative quotient, kept finite for text.
double integerPart(double v) {
    const double d = std::floor(v);
    return d >= 0 ? d : 0; // also catches NaN
}

char digitOf(double d) { return char('0' + int(std::min(d, 9.0))); }

// A whole number of any size as decimal digits.
std::string wholeNumberText(double d) {
    if (d < 10)
        return std::string(1, digitOf(d));
    std::array<char, 400> buffer;
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), d, std::chars_format::fixed, 0);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string("9");
}

// Byte offset of the start of every UTF-8 character, then the length of the text. A byte that
// continues a character never starts one, except at the very start of a malformed text.
std::vector<std::size_t> characterStarts(std::string_view s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (i == 0 || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    starts.push_back(s.size());
    return starts;
}

int wholeCount(float v, int low, int high) {
    if (!(v >= float(low)))
        return low;
    return v >= float(high) ? high : int(v);
}

} // namespace

std::string DSPDCM(double x, float width, float decimals, float signMode) {
    int w = wholeCount(width, 0, 64);
    const int n = wholeCount(decimals, 0, 30);
    const int unsigned_ = signMode == 0 ? 0 : 1;
    if (x == 0) {
        if (w >= 2)
            return std::string(w - 2 + unsigned_, ' ') + (unsigned_ ? "0" : "+0");
        return "0";
    }
    w = std::max(w, 2 - unsigned_); // the units place is always written
    std::string blanks;
    std::string text = unsigned_ ? "" : x < 0 ? "-" : "+";
    double m = std::abs(x) + 5 / powerOfTen(n + 1);
    bool written = false;
    for (int k = w - 2 + unsigned_; k >= 0; --k) {
        const double p = powerOfTen(k);
        const double d = integerPart(m / p);
        m -= d * p;
        if (!written && d == 0 && k > 0) {
            blanks += ' ';
            continue;
        }
        text += digitOf(d);
        written = true;
    }
    if (m != 0 && n > 0) {
        text += '.';
        for (int k = 1; k <= n; ++k) {
            const double p = powerOfTen(-k);
            const double d = integerPart(m / p);
            m -= d * p;
            text += digitOf(d);
            if (m == 0)
                break;
        }
    }
    return blanks + text;
}

std::string DSPSEXA(double a, float mode, float prec) {
    if (mode != std::floor(mode))
        return "";
    const int code = int(std::clamp(mode, -1.0f, 12.0f));
    const int places = wholeCount(prec, 0, 20);
    const float decimals = float(4 + places);

    double v = a * degreesPerRadian;
    switch (code) {
    case 0:
        return DSPDCM(v - 360 * std::floor(v / 360), 3, decimals, 1) + "deg";
    case 1:
        return DSPDCM(v > 180 ? v - 360 : v, 4, decimals, 0) + "deg";
    case 2:
        return DSPDCM(v, 3, decimals, 0) + "deg";
    case 8:
        return DSPDCM(v, 1, decimals, 1) + "deg";
    case 10:
        return DSPDCM(v > 180 ? v - 360 : v, 2, decimals, 0) + "deg";
    case 3:
    case 4:
    case 5:
    case 6:
    case 9:
    case 11:
        break;
    default:
        return "";
    }

    std::string lead, minutes = "00", seconds = "00";
    if (a == 0) {
        static constexpr std::string_view zeroLeads[] = {"", "", "", "+00", "  0", " +00", "  0",
                                                         "", "", "",    "",    ""};
        lead = zeroLeads[code];
        if (code == 11)
            minutes = "+00";
    } else {
        std::string sign;
        if (code == 4)
            v -= 360 * std::floor(v / 360);
        else if (code == 5 || code == 11)
            v -= 360 * std::floor((v + 180) / 360);
        else if (code == 6) {
            v = a * 12 / pi;
            v -= 24 * std::floor(v / 24);
        }
        if (code == 3 || code == 5 || code == 11)
            sign = v < 0 ? "-" : "+";
        // Just under half a unit of the last place of the seconds.
        v = std::abs(v) + double(1.38f) / powerOfTen(places + (code == 6 ? 5 : 4));

        if (code != 9 && code != 11) {
            std::string blanks, digits;
            for (int k = code == 4 || code == 5 ? 2 : 1; k >= 0; --k) {
                const double p = powerOfTen(k);
                const double d = integerPart(v / p);
                v -= d * p;
                if (digits.empty() && d == 0 && k > 0)
                    blanks += ' ';
                else
                    digits += wholeNumberText(d);
            }
            lead = blanks + sign + digits;
        }
        if (v != 0) {
            v *= 60;
            const double whole = integerPart(v);
            const std::string text = wholeNumberText(whole);
            minutes = whole < 10 ? "0" + text : text.substr(text.size() - 2);
            v = (v - whole) * 60;
            if (v != 0) {
                seconds.clear();
                const int last = code == 6 ? -places - 1 : -places;
                for (int k = 1; k >= last; --k) {
                    const double p = powerOfTen(k);
                    const double d = integerPart(v / p);
                    v -= d * p;
                    seconds += digitOf(d);
                    if (k <= 0 && v == 0)
                        break;
                    if (k == 0 && (places > 0 || code == 6))
                        seconds += '.';
                }
            }
        }
        if (code == 11)
            minutes = sign + minutes;
    }

    if (code == 6)
        return lead + "h" + minutes + "m" + seconds + "s";
    if (code == 9 || code == 11)
        return minutes + "am" + seconds + "as";
    return lead + "dg" + minutes + "am" + seconds + "as";
}

std::int16_t BACKSCH(std::string_view s, std::string_view t, float p) {
    const std::vector<std::size_t> starts = characterStarts(s);
    const int length = int(starts.size()) - 1;
    if (!(p < float(length)))
        return -1;
    for (int q = wholeCount(p, 0, length); q >= 1; --q)
        if (s.substr(starts[q - 1]).starts_with(t))
            return std::int16_t(std::min(q, 32767));
    return -1;
}

void CMTCUT(std::string_view s, std::string& first, std::string& rest, float w) {
    const std::vector<std::size_t> starts = characterStarts(s);
    const int length = int(starts.size()) - 1;
    if (!(w < float(length))) {
        first = s;
        rest.clear();
        return;
    }
    static constexpr std::string_view characters = ", !?()[]{}-/\\|:;=_+&@*~.'";
    static constexpr std::string_view priorities = "9999888888777777766666655";
    static constexpr std::string_view flags = "+-++-+-+-+-----+-------++";
    int best = -1, bestScore = 0, bestPosition = 0;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const int position = BACKSCH(s, characters.substr(i, 1), w);
        const int score = position > 1 ? position + 3 * (priorities[i] - '0') : 0;
        if (score > bestScore) {
            best = int(i);
            bestScore = score;
            bestPosition = position;
        }
    }
    int cut; // characters in the first part
    if (best < 0)
        cut = wholeCount(w, 0, length);
    else
        cut = flags[best] == '+' ? bestPosition : bestPosition - 1;
    first = s.substr(0, starts[cut]);
    rest = s.substr(starts[cut]);
}

std::string fieldTextOfValue(double v) {
    if (v < 1)
        return DSPDCM(v, 1, 8, 1);
    std::array<char, 400> buffer;
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, std::chars_format::fixed);
    std::string text = error == std::errc() ? std::string(buffer.data(), end) : std::string();
    if (v < 100000000 && text.size() > 10)
        text.resize(10);
    return text;
}

} // namespace nivora
