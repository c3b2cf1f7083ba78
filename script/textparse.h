#pragma once

// How texts stand for numbers and dates: the decimal number syntax that literals and numeric
// strings share, the calendar of day numbers, and the date and time texts read into it. Texts
// and doubles only, so that the lexer, the operators and the Date kind can all build on it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace script {

enum class ScanStatus : std::uint8_t { Ok, Malformed, OutOfRange };

struct NumberScan {
    ScanStatus status = ScanStatus::Malformed;
    std::size_t length = 0;
    double value = 0.0;
    // Neither a decimal point nor an exponent: the literal may be an Integer or a Long.
    bool plainDigits = false;
};

// Reads the decimal number at the start of text: digits with an optional point and an optional
// exponent (e or E, optional sign, digits); ".5" and "5." count. A value too small for a double
// reads as 0; one too large is OutOfRange.
NumberScan ScanNumber(std::string_view text);

// Reads a text that is a number as a whole, blanks around it allowed, with an optional sign. This
// is how strings turn into numbers in arithmetic.
bool ParseNumericText(std::string_view text, double& value);

// Dates as day numbers from 1899-12-30 (day 0), the time of day as the fraction.
struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
};
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};
// Day number of a (proleptic Gregorian) date; months and days outside their range roll over as
// DateSerial does (month 13 is January of the next year, day 0 the last day of the month before).
double DaySerial(double year, double month, double day);
CivilDate DateOfSerial(double serial);
// The time of day of a serial, rounded to the second: the fraction counts from midnight whatever
// the sign of the day number.
TimeOfDay TimeOfSerial(double serial);
// Day number and time fraction back into one serial: a negative day counts its time forward.
double CombineSerial(double day, double time);
// The whole-day part of a serial (toward zero) and its time fraction (0 <= t < 1).
double DayPart(double serial);
double TimePart(double serial);
// Day of the week, 1 = Sunday ... 7 = Saturday.
int WeekdayOfSerial(double serial);

// Reads a date or time text as the Japanese system reads it: "2011/1/31", "2011-01-31",
// "2011年1月31日", "1/31/2011", "13:45", "1:45:10 PM", "午後1:45", or a date followed by a time.
// Three small numbers are year, month, day; with monthFirst, as in a date literal, which the
// language always reads the American way, they are month, day, year.
bool ParseDateText(std::string_view text, double& serial, bool monthFirst = false);

} // namespace script
