// Dates and times: date dateadd datediff datepart dateserial datevalue day hour minute month
// monthname now second time timer timeserial timevalue weekday weekdayname year. Names of months
// and days are the Japanese system's; the week starts on Sunday and week 1 is the week of
// January 1, as there.

#include "script/builtins_impl.h"
#include "script/operations.h"
#include "script/textparse.h"
#include "script/variants.h"

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace script {

namespace {

// A date as a point on a straight time line: the serial's day count puts a negative date's
// time on the wrong side, this does not.
double Linear(double serial) {
    return DayPart(serial) + (serial < 0.0 ? TimePart(serial) : serial - DayPart(serial));
}

double FromLinear(double linear) {
    const double day = std::floor(linear);
    return CombineSerial(day, linear - day);
}

std::int64_t SecondsOf(double serial) {
    return static_cast<std::int64_t>(std::llround(Linear(serial) * 86400.0));
}

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

std::int64_t DayOf(double serial) {
    return FloorDivide(SecondsOf(serial), 86400);
}

ErrorCode IntervalArgument(const Value& value, std::string& interval) {
    const ErrorCode error = TextArgument(value, interval);
    for (char& c : interval) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return error;
}

// The first day of the week: 0 is the system's, Sunday.
ErrorCode FirstDayArgument(const Value* arguments, int count, int index, int& firstDay) {
    firstDay = 1;
    if (count <= index) {
        return ErrorCode::None;
    }
    std::int32_t value = 0;
    const ErrorCode error = WholeArgument(arguments[index], value);
    if (error != ErrorCode::None) {
        return error;
    }
    if (value < 0 || value > 7) {
        return ErrorCode::InvalidProcedureCall;
    }
    firstDay = value == 0 ? 1 : value;
    return ErrorCode::None;
}

int WeekdayFrom(double serial, int firstDay) {
    return (WeekdayOfSerial(serial) - firstDay + 7) % 7 + 1;
}

// The week of the year (firstWeek 1: the week of January 1; 2: the first with four days of the
// year; 3: the first whole week).
int WeekOfYear(std::int64_t day, int year, int firstDay, int firstWeek) {
    for (int guard = 0; guard < 2; ++guard, --year) {
        const auto january1 = static_cast<std::int64_t>(DaySerial(year, 1, 1));
        const int offset = WeekdayFrom(static_cast<double>(january1), firstDay) - 1;
        std::int64_t start = january1 - offset;
        if ((firstWeek == 2 && 7 - offset < 4) || (firstWeek == 3 && offset != 0)) {
            start += 7;
        }
        if (day >= start) {
            return static_cast<int>((day - start) / 7 + 1);
        }
    }
    return 1;
}

ErrorCode StoreDateChecked(Value& target, double serial) {
    if (!std::isfinite(serial) || !DateInRange(serial)) {
        return ErrorCode::InvalidProcedureCall;
    }
    target.SetDate(serial);
    return ErrorCode::None;
}

ErrorCode DateAddFunction(Value* arguments) {
    std::string interval;
    std::int32_t number = 0;
    ErrorCode error = ErrorCode::None;
    if ((error = IntervalArgument(arguments[0], interval)) != ErrorCode::None ||
        (error = WholeArgument(arguments[1], number)) != ErrorCode::None) {
        return error;
    }
    if (arguments[2].Is(Kind::Null)) {
        arguments[0].SetNull();
        return ErrorCode::None;
    }
    double serial = 0.0;
    if ((error = DateArgument(arguments[2], serial)) != ErrorCode::None) {
        return error;
    }
    const double n = number;
    int months = 0;
    if (interval == "yyyy") {
        months = 12;
    } else if (interval == "q") {
        months = 3;
    } else if (interval == "m") {
        months = 1;
    }
    if (months != 0) {
        const CivilDate date = DateOfSerial(serial);
        const double total = date.year * 12.0 + (date.month - 1) + n * months;
        const double year = std::floor(total / 12.0);
        const double month = total - year * 12.0 + 1.0;
        if (year < 100.0 || year > 9999.0) {
            return ErrorCode::InvalidProcedureCall;
        }
        // The day stays, or becomes the last day of a shorter month.
        double day = DaySerial(year, month, date.day);
        while (DateOfSerial(day).month != static_cast<int>(month)) {
            day -= 1.0;
        }
        return StoreDateChecked(arguments[0], CombineSerial(day, TimePart(serial)));
    }
    double step = 0.0;
    if (interval == "y" || interval == "d" || interval == "w") {
        step = 1.0;
    } else if (interval == "ww") {
        step = 7.0;
    } else if (interval == "h") {
        step = 1.0 / 24.0;
    } else if (interval == "n") {
        step = 1.0 / 1440.0;
    } else if (interval == "s") {
        step = 1.0 / 86400.0;
    } else {
        return ErrorCode::InvalidProcedureCall;
    }
    const double linear = std::round((Linear(serial) + n * step) * 86400.0) / 86400.0;
    return StoreDateChecked(arguments[0], FromLinear(linear));
}

ErrorCode DateDiffFunction(Value* arguments, int count) {
    std::string interval;
    ErrorCode error = IntervalArgument(arguments[0], interval);
    int firstDay = 1;
    if (error != ErrorCode::None ||
        (error = FirstDayArgument(arguments, count, 3, firstDay)) != ErrorCode::None) {
        return error;
    }
    if (arguments[1].Is(Kind::Null) || arguments[2].Is(Kind::Null)) {
        arguments[0].SetNull();
        return ErrorCode::None;
    }
    double first = 0.0;
    double second = 0.0;
    if ((error = DateArgument(arguments[1], first)) != ErrorCode::None ||
        (error = DateArgument(arguments[2], second)) != ErrorCode::None) {
        return error;
    }
    const CivilDate a = DateOfSerial(first);
    const CivilDate b = DateOfSerial(second);
    std::int64_t result = 0;
    if (interval == "yyyy") {
        result = b.year - a.year;
    } else if (interval == "q") {
        result = (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3);
    } else if (interval == "m") {
        result = (b.year * 12 + b.month) - (a.year * 12 + a.month);
    } else if (interval == "y" || interval == "d") {
        result = DayOf(second) - DayOf(first);
    } else if (interval == "w") {
        result = (DayOf(second) - DayOf(first)) / 7;
    } else if (interval == "ww") {
        const auto weekStart = [&](double serial) {
            return DayOf(serial) - (WeekdayFrom(serial, firstDay) - 1);
        };
        result = (weekStart(second) - weekStart(first)) / 7;
    } else if (interval == "h") {
        result = FloorDivide(SecondsOf(second), 3600) - FloorDivide(SecondsOf(first), 3600);
    } else if (interval == "n") {
        result = FloorDivide(SecondsOf(second), 60) - FloorDivide(SecondsOf(first), 60);
    } else if (interval == "s") {
        result = SecondsOf(second) - SecondsOf(first);
    } else {
        return ErrorCode::InvalidProcedureCall;
    }
    if (result < std::numeric_limits<std::int32_t>::min() ||
        result > std::numeric_limits<std::int32_t>::max()) {
        return ErrorCode::Overflow;
    }
    arguments[0].SetLong(static_cast<std::int32_t>(result));
    return ErrorCode::None;
}

ErrorCode DatePartFunction(Value* arguments, int count) {
    std::string interval;
    ErrorCode error = IntervalArgument(arguments[0], interval);
    int firstDay = 1;
    std::int32_t firstWeek = 1;
    if (error != ErrorCode::None ||
        (error = FirstDayArgument(arguments, count, 2, firstDay)) != ErrorCode::None ||
        (count == 4 && (error = WholeArgument(arguments[3], firstWeek)) != ErrorCode::None)) {
        return error;
    }
    if (firstWeek < 0 || firstWeek > 3) {
        return ErrorCode::InvalidProcedureCall;
    }
    firstWeek = firstWeek == 0 ? 1 : firstWeek;
    if (arguments[1].Is(Kind::Null)) {
        arguments[0].SetNull();
        return ErrorCode::None;
    }
    double serial = 0.0;
    if ((error = DateArgument(arguments[1], serial)) != ErrorCode::None) {
        return error;
    }
    const CivilDate date = DateOfSerial(serial);
    const TimeOfDay time = TimeOfSerial(serial);
    const std::int64_t day = DayOf(serial);
    int result = 0;
    if (interval == "yyyy") {
        result = date.year;
    } else if (interval == "q") {
        result = (date.month - 1) / 3 + 1;
    } else if (interval == "m") {
        result = date.month;
    } else if (interval == "y") {
        result = static_cast<int>(day - static_cast<std::int64_t>(DaySerial(date.year, 1, 1))) + 1;
    } else if (interval == "d") {
        result = date.day;
    } else if (interval == "w") {
        result = WeekdayFrom(serial, firstDay);
    } else if (interval == "ww") {
        result = WeekOfYear(day, date.year, firstDay, firstWeek);
    } else if (interval == "h") {
        result = time.hour;
    } else if (interval == "n") {
        result = time.minute;
    } else if (interval == "s") {
        result = time.second;
    } else {
        return ErrorCode::InvalidProcedureCall;
    }
    arguments[0].SetInteger(result);
    return ErrorCode::None;
}

ErrorCode SerialFunction(Builtin id, Value* arguments) {
    std::int32_t parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const ErrorCode error = WholeArgument(arguments[i], parts[i]);
        if (error != ErrorCode::None) {
            return error;
        }
    }
    if (id == Builtin::DateSerial) {
        // A year from 0 to 99 lies in 1930..2029, the window two-digit years in date texts use.
        const std::int32_t year =
            parts[0] >= 0 && parts[0] <= 99 ? parts[0] + (parts[0] < 30 ? 2000 : 1900) : parts[0];
        return StoreDateChecked(arguments[0], DaySerial(year, parts[1], parts[2]));
    }
    const std::int64_t seconds =
        std::int64_t{parts[0]} * 3600 + std::int64_t{parts[1]} * 60 + parts[2];
    const std::int64_t day = FloorDivide(seconds, 86400);
    const double time = static_cast<double>(seconds - day * 86400) / 86400.0;
    return StoreDateChecked(arguments[0], CombineSerial(static_cast<double>(day), time));
}

// "1月" ... "12月"; abbreviated, the number alone.
std::string MonthNameText(int month, bool abbreviated) {
    std::string text = std::to_string(month);
    return abbreviated ? text : text + "\xe6\x9c\x88"; // "月" = month
}

std::string WeekdayNameText(int weekday, bool abbreviated) {
    // "日" Sunday, "月" Monday, "火" Tuesday, "水" Wednesday, "木" Thursday, "金" Friday,
    // "土" Saturday; in full with "曜日" (day of the week).
    static constexpr std::array<const char*, 7> Days{"\xe6\x97\xa5", "\xe6\x9c\x88", "\xe7\x81\xab",
                                                     "\xe6\xb0\xb4", "\xe6\x9c\xa8", "\xe9\x87\x91",
                                                     "\xe5\x9c\x9f"};
    std::string text = Days[static_cast<std::size_t>(weekday - 1)];
    return abbreviated ? text : text + "\xe6\x9b\x9c\xe6\x97\xa5";
}

ErrorCode NameFunction(Builtin id, Value* arguments, int count) {
    std::int32_t number = 0;
    ErrorCode error = WholeArgument(arguments[0], number);
    if (error != ErrorCode::None) {
        return error;
    }
    double abbreviated = 0.0;
    if (count >= 2 && (error = ToDouble(arguments[1], abbreviated)) != ErrorCode::None) {
        return error;
    }
    if (id == Builtin::MonthName) {
        if (number < 1 || number > 12) {
            return ErrorCode::InvalidProcedureCall;
        }
        arguments[0].SetString(MonthNameText(number, abbreviated != 0.0));
        return ErrorCode::None;
    }
    int firstDay = 1;
    if ((error = FirstDayArgument(arguments, count, 2, firstDay)) != ErrorCode::None) {
        return error;
    }
    if (number < 1 || number > 7) {
        return ErrorCode::InvalidProcedureCall;
    }
    arguments[0].SetString(
        WeekdayNameText((number - 1 + firstDay - 1) % 7 + 1, abbreviated != 0.0));
    return ErrorCode::None;
}

// year month day weekday hour minute second: Null gives Null.
ErrorCode PartFunction(Builtin id, Value* arguments, int count) {
    int firstDay = 1;
    const ErrorCode firstError = FirstDayArgument(arguments, count, 1, firstDay);
    if (firstError != ErrorCode::None) {
        return firstError;
    }
    if (arguments[0].Is(Kind::Null)) {
        return ErrorCode::None;
    }
    double serial = 0.0;
    const ErrorCode error = DateArgument(arguments[0], serial);
    if (error != ErrorCode::None) {
        return error;
    }
    const CivilDate date = DateOfSerial(serial);
    const TimeOfDay time = TimeOfSerial(serial);
    int result = 0;
    switch (id) {
    case Builtin::Year:
        result = date.year;
        break;
    case Builtin::Month:
        result = date.month;
        break;
    case Builtin::Day:
        result = date.day;
        break;
    case Builtin::Weekday:
        result = WeekdayFrom(serial, firstDay);
        break;
    case Builtin::Hour:
        result = time.hour;
        break;
    case Builtin::Minute:
        result = time.minute;
        break;
    default:
        result = time.second;
        break;
    }
    arguments[0].SetInteger(result);
    return ErrorCode::None;
}

} // namespace

