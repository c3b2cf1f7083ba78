#include "script/variants.h"

#include "script/arithmetic.h"
#include "script/lexer.h"
#include "script/number_text.h"
#include "script/operations.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace script {

namespace {

// How precisely a kind holds a number, for the result of an operator: the more precise operand
// decides. Empty takes the other operand's kind.
enum class Precision : std::uint8_t { Empty, Byte, Integer, Long, Single, Double, Currency };

Precision PrecisionOf(Kind kind) {
    switch (kind) {
    case Kind::Empty:
        return Precision::Empty;
    case Kind::Byte:
        return Precision::Byte;
    case Kind::Boolean:
    case Kind::Integer:
        return Precision::Integer;
    case Kind::Long:
        return Precision::Long;
    case Kind::Single:
        return Precision::Single;
    case Kind::Currency:
        return Precision::Currency;
    default:
        return Precision::Double; // Double, Date, and numeric text
    }
}

// Stores an exact whole number in the narrowest kind from precision up that holds it.
void StoreWhole(Value& target, std::int64_t value, Precision precision) {
    if (precision <= Precision::Byte && value >= 0 && value <= 255) {
        target.SetByte(static_cast<std::int32_t>(value));
    } else if (precision <= Precision::Integer && value >= -32768 && value <= 32767) {
        target.SetInteger(static_cast<std::int32_t>(value));
    } else if (value >= std::numeric_limits<std::int32_t>::min() &&
               value <= std::numeric_limits<std::int32_t>::max()) {
        target.SetLong(static_cast<std::int32_t>(value));
    } else {
        target.SetDouble(static_cast<double>(value));
    }
}

constexpr std::int64_t DaysTo1970 = 25569; // the day number of 1970-01-01

// Days from 1970-01-01 of a proleptic Gregorian date (month 1..12).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    date.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

std::string TwoDigits(int value) {
    std::string text;
    if (value < 10) {
        text.push_back('0');
    }
    text.append(std::to_string(value));
    return text;
}

} // namespace

ErrorCode StoreCurrency(Value& target, double value) {
    if (!std::isfinite(value)) {
        return ErrorCode::Overflow;
    }
    const double rounded = RoundHalfEven(value * 10000.0) / 10000.0;
    if (!(std::fabs(rounded) <= CurrencyLimit)) {
        return ErrorCode::Overflow;
    }
    target.SetCurrency(rounded == 0.0 ? 0.0 : rounded);
    return ErrorCode::None;
}

ErrorCode StoreSingle(Value& target, double value) {
    if (std::isnan(value)) {
        return ErrorCode::InvalidProcedureCall;
    }
    const float narrowed = static_cast<float>(value);
    if (std::isinf(narrowed)) {
        return ErrorCode::Overflow;
    }
    target.SetSingle(narrowed);
    return ErrorCode::None;
}

bool DateInRange(double serial) {
    return serial > FirstDate - 1.0 && serial < LastDate + 1.0;
}

ErrorCode StoreDate(Value& target, double serial) {
    if (!DateInRange(serial)) {
        return ErrorCode::Overflow;
    }
    target.SetDate(serial);
    return ErrorCode::None;
}

ErrorCode ExtendedArithmetic(Op op, Value& left, const Value& right) {
    double x = 0.0;
    double y = 0.0;
    ErrorCode error = ErrorCode::None;
    if ((error = ToDouble(left, x)) != ErrorCode::None ||
        (error = ToDouble(right, y)) != ErrorCode::None) {
        return error;
    }
    const bool leftDate = left.Is(Kind::Date);
    const bool rightDate = right.Is(Kind::Date);
    if (op != Op::Multiply && (leftDate || rightDate)) {
        const double result = op == Op::Add ? x + y : x - y;
        if (op == Op::Subtract && leftDate && rightDate) {
            return StoreDouble(left, result);
        }
        if (!std::isfinite(result)) {
            return ErrorCode::Overflow;
        }
        // A date pushed out of the calendar is still a number.
        if (DateInRange(result)) {
            left.SetDate(result);
        } else {
            left.SetDouble(result);
        }
        return ErrorCode::None;
    }
    const Precision a = PrecisionOf(left.GetKind());
    const Precision b = PrecisionOf(right.GetKind());
    Precision precision = std::max(a, b);
    if (precision == Precision::Single && (a == Precision::Long || b == Precision::Long ||
                                           left.Is(Kind::String) || right.Is(Kind::String))) {
        precision = Precision::Double;
    }
    const double result = op == Op::Add ? x + y : op == Op::Subtract ? x - y : x * y;
    switch (precision) {
    case Precision::Empty:
    case Precision::Byte:
    case Precision::Integer:
    case Precision::Long:
        // Whole operands of at most 32 bits: the double result is exact.
        StoreWhole(left, static_cast<std::int64_t>(result), precision);
        return ErrorCode::None;
    case Precision::Single:
        if (std::isfinite(result) && std::isinf(static_cast<float>(result))) {
            return StoreDouble(left, result);
        }
        return StoreSingle(left, result);
    case Precision::Currency:
        return StoreCurrency(left, result);
    case Precision::Double:
        break;
    }
    return StoreDouble(left, result);
}

