// formatcurrency formatdatetime formatnumber formatpercent, in the formats of a Japanese system:
// "." before the decimals, "," between groups of three digits, two decimals by default, a minus
// sign in front of negative numbers, and for money the yen sign with no decimals ("¥1,235").

#include "script/builtins_impl.h"
#include "script/number_text.h"
#include "script/operations.h"
#include "script/variants.h"

#include <charconv>
#include <cmath>

namespace script {

namespace {

constexpr int DefaultDecimals = 2;
constexpr int CurrencyDecimals = 0;
constexpr int MaxDecimals = 255;
constexpr std::string_view YenSign = "\xc2\xa5"; // "¥"

struct NumberStyle {
    int decimals = DefaultDecimals;
    bool leadingDigit = true;
    bool parentheses = false;
    bool grouping = true;
};

// The decimal text of |value| rounded to decimals places, half away from zero, as the value's
// 15 significant digits give it (so 2.675 rounds up, as the decimal it stands for would).
std::string RoundedDigits(double value, int decimals, const NumberStyle& style, bool& isZero) {
    const std::string text = CharsOf(std::fabs(value), std::chars_format::scientific, 14);
    std::string digits;
    for (const char c : text.substr(0, text.find('e'))) {
        if (c != '.') {
            digits.push_back(c);
        }
    }
    int exponent = 0;
    const std::string_view exponentText = std::string_view(text).substr(text.find('e') + 1);
    ReadChars(exponentText.substr(exponentText[0] == '+' ? 1 : 0), exponent);
    if (value == 0.0) {
        exponent = 0;
    }
    // digits[i] stands for 10^(exponent - i). Keep the digits down to 10^-decimals.
    const int keep = exponent + 1 + decimals;
    std::string kept;
    int top = exponent; // the power of ten of kept[0]
    if (keep <= 0) {
        const bool roundsUp = keep == 0 && digits[0] >= '5';
        kept.assign(1, roundsUp ? '1' : '0');
        top = -decimals;
    } else if (keep < static_cast<int>(digits.size())) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        if (digits[static_cast<std::size_t>(keep)] >= '5') {
            int i = keep - 1;
            for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i) {
                kept[static_cast<std::size_t>(i)] = '0';
            }
            if (i < 0) {
                kept.insert(kept.begin(), '1');
                ++top;
            } else {
                ++kept[static_cast<std::size_t>(i)];
            }
        }
    } else {
        kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    }
    isZero = kept.find_first_not_of('0') == std::string::npos;
    // Whole part: the digits of powers >= 0.
    std::string whole;
    std::string fraction;
    for (int i = 0; i < static_cast<int>(kept.size()); ++i) {
        const int power = top - i;
        (power >= 0 ? whole : fraction).push_back(kept[static_cast<std::size_t>(i)]);
    }
    if (top < 0) {
        fraction.insert(0, static_cast<std::size_t>(-top - 1), '0');
    } else {
        whole.append(static_cast<std::size_t>(std::max(0, top - static_cast<int>(kept.size()) + 1)),
                     '0');
    }
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    const std::size_t firstDigit = whole.find_first_not_of('0');
    whole = firstDigit == std::string::npos ? std::string() : whole.substr(firstDigit);
    if (style.grouping) {
        for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3) {
            whole.insert(static_cast<std::size_t>(at), 1, ',');
        }
    }
    if (whole.empty() && (style.leadingDigit || decimals == 0)) {
        whole.assign(1, '0');
    }
    if (decimals > 0) {
        whole.push_back('.');
        whole.append(fraction);
    }
    return whole;
}

ErrorCode ReadStyle(const Value* arguments, int count, int defaultDecimals, NumberStyle& style) {
    style.decimals = defaultDecimals;
    ErrorCode error = ErrorCode::None;
    if (count >= 2) {
        std::int32_t decimals = 0;
        if ((error = WholeArgument(arguments[1], decimals)) != ErrorCode::None) {
            return error;
        }
        if (decimals < -1 || decimals > MaxDecimals) {
            return ErrorCode::InvalidProcedureCall;
        }
        style.decimals = decimals == -1 ? defaultDecimals : decimals;
    }
    if ((count >= 3 &&
         (error = TristateArgument(arguments[2], true, style.leadingDigit)) != ErrorCode::None) ||
        (count >= 4 &&
         (error = TristateArgument(arguments[3], false, style.parentheses)) != ErrorCode::None) ||
        (count >= 5 &&
         (error = TristateArgument(arguments[4], true, style.grouping)) != ErrorCode::None)) {
        return error;
    }
    return ErrorCode::None;
}

ErrorCode FormatNumberFunction(Builtin id, Value* arguments, int count) {
    NumberStyle style;
    const int defaultDecimals = id == Builtin::FormatCurrency ? CurrencyDecimals : DefaultDecimals;
    ErrorCode error = ReadStyle(arguments, count, defaultDecimals, style);
    if (error != ErrorCode::None) {
        return error;
    }
    double value = 0.0;
    if ((error = ToDouble(arguments[0], value)) != ErrorCode::None) {
        return error;
    }
    if (id == Builtin::FormatPercent) {
        value *= 100.0;
        if (!std::isfinite(value)) {
            return ErrorCode::Overflow;
        }
    }
    bool isZero = false;
    std::string text = RoundedDigits(value, style.decimals, style, isZero);
    if (id == Builtin::FormatCurrency) {
        text.insert(0, YenSign);
    } else if (id == Builtin::FormatPercent) {
        text.push_back('%');
    }
    if (value < 0.0 && !isZero) {
        text = style.parentheses ? "(" + text + ")" : "-" + text;
    }
    arguments[0].SetString(std::move(text));
    return ErrorCode::None;
}

ErrorCode FormatDateTimeFunction(Value* arguments, int count) {
    std::int32_t format = 0;
    ErrorCode error = ErrorCode::None;
    if (count == 2 && (error = WholeArgument(arguments[1], format)) != ErrorCode::None) {
        return error;
    }
    if (format < 0 || format > 4) {
        return ErrorCode::InvalidProcedureCall;
    }
    double serial = 0.0;
    if ((error = DateArgument(arguments[0], serial)) != ErrorCode::None) {
        return error;
    }
    switch (format) {
    case 1:
        arguments[0].SetString(LongDateText(serial));
        break;
    case 2:
        arguments[0].SetString(ShortDateText(serial));
        break;
    case 3:
        arguments[0].SetString(LongTimeText(serial));
        break;
    case 4:
        arguments[0].SetString(ShortTimeText(serial));
        break;
    default:
        arguments[0].SetString(GeneralDateText(serial));
        break;
    }
    return ErrorCode::None;
}

} // namespace

ErrorCode CallFormat(Builtin id, Value* arguments, int count) {
    if (id == Builtin::FormatDateTime) {
        return FormatDateTimeFunction(arguments, count);
    }
    return FormatNumberFunction(id, arguments, count);
}

} // namespace script