ErrorCode CallDate(Builtin id, Value* arguments, int count) {
    switch (id) {
    case Builtin::Now:
        arguments[0].SetDate(LocalNow());
        return ErrorCode::None;
    case Builtin::Date:
        arguments[0].SetDate(DayPart(LocalNow()));
        return ErrorCode::None;
    case Builtin::Time:
        arguments[0].SetDate(TimePart(LocalNow()));
        return ErrorCode::None;
    case Builtin::Timer: {
        const auto now = std::chrono::system_clock::now();
        const auto milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
            1000;
        arguments[0].SetSingle(
            static_cast<float>(TimePart(LocalNow()) * 86400.0 + milliseconds / 1000.0));
        return ErrorCode::None;
    }
    case Builtin::DateAdd:
        return DateAddFunction(arguments);
    case Builtin::DateDiff:
        return DateDiffFunction(arguments, count);
    case Builtin::DatePart:
        return DatePartFunction(arguments, count);
    case Builtin::DateSerial:
    case Builtin::TimeSerial:
        return SerialFunction(id, arguments);
    case Builtin::DateValue:
    case Builtin::TimeValue: {
        double serial = 0.0;
        const ErrorCode error = DateArgument(arguments[0], serial);
        if (error != ErrorCode::None) {
            return error;
        }
        arguments[0].SetDate(id == Builtin::DateValue ? DayPart(serial) : TimePart(serial));
        return ErrorCode::None;
    }
    case Builtin::MonthName:
    case Builtin::WeekdayName:
        return NameFunction(id, arguments, count);
    default:
        return PartFunction(id, arguments, count);
    }
}

} // namespace script