bool SingleQuotient(Kind left, Kind right) {
    const Precision a = PrecisionOf(left);
    const Precision b = PrecisionOf(right);
    return (a == Precision::Single || b == Precision::Single) && a <= Precision::Single &&
           b <= Precision::Single && a != Precision::Long && b != Precision::Long;
}

ErrorCode ExtendedNegate(Value& operand) {
    switch (operand.GetKind()) {
    case Kind::Byte:
        operand.SetInteger(-operand.Integer());
        return ErrorCode::None;
    case Kind::Single:
        operand.SetSingle(static_cast<float>(-operand.Number()));
        return ErrorCode::None;
    case Kind::Currency:
        operand.SetCurrency(-operand.Number());
        return ErrorCode::None;
    default: // Date
        return StoreDate(operand, -operand.Number());
    }
}

double DaySerial(double year, double month, double day) {
    // Whole numbers far beyond the calendar are cut down first so that the arithmetic below
    // stays exact; the range check of the caller rejects them anyway.
    const auto clamp = [](double v) { return std::fmin(std::fmax(v, -1e7), 1e7); };
    const std::int64_t months =
        static_cast<std::int64_t>(clamp(year)) * 12 + static_cast<std::int64_t>(clamp(month)) - 1;
    const std::int64_t y = months >= 0 ? months / 12 : (months - 11) / 12;
    const std::int64_t m = months - y * 12 + 1;
    return static_cast<double>(DaysFromCivil(y, m, 1) + DaysTo1970) +
           static_cast<double>(static_cast<std::int64_t>(clamp(day))) - 1.0;
}

double DayPart(double serial) {
    return std::trunc(serial);
}

double TimePart(double serial) {
    return std::fabs(serial - std::trunc(serial));
}

CivilDate DateOfSerial(double serial) {
    // A time that rounds up to midnight belongs to the next day.
    double day = DayPart(serial);
    if (std::round(TimePart(serial) * 86400.0) >= 86400.0) {
        day += serial < 0 ? -1.0 : 1.0;
    }
    return CivilFromDays(static_cast<std::int64_t>(day) - DaysTo1970);
}

TimeOfDay TimeOfSerial(double serial) {
    auto seconds = static_cast<std::int64_t>(std::round(TimePart(serial) * 86400.0));
    if (seconds >= 86400) {
        seconds = 0;
    }
    TimeOfDay time;
    time.hour = static_cast<int>(seconds / 3600);
    time.minute = static_cast<int>(seconds / 60 % 60);
    time.second = static_cast<int>(seconds % 60);
    return time;
}

double CombineSerial(double day, double time) {
    return day < 0.0 ? day - time : day + time;
}

int WeekdayOfSerial(double serial) {
    const auto day = static_cast<std::int64_t>(DayPart(serial));
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

namespace {

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) {
        return 29;
    }
    return days[static_cast<std::size_t>(month - 1)];
}

struct Field {
    int value = 0;
    int digits = 0;
};

// A two-digit year lies in 1930..2029, as the system's default window puts it.
int FullYear(const Field& year) {
    if (year.digits <= 2) {
        return year.value < 30 ? 2000 + year.value : 1900 + year.value;
    }
    return year.value;
}

bool ValidDate(int year, int month, int day) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

int CurrentYear() {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

bool ReadDateFields(const std::vector<Field>& f, bool monthFirst, double& serial) {
    int year = 0;
    int month = 0;
    int day = 1;
    if (f.size() == 3) {
        if (f[0].digits >= 3 || f[0].value > 31) {
            year = FullYear(f[0]); // y/m/d, the Japanese order
            month = f[1].value;
            day = f[2].value;
        } else if (monthFirst || f[2].digits >= 3 || f[2].value > 31) {
            month = f[0].value; // m/d/y
            day = f[1].value;
            year = FullYear(f[2]);
        } else {
            year = FullYear(f[0]);
            month = f[1].value;
            day = f[2].value;
        }
    } else if (f.size() == 2) {
        if (f[0].digits >= 3 || f[0].value > 31) {
            year = FullYear(f[0]);
            month = f[1].value;
        } else if (f[1].digits >= 3 || f[1].value > 31) {
            month = f[0].value;
            year = FullYear(f[1]);
        } else {
            year = CurrentYear();
            month = f[0].value;
            day = f[1].value;
        }
    } else {
        return false;
    }
    if (!ValidDate(year, month, day)) {
        return false;
    }
    serial = DaySerial(year, month, day);
    return true;
}

// Splits text at the separators into whole numbers; false for anything else.
bool ReadFields(std::string_view text, std::string_view separators, std::vector<Field>& fields) {
    Field current;
    bool inNumber = false;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : separators[0];
        if (c >= '0' && c <= '9') {
            if (current.digits >= 9) {
                return false;
            }
            current.value = current.value * 10 + (c - '0');
            ++current.digits;
            inNumber = true;
        } else if (separators.find(c) != std::string_view::npos) {
            if (!inNumber) {
                return false;
            }
            fields.push_back(current);
            current = Field();
            inNumber = false;
        } else {
            return false;
        }
    }
    return !fields.empty();
}

