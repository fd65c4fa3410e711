// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number formatting with digit patterns ("##0.0####", "0.0000##", "###0"):
// '0' is a digit always written, '#' one written only when significant,
// '.' the decimal point. The value is rounded to the decimals the pattern
// allows. Also the plain shortest general form and a strict number parser
// for what users type into boxes.

#include <optional>
#include <string>
#include <string_view>

namespace tamrel {

std::string formatPattern(double value, std::string_view pattern);

// Shortest general decimal form with up to 15 significant digits, exponent
// form ("1E-07", "2.5E+20") for very small or very large magnitudes.
std::string formatGeneral(double value);

// The same form with as many significant digits (up to 17) as it takes to
// read back as exactly `value`.
std::string formatExact(double value);

// printf's "%.17g": every double in 17 significant digits, the form of the
// batch's CSV files.
std::string formatG17(double value);

// A finite number in ordinary decimal or exponent notation, with optional
// surrounding blanks. Incomplete entries ("", ".", "-", "1e") and anything
// that is not a number give nullopt.
std::optional<double> parseNumber(std::string_view text);

// A text from a file, fit to print on a terminal: control characters (an
// escape sequence's ESC, a NUL that would end the text, C1 controls) are
// written as \xHH or \u00HH, so nothing in the file can move the cursor,
// recolour or cut the line. Line ends (LF, CR LF) stay, and so do tabs and
// every other character.
std::string terminalSafe(std::string_view text);

} // namespace tamrel
