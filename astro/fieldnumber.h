// Numbers as the windows and the fixed-column files hold them: text read from its start.
#pragma once

#include <string_view>

namespace nivora {

// Reads the number at the start of a text: leading blanks (spaces and tabs) are skipped, a sign
// is allowed, then digits with an optional decimal point and exponent. Whatever follows is
// ignored, and text that does not start with a number reads as 0. Never locale-dependent.
// A number beyond the range of a double also reads as 0, so no infinity reaches a computation.
// Callers that hold the value in single precision narrow it themselves.
double readFieldNumber(std::string_view text);

} // namespace nivora
