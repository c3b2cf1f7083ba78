#include "script/builtins_impl.h"
#include "script/operations.h"
#include "script/textparse.h"
#include "script/variants.h"

#include <chrono>
#include <ctime>

// The argument conversions and text helpers that the groups of built-in functions share.

namespace script {

ErrorCode WholeArgument(const Value& value, std::int32_t& result) {
    switch (value.GetKind()) {
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
        result = value.Integer();
        return ErrorCode::None;
    default:
        break;
    }
    double number = 0.0;
    const ErrorCode error = ToDouble(value, number);
    if (error != ErrorCode::None) {
        return error;
    }
    return RoundToLong(number, result);
}

ErrorCode TextArgument(const Value& value, std::string& result) {
    return ToText(value, result);
}

ErrorCode DateArgument(const Value& value, double& serial) {
    switch (value.GetKind()) {
    case Kind::Null:
        return ErrorCode::InvalidUseOfNull;
    case Kind::Date:
        serial = value.Number();
        return ErrorCode::None;
    case Kind::String:
        if (ParseDateText(value.Text(), serial)) {
            return ErrorCode::None;
        }
        // Text that is a number is a day count, as any number is.
        if (!ParseNumericText(value.Text(), serial)) {
            return ErrorCode::TypeMismatch;
        }
        break;
    default: {
        const ErrorCode error = ToDouble(value, serial);
        if (error != ErrorCode::None) {
            return error;
        }
        break;
    }
    }
    return DateInRange(serial) ? ErrorCode::None : ErrorCode::Overflow;
}

ErrorCode CompareArgument(const Value& value, bool& text) {
    std::int32_t mode = 0;
    const ErrorCode error = WholeArgument(value, mode);
    if (error != ErrorCode::None) {
        return error;
    }
    if (mode != 0 && mode != 1) {
        return ErrorCode::InvalidProcedureCall;
    }
    text = mode == 1;
    return ErrorCode::None;
}

ErrorCode TristateArgument(const Value& value, bool defaultValue, bool& result) {
    std::int32_t state = 0;
    const ErrorCode error = WholeArgument(value, state);
    if (error != ErrorCode::None) {
        return error;
    }
    if (state == -2) {
        result = defaultValue;
    } else if (state == -1 || state == 0) {
        result = state == -1;
    } else {
        return ErrorCode::InvalidProcedureCall;
    }
    return ErrorCode::None;
}

std::u16string ToUnits(std::string_view text) {
    std::u16string units;
    units.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            code = lead & 0x07u;
        }
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0u) == 0x80u;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (valid && ((length == 3 && (code < 0x800 || (code >= 0xD800 && code < 0xE000))) ||
                      (length == 4 && (code < 0x10000 || code > 0x10FFFF)))) {
            valid = false;
        }
        if (!valid) {
            units.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
        i += static_cast<std::size_t>(length);
    }
    return units;
}

std::string FromUnits(std::u16string_view units) {
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD; // a lone half of a pair has no UTF-8 form
        }
        if (code < 0x80) {
            text.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            text.push_back(static_cast<char>(0xC0 | (code >> 6)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            text.push_back(static_cast<char>(0xE0 | (code >> 12)));
            text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xF0 | (code >> 18)));
            text.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return text;
}

char16_t LowerUnit(char16_t unit) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) ||
        (unit >= 0xFF21 && unit <= 0xFF3A)) {
        return static_cast<char16_t>(unit + 0x20);
    }
    return unit;
}

char16_t UpperUnit(char16_t unit) {
    if ((unit >= u'a' && unit <= u'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) ||
        (unit >= 0xFF41 && unit <= 0xFF5A)) {
        return static_cast<char16_t>(unit - 0x20);
    }
    return unit;
}

double LocalNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double day = DaySerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const double time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
    return CombineSerial(day, time);
}

} // namespace script
