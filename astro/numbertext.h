// Numbers, angles and comments as fixed-shape text for panels, readouts and form fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nivora {

// DecimalTextFormat: the three arguments of DSPDCM after the number.
//   width: characters before the decimal point, the sign included (width - 1 digits with a
//          sign, width digits without); a digit that would exceed 9 is written as 9.
//   decimals: digits after the point; fewer when the rest comes out exactly 0.
//   signMode: 0 always writes "+" or "-" (zero counts as "+"), 1 writes no sign.
// Leading zeros become blanks in front of the sign; the last decimal is rounded half away from
// zero. Exactly 0 has short forms: " +0"-style, "  0"-style or "0".
std::string DSPDCM(double x, float width, float decimals, float signMode);

// AngleTextMode, the codes of DSPSEXA (a in radians, prec extra decimals):
//   0 "ddd.dddd" deg in [0, 360)        1 "sddd.dddd" deg, above 180 less 360
//   2 "sdd.dddd" deg                    8 "d.dddd" deg, no sign      10 "sd.dddd" deg
//   3 "sdd" dg mm am ss as              4 "ddd" dg ... in [0, 360)   5 "sddd" dg ... in [-180, 180)
//   6 "hh" h mm m ss.s s in [0, 24)     9 mm am ss as               11 s mm am ss as
//   7 and any other code: the empty text.
// Seconds get prec decimals (prec + 1 in hours). Rounding adds just under half a unit of the last
// place and is not wrapped: 23h59m59.97s at prec 0 reads "24h00m00.0s". A leading field of more
// places than its mode has (mode 3 of 123 degrees) writes the whole number of its first place.
std::string DSPSEXA(double a, float mode, float prec);

// Largest 1-based character position not after p at which t begins in s, or -1; -1 also when p
// is not less than the length of s. Positions count UTF-8 characters.
std::int16_t BACKSCH(std::string_view s, std::string_view t, float p);

// Breaks a comment after at most w characters at the best-scoring punctuation or blank: the
// later the break and the higher its priority, the better. A text of w characters or fewer comes
// back whole with an empty rest; with no break character the text is cut at w. Characters are
// counted in UTF-8 and never split.
void CMTCUT(std::string_view s, std::string& first, std::string& rest, float w);

// Text of a computed quantity in a form field: below 1, eight decimals without a sign ("0.62995258");
// otherwise the shortest decimal text that reads back as the same double, cut to 10 characters
// when the value is below 100000000.
std::string fieldTextOfValue(double v);

} // namespace nivora