// Replaces every occurrence of from in text by to.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string result;
    std::size_t at = 0;
    for (std::size_t next = text.find(from); next != std::string::npos;
         next = text.find(from, at)) {
        result.append(text, at, next - at).append(to);
        at = next + from.size();
    }
    result.append(text, at);
    text.swap(result);
}

} // namespace

bool ParseDateText(std::string_view input, double& serial, bool monthFirst) {
    if (input.size() > 64) {
        return false;
    }
    std::string text(input);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (c == '\t' || c == ',') {
            c = ' ';
        }
    }
    int half = 0; // 1 morning, 2 afternoon
    for (const auto& [word, which] :
         {std::pair<std::string_view, int>{"\xe5\x8d\x88\xe5\x89\x8d", 1},
          {"\xe5\x8d\x88\xe5\xbe\x8c", 2},
          {"am", 1},
          {"pm", 2}}) {
        const std::size_t at = text.find(word); // "午前" = morning, "午後" = afternoon
        if (at != std::string::npos && half == 0) {
            half = which;
            // Blanked out in place: the marker becomes a word boundary.
            std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(at), word.size(), ' ');
        }
    }
    ReplaceAll(text, "\xe5\xb9\xb4", "/"); // "年" = year
    ReplaceAll(text, "\xe6\x9c\x88", "/"); // "月" = month
    ReplaceAll(text, "\xe6\x97\xa5", " "); // "日" = day
    ReplaceAll(text, "\xe6\x99\x82", ":"); // "時" = hour
    ReplaceAll(text, "\xe5\x88\x86", ":"); // "分" = minute
    ReplaceAll(text, "\xe7\xa7\x92", " "); // "秒" = second
    // Words: at most one date and one time.
    bool haveDate = false;
    bool haveTime = false;
    double day = 0.0;
    double time = 0.0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        std::size_t end = text.find(' ', pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view word(text.data() + pos, end - pos);
        pos = end;
        std::vector<Field> fields;
        if (word.find(':') != std::string_view::npos) {
            if (haveTime) {
                return false;
            }
            if (word.back() == ':') {
                word.remove_suffix(1); // "13時45分" reads "13:45:"
            }
            if (!ReadFields(word, ":", fields) || fields.size() > 3) {
                return false;
            }
            fields.resize(3);
            int hour = fields[0].value;
            if (fields[1].value > 59 || fields[2].value > 59 || hour > 23 ||
                (half != 0 && (hour > 12))) {
                return false;
            }
            if (half == 2 && hour < 12) {
                hour += 12;
            } else if (half == 1 && hour == 12) {
                hour = 0;
            }
            time = (hour * 3600.0 + fields[1].value * 60.0 + fields[2].value) / 86400.0;
            haveTime = true;
        } else {
            if (haveDate || !ReadFields(word, "/-.", fields) ||
                !ReadDateFields(fields, monthFirst, day)) {
                return false;
            }
            haveDate = true;
        }
    }
    if (!haveDate && !haveTime) {
        return false;
    }
    serial = CombineSerial(day, time);
    return true;
}

std::string ShortDateText(double serial) {
    const CivilDate date = DateOfSerial(serial);
    return std::to_string(date.year) + "/" + TwoDigits(date.month) + "/" + TwoDigits(date.day);
}

std::string LongDateText(double serial) {
    const CivilDate date = DateOfSerial(serial);
    // "年" = year, "月" = month, "日" = day
    return std::to_string(date.year) + "\xe5\xb9\xb4" + std::to_string(date.month) +
           "\xe6\x9c\x88" + std::to_string(date.day) + "\xe6\x97\xa5";
}

std::string LongTimeText(double serial) {
    const TimeOfDay time = TimeOfSerial(serial);
    return std::to_string(time.hour) + ":" + TwoDigits(time.minute) + ":" + TwoDigits(time.second);
}

std::string ShortTimeText(double serial) {
    const TimeOfDay time = TimeOfSerial(serial);
    return TwoDigits(time.hour) + ":" + TwoDigits(time.minute);
}

std::string GeneralDateText(double serial) {
    const bool hasDay = DayPart(serial) != 0.0;
    const TimeOfDay time = TimeOfSerial(serial);
    const bool hasTime = time.hour != 0 || time.minute != 0 || time.second != 0;
    if (hasDay && hasTime) {
        return ShortDateText(serial) + " " + LongTimeText(serial);
    }
    return hasDay ? ShortDateText(serial) : LongTimeText(serial);
}

std::string ExtendedText(const Value& value) {
    switch (value.GetKind()) {
    case Kind::Byte:
        return std::to_string(value.Integer());
    case Kind::Single:
        return FormatSignificant(value.Number(), 7); // a Single is always finite
    case Kind::Currency: {
        std::array<char, 64> buffer{};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                          value.Number(), std::chars_format::fixed, 4);
        std::string text(buffer.data(), result.ptr);
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
        return text == "-0" ? "0" : text;
    }
    case Kind::Date:
        return GeneralDateText(value.Number());
    default:
        break;
    }
    return {};
}

} // namespace script
