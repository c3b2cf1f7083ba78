#include "platform/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

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
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, digits);
    std::string text(buffer.data(), result.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

// "0.5" -> ".5", "-0.25" -> "-.25"; other texts unchanged.
std::string DropLeadingZero(std::string text) {
    const std::size_t at = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() > at + 1 && text[at] == '0' && text[at + 1] == '.') {
        text.erase(at, 1);
    }
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string FormatGeneral(double value) { return FormatSignificant(value, 15); }

double RoundToGeneral(double value) {
    if (!std::isfinite(value) || value == 0.0) {
        return value == 0.0 ? 0.0 : value;
    }
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::general, 15);
    double rounded = value;
    std::from_chars(buffer.data(), written.ptr, rounded);
    return rounded;
}

std::string FormatFileSingle(float value) {
    return DropLeadingZero(FormatSignificant(static_cast<double>(value), 7));
}

std::string FormatFileDouble(double value) { return DropLeadingZero(FormatSignificant(value, 15)); }

std::string FormatHundredths(double value) {
    if (!std::isfinite(value)) {
        return FormatGeneral(value);
    }
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 2);
    std::string text(buffer.data(), result.ptr);
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
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc{} || !std::isfinite(value)) {
        return 0.0;
    }
    return negative ? -value : value;
}
