#include "script/textparse.h"

#include "script/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

namespace script {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// from_chars reports both overflow and underflow as out of range. Underflow means a value too
// small to matter, which a plotted expression can treat as 0; only overflow is an error. The
// decimal exponent of the leading digit tells which one happened.
bool IsUnderflow(std::string_view mantissa, long long exponent) {
    const std::size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t firstWhole = whole.find_first_not_of('0');
    long long leading = 0; // power of ten of the first nonzero digit
    if (firstWhole != std::string_view::npos) {
        leading = static_cast<long long>(whole.size() - firstWhole) - 1;
    } else {
        const std::string_view fraction =
            point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
        const std::size_t firstFraction = fraction.find_first_not_of('0');
        if (firstFraction == std::string_view::npos) {
            return true;
        }
        leading = -static_cast<long long>(firstFraction) - 1;
    }
    return leading + exponent < 0;
}

} // namespace

NumberScan ScanNumber(std::string_view text) {
    NumberScan scan;
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    bool plain = true;
    if (i < text.size() && text[i] == '.') {
        plain = false;
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    const std::size_t mantissaEnd = i;
    if (digits == 0) {
        scan.length = i;
        return scan;
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain = false;
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (text[i] - '0');
            }
            ++i;
        }
        if (i == exponentStart) {
            scan.length = i;
            return scan;
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    scan.length = i;
    scan.plainDigits = plain;
    double value = 0.0;
    const NumberRead read = ReadChars(text.substr(0, i), value);
    if (read.error == std::errc::result_out_of_range) {
        if (IsUnderflow(text.substr(0, mantissaEnd), exponent)) {
            scan.status = ScanStatus::Ok;
            scan.value = 0.0;
        } else {
            scan.status = ScanStatus::OutOfRange;
        }
        return scan;
    }
    if (read.error != std::errc() || read.length != i) {
        return scan;
    }
    scan.status = ScanStatus::Ok;
    scan.value = value;
    return scan;
}

bool ParseNumericText(std::string_view text, double& value) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    text = text.substr(begin, end - begin);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const NumberScan scan = ScanNumber(text);
    if (scan.status != ScanStatus::Ok || scan.length != text.size()) {
        return false;
    }
    value = negative ? -scan.value : scan.value;
    return true;
}

namespace {

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

} // namespace

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
        std::string_view word = std::string_view(text).substr(pos, end - pos);
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

} // namespace script
