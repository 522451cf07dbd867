// Numbers as the windows and the fixed-column files hold them: text read from its start.
#pragma once

#include <string>
#include <string_view>

namespace nivora {

// Reads the number at the start of a text: leading blanks (spaces, not tabs) are skipped, a sign
// is allowed, then digits with an optional decimal point and exponent. Whatever follows is
// ignored, and text that does not start with a number reads as 0. Never locale-dependent.
// A number beyond the range of a double also reads as 0, so no infinity reaches a computation.
// Callers that hold the value in single precision narrow it themselves.
double readFieldNumber(std::string_view text);

// The precision a field's number is held in.
enum class FieldPrecision { Single, Double };

// Whether a field that holds its number in `precision` can hold the number its text starts
// with: not one beyond the precision's range ("1e39" in single, "1e400" in either), which would
// reach a computation as infinity or be read as 0, nor a spelling of infinity or not-a-number
// ("inf", "-Infinity", "NaN" as a word of its own). Every other text is held, one that starts
// with no number ("abc", "", "information") as the 0 it reads as, and so is a number too small
// for the precision (it reads as 0).
bool fieldHoldsNumber(std::string_view text, FieldPrecision precision);

// Writes a number as the windows show it: the shortest text that reads back as the same value in
// its own precision (a float as a float), no 0 before the decimal point, a leading blank when the
// value is not negative, and an exponent ("1.5E+07", "2E-06") only when the decimal exponent lies
// outside -5 ... precision - 1 (7 digits for a float, 15 for a double). 0.5 gives " .5", -0.25
// "-.25", 320 " 320", 0 " 0". Infinity and NaN, which no field should hold, give " 0".
std::string writeFieldNumber(double value);
std::string writeFieldNumber(float value);
std::string writeFieldNumber(int value);

} // namespace nivora
