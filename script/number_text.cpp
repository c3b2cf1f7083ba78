#include "script/number_text.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

// "0.5" -> ".5", "-0.25" -> "-.25"; other texts unchanged.
std::string DropLeadingZero(std::string text) {
    const std::size_t at = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() > at + 1 && text[at] == '0' && text[at + 1] == '.') {
        text.erase(at, 1);
    }
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

namespace {
// Room for any double in any format: fixed notation of the largest takes 309 digits and more.
constexpr std::size_t CharsRoom = 400;

template <typename Number>
NumberRead ReadNumber(std::string_view text, Number& value) {
    const char* const first = std::to_address(text.begin());
    const auto [end, error] = std::from_chars(first, first + text.size(), value);
    return {static_cast<std::size_t>(end - first), error};
}
} // namespace

std::string CharsOf(double value) {
    char buffer[CharsRoom];
    const auto written = std::to_chars(buffer, buffer + CharsRoom, value);
    return std::string(buffer, written.ptr);
}

std::string CharsOf(double value, std::chars_format format, int precision) {
    char buffer[CharsRoom];
    const auto written = std::to_chars(buffer, buffer + CharsRoom, value, format, precision);
    return std::string(buffer, written.ptr);
}

NumberRead ReadChars(std::string_view text, double& value) {
    return ReadNumber(text, value);
}

NumberRead ReadChars(std::string_view text, int& value) {
    return ReadNumber(text, value);
}

// printf's "%.<digits>G" without printf: the C library's number formatting follows the process
// locale, which the desktop may set to one with a decimal comma.
std::string FormatSignificant(double value, int digits) {
    if (value == 0.0) {
        return "0"; // also for -0: nobody wants to read "-0" on an axis
    }
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    std::string text = CharsOf(value, std::chars_format::general, digits);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string FormatShortest(double value) {
    if (value == 0.0) {
        return "0";
    }
    return CharsOf(value);
}

std::string FormatGeneral(double value) {
    return FormatSignificant(value, 15);
}

namespace {

// 10^k for k = 0..22, every one exact in a double.
constexpr std::array<double, 23> PowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Rounds a to 15 significant digits without text, for 1E-7 <= a < 1E15, where the scale 10^k
// that brings a to 15 integer digits is exact. The product a·10^k is carried exactly as p + err
// (a fused multiply-add gives err), so the rounding to an integer decides on the exact value,
// ties to even as the decimal formatting does; the integer over 10^k is then one correctly
// rounded division, the same double that reading the 15 digits back gives.
double RoundToGeneralDirect(double a) {
    // The decimal exponent from the binary one (read from the bits: a is normal here, and
    // 78913 / 2^18 is log10(2) closely enough for these exponents): right or one too small.
    const int binary = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7ff) - 1022;
    const int e = ((binary - 1) * 78913) >> 18;
    int k = 14 - e;
    if (k < 0 || k > 22) {
        return -1.0;
    }
    double p = a * PowersOfTen[static_cast<std::size_t>(k)];
    // The rounded product tells which, since rounding never crosses a power of ten that is
    // itself a double.
    if (p < 1e14 && k < 22) {
        ++k;
    } else if (p >= 1e15 && k > 0) {
        --k;
    }
    const double scale = PowersOfTen[static_cast<std::size_t>(k)];
    p = a * scale;
    if (p < 1e14 || p >= 1e15) {
        return -1.0;
    }
    const double err = std::fma(a, scale, -p);
    // p to the nearest integer, ties to even: below 2^52, adding 2^52 leaves no fraction.
    constexpr double Shift = 4503599627370496.0;
    double r = (p + Shift) - Shift;
    const double d = p - r; // exact: both lie within one unit
    const auto isEven = [](double n) { return std::fmod(n, 2.0) == 0.0; };
    const double up = (d - 0.5) + err; // its sign is that of the exact sum
    const double down = (d + 0.5) + err;
    if (up > 0.0 || (up == 0.0 && !isEven(r))) {
        r += 1.0;
    } else if (down < 0.0 || (down == 0.0 && !isEven(r))) {
        r -= 1.0;
    }
    return r / scale;
}

double RoundToGeneralByText(double value) {
    double rounded = value;
    ReadChars(CharsOf(value, std::chars_format::general, 15), rounded);
    return rounded;
}

} // namespace

double RoundToGeneral(double value) {
    if (!std::isfinite(value) || value == 0.0) {
        return value == 0.0 ? 0.0 : value;
    }
    const double a = std::fabs(value);
    if (a >= 1e-7 && a < 1e15) {
        const double rounded = RoundToGeneralDirect(a);
        if (rounded >= 0.0) {
            return value < 0 ? -rounded : rounded;
        }
    }
    return RoundToGeneralByText(value);
}

std::string FormatFileSingle(float value) {
    return DropLeadingZero(FormatSignificant(static_cast<double>(value), 7));
}

std::string FormatFileDouble(double value) {
    return DropLeadingZero(FormatSignificant(value, 15));
}

std::string FormatHundredths(double value) {
    if (!std::isfinite(value)) {
        return FormatGeneral(value);
    }
    std::string text = CharsOf(value, std::chars_format::fixed, 2);
    while (!text.empty() && text.back() == '0') {
        text.pop_back(); // the pattern's "#" digits are optional
    }
    text = DropLeadingZero(text);
    if (text == "-.") {
        text = "."; // a value that rounds to zero has no sign
    }
    return text;
}

double ReadLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            end = j;
        }
    }
    // from_chars wants no sign and a digit before the point.
    std::string number(text.substr(start, end - start));
    if (number[0] == '.') {
        number.insert(number.begin(), '0');
    }
    double value = 0.0;
    if (ReadChars(number, value).error != std::errc{} || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}
