#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

// Number <-> text conversions used across the program. Everything here is locale independent:
// "." is always the decimal separator and there is never a thousands separator.

// What std::to_chars writes for a value, as a string: the shortest text that reads back as the
// same double, or the text in a format and precision.
std::string CharsOf(double value);
std::string CharsOf(double value, std::chars_format format, int precision);

// std::from_chars over a text: how many characters made the number, and why it stopped short
// (std::errc{} when it did not).
struct NumberRead {
    std::size_t length = 0;
    std::errc error{};
};
NumberRead ReadChars(std::string_view text, double& value);
NumberRead ReadChars(std::string_view text, int& value);

// The general number form: at most 15 significant digits, trailing zeros dropped, exponent form
// ("1E+15", "1.5E-05") for magnitudes from 1E15 up and below 1E-4. Tick numbers and the "x="
// statements given to the evaluator use it, so 0.1+0.1+0.1 reads "0.3".
std::string FormatGeneral(double value);

// The general form with another number of significant digits (1 to 17): FormatGeneral is
// FormatSignificant(value, 15).
std::string FormatSignificant(double value, int digits);

// The shortest text that reads back as the same double ("0.1", "2.5e-07", "1e+20"), for text
// that other programs read; -0 is written "0".
std::string FormatShortest(double value);

// The same value rounded to what its general form says (15 significant digits), without going
// through a string the caller has to parse.
double RoundToGeneral(double value);

// Settings-file forms: as many digits as the value needs, up to 7 for a single and 15 for a
// double; no leading zero below 1 (".5", "-.25"); exponent form as in FormatGeneral ("1E-05").
std::string FormatFileSingle(float value);
std::string FormatFileDouble(double value);

// The pattern "#.##": nearest hundredth, no digit before the point below 1 and the point kept
// when no decimals follow ("1.06", ".26", "2.").
std::string FormatHundredths(double value);

// Reads the longest leading numeric part of a text: leading blanks skipped, then an optional
// sign, digits, a decimal point and an exponent as far as they form a number. A text without
// one, or whose number lies beyond the double range, reads as 0.
double ReadLeadingNumber(std::string_view text);
