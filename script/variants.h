#pragma once

// The variant kinds that only conversion and date functions make (Byte, Single, Currency, Date),
// their arithmetic where it differs from Integer, Long and Double, and their text (the calendar
// behind Date is in textparse.h). The operators hand a pair of operands here as soon as one of
// them is such a kind, so expressions without them never pass through this code.

#include "script/program.h"
#include "script/scriptresult.h"
#include "script/value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace script {

// + - * between two non-Null values, at least one of an extended kind: the result takes the more
// precise kind (Byte < Integer < Long < Single < Double < Currency; Single with Long gives
// Double), a whole-number result that outgrows its kind moves to the next wider one, and a Date
// plus or minus a number stays a Date (Date minus Date is a Double).
ErrorCode ExtendedArithmetic(Op op, Value& left, const Value& right, double x, double y);
// Whether / gives a Single rather than a Double: when both operands are Single or narrower (but
// not Long) and one of them is a Single.
bool SingleQuotient(Kind left, Kind right);
// Unary minus: Byte becomes Integer, the others keep their kind.
ErrorCode ExtendedNegate(Value& operand);

// The largest Currency magnitude, 922337203685477.5807 as near as a double gets.
inline constexpr double CurrencyLimit = 922337203685477.5807;
// Rounds to four decimals (half to even) and checks the Currency range.
ErrorCode StoreCurrency(Value& target, double value);
// Narrows to a float; Overflow beyond the float range.
ErrorCode StoreSingle(Value& target, double value);

// Dates: day numbers from 1899-12-30 (day 0); the language's range is the years 100 to 9999.
inline constexpr double FirstDate = -657434.0; // 100-01-01
inline constexpr double LastDate = 2958465.0;  // 9999-12-31
bool DateInRange(double serial);
ErrorCode StoreDate(Value& target, double serial);

// The text of a Byte, Single, Currency or Date, as CStr and & give it on a Japanese system:
// Single in the general number form with 7 significant digits, Currency with up to four
// decimals, Date as "yyyy/mm/dd h:mm:ss" without the part that is zero.
std::string ExtendedText(const Value& value);
// Date texts in the Japanese system formats.
std::string ShortDateText(double serial); // 2011/01/31
std::string LongDateText(double serial);  // 2011年1月31日
std::string LongTimeText(double serial);  // 13:05:09
std::string ShortTimeText(double serial); // 13:05
std::string GeneralDateText(double serial);

} // namespace script
