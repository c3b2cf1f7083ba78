// The text functions: asc ascw chr chrw instr instrrev lcase left len ltrim mid replace right
// rtrim space string strcomp strreverse trim ucase, join split array lbound ubound filter,
// escape unescape. Positions and lengths count UTF-16 code units, the language's characters.
// Numbers given where text is expected are used in their text form, as & would write them.

#include "script/builtins_impl.h"
#include "script/operations.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace script {

namespace {

// Arrays hold their elements as strings one after another, each after its byte length in four
// bytes. Array keeps the text of the values it is given: what the functions over arrays (join,
// filter) read of them.
void AppendElement(std::string& elements, std::string_view element) {
    const auto length = static_cast<std::uint32_t>(element.size());
    char prefix[4];
    std::memcpy(prefix, &length, sizeof prefix);
    elements.append(prefix, sizeof prefix);
    elements.append(element);
}

std::vector<std::string_view> Elements(const Value& array) {
    std::vector<std::string_view> elements;
    const std::string& text = array.Text();
    std::size_t at = 0;
    while (at + 4 <= text.size()) {
        std::uint32_t length = 0;
        std::memcpy(&length, text.c_str() + at, sizeof length);
        at += 4;
        elements.emplace_back(text.c_str() + at, length);
        at += length;
    }
    return elements;
}

ErrorCode Units(const Value& value, std::u16string& units) {
    std::string text;
    const ErrorCode error = TextArgument(value, text);
    if (error == ErrorCode::None) {
        units = ToUnits(text);
    }
    return error;
}

ErrorCode StoreUnits(Value& target, std::u16string_view units) {
    std::string text = FromUnits(units);
    if (text.size() > MaxStringLength) {
        return ErrorCode::OutOfStringSpace;
    }
    target.SetString(std::move(text));
    return ErrorCode::None;
}

std::u16string Folded(std::u16string_view units) {
    std::u16string folded(units);
    for (char16_t& unit : folded) {
        unit = LowerUnit(unit);
    }
    return folded;
}

// Where needle occurs in haystack from index from on (or, backwards, ending at or before index
// last), or npos.
std::size_t Find(std::u16string_view haystack, std::u16string_view needle, std::size_t from,
                 bool text) {
    if (!text) {
        return haystack.find(needle, from);
    }
    return std::u16string_view(Folded(haystack)).find(Folded(needle), from);
}

std::size_t FindBackward(std::u16string_view haystack, std::u16string_view needle, std::size_t last,
                         bool text) {
    if (!text) {
        return haystack.rfind(needle, last);
    }
    return std::u16string_view(Folded(haystack)).rfind(Folded(needle), last);
}

// A count or length argument: Null is "Invalid use of Null", a negative one invalid.
ErrorCode CountArgument(const Value& value, std::int32_t& count) {
    const ErrorCode error = WholeArgument(value, count);
    if (error == ErrorCode::None && count < 0) {
        return ErrorCode::InvalidProcedureCall;
    }
    return error;
}

bool AnyNull(const Value* arguments, int from, int to) {
    for (int i = from; i < to; ++i) {
        if (arguments[i].Is(Kind::Null)) {
            return true;
        }
    }
    return false;
}

ErrorCode AscFunction(Value& argument) {
    std::u16string units;
    const ErrorCode error = Units(argument, units);
    if (error != ErrorCode::None) {
        return error;
    }
    if (units.empty()) {
        return ErrorCode::InvalidProcedureCall;
    }
    argument.SetInteger(static_cast<std::int16_t>(units[0]));
    return ErrorCode::None;
}

ErrorCode ChrFunction(Builtin id, Value& argument) {
    std::int32_t code = 0;
    const ErrorCode error = WholeArgument(argument, code);
    if (error != ErrorCode::None) {
        return error;
    }
    const bool wide = id == Builtin::ChrW;
    if (code < -32768 || code > 65535 || (!wide && code < 0)) {
        return ErrorCode::InvalidProcedureCall;
    }
    const char16_t unit = static_cast<char16_t>(code < 0 ? code + 65536 : code);
    return StoreUnits(argument, std::u16string_view(&unit, 1));
}

// instr([start,] text, sought[, compare]) and instrrev(text, sought[, start[, compare]]).
ErrorCode InStrFunction(Builtin id, Value* arguments, int count) {
    const bool reverse = id == Builtin::InStrRev;
    const Value* text = &arguments[0];
    const Value* sought = &arguments[1];
    const Value* start = nullptr;
    const Value* compare = count == 4 ? &arguments[3] : nullptr;
    if (!reverse && count >= 3) {
        start = &arguments[0];
        text = &arguments[1];
        sought = &arguments[2];
    } else if (reverse && count >= 3) {
        start = &arguments[2];
    }
    std::int32_t from = reverse ? -1 : 1;
    bool textCompare = false;
    ErrorCode error = ErrorCode::None;
    if ((start != nullptr && (error = WholeArgument(*start, from)) != ErrorCode::None) ||
        (compare != nullptr &&
         (error = CompareArgument(*compare, textCompare)) != ErrorCode::None)) {
        return error;
    }
    if (reverse ? (from == 0 || from < -1) : from < 1) {
        return ErrorCode::InvalidProcedureCall;
    }
    if (text->Is(Kind::Null) || sought->Is(Kind::Null)) {
        arguments[0].SetNull();
        return ErrorCode::None;
    }
    std::u16string haystack;
    std::u16string needle;
    if ((error = Units(*text, haystack)) != ErrorCode::None ||
        (error = Units(*sought, needle)) != ErrorCode::None) {
        return error;
    }
    const auto length = static_cast<std::int64_t>(haystack.size());
    std::int64_t found = 0;
    if (reverse) {
        const std::int64_t last = from == -1 ? length : from;
        if (haystack.empty() || last > length) {
            found = 0;
        } else if (needle.empty()) {
            found = last;
        } else if (static_cast<std::int64_t>(needle.size()) <= last) {
            const std::size_t at = FindBackward(
                haystack, needle, static_cast<std::size_t>(last) - needle.size(), textCompare);
            found = at == std::u16string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
        }
    } else if (haystack.empty() || from > length) {
        found = 0;
    } else if (needle.empty()) {
        found = from;
    } else {
        const std::size_t at =
            Find(haystack, needle, static_cast<std::size_t>(from) - 1, textCompare);
        found = at == std::u16string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
    }
    arguments[0].SetLong(static_cast<std::int32_t>(found));
    return ErrorCode::None;
}

// left, right, mid: Null text gives Null, but a Null count is still an error.
ErrorCode PieceFunction(Builtin id, Value* arguments, int count) {
    std::int32_t first = 0;
    std::int32_t length = 0;
    ErrorCode error = ErrorCode::None;
    if (id == Builtin::Mid) {
        if ((error = WholeArgument(arguments[1], first)) != ErrorCode::None) {
            return error;
        }
        if (first < 1) {
            return ErrorCode::InvalidProcedureCall;
        }
        length = std::numeric_limits<std::int32_t>::max();
        if (count == 3 && (error = CountArgument(arguments[2], length)) != ErrorCode::None) {
            return error;
        }
    } else if ((error = CountArgument(arguments[1], length)) != ErrorCode::None) {
        return error;
    }
    if (arguments[0].Is(Kind::Null)) {
        return ErrorCode::None;
    }
    std::u16string units;
    if ((error = Units(arguments[0], units)) != ErrorCode::None) {
        return error;
    }
    const std::size_t size = units.size();
    const auto take = std::min<std::size_t>(static_cast<std::size_t>(length), size);
    std::u16string_view piece(units);
    if (id == Builtin::Left) {
        piece = piece.substr(0, take);
    } else if (id == Builtin::Right) {
        piece = piece.substr(size - take);
    } else {
        const auto begin = static_cast<std::size_t>(first) - 1;
        piece = begin >= size ? std::u16string_view() : piece.substr(begin, take);
    }
    return StoreUnits(arguments[0], piece);
}

// Escape leaves letters, digits and @*_+-./ alone and writes the rest as %XX or %uXXXX.
ErrorCode EscapeUnits(Value& argument, std::u16string_view units) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (const char16_t unit : units) {
        const bool plain = (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
                           (unit >= u'0' && unit <= u'9') ||
                           std::u16string_view(u"@*_+-./").find(unit) != std::u16string_view::npos;
        if (plain) {
            text.push_back(static_cast<char>(unit));
        } else if (unit < 256) {
            text += {'%', Digits[unit >> 4], Digits[unit & 15]};
        } else {
            text += {'%',
                     'u',
                     Digits[unit >> 12],
                     Digits[(unit >> 8) & 15],
                     Digits[(unit >> 4) & 15],
                     Digits[unit & 15]};
        }
        if (text.size() > MaxStringLength) {
            return ErrorCode::OutOfStringSpace;
        }
    }
    argument.SetString(std::move(text));
    return ErrorCode::None;
}

int HexDigit(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    if (unit >= u'a' && unit <= u'f') {
        return unit - u'a' + 10;
    }
    if (unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;
}

// Unescape turns %XX and %uXXXX back into characters; a % not followed by such digits stays.
ErrorCode UnescapeUnits(Value& argument, std::u16string_view units) {
    std::u16string result;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto hexAt = [&](std::size_t from, std::size_t digits, int& value) {
            value = 0;
            for (std::size_t k = from; k < from + digits; ++k) {
                const int digit = k < units.size() ? HexDigit(units[k]) : -1;
                if (digit < 0) {
                    return false;
                }
                value = value * 16 + digit;
            }
            return true;
        };
        int value = 0;
        if (units[i] == u'%' && i + 1 < units.size() && units[i + 1] == u'u' &&
            hexAt(i + 2, 4, value)) {
            result.push_back(static_cast<char16_t>(value));
            i += 5;
        } else if (units[i] == u'%' && hexAt(i + 1, 2, value)) {
            result.push_back(static_cast<char16_t>(value));
            i += 2;
        } else {
            result.push_back(units[i]);
        }
    }
    return StoreUnits(argument, result);
}

// lcase ucase ltrim rtrim trim strreverse escape unescape: text in, text out.
ErrorCode TextFunction(Builtin id, Value& argument) {
    if (argument.Is(Kind::Null)) {
        return id == Builtin::StrReverse ? ErrorCode::InvalidUseOfNull : ErrorCode::None;
    }
    std::u16string units;
    const ErrorCode error = Units(argument, units);
    if (error != ErrorCode::None) {
        return error;
    }
    std::u16string_view view(units);
    switch (id) {
    case Builtin::LCase:
        std::transform(units.begin(), units.end(), units.begin(), LowerUnit);
        break;
    case Builtin::UCase:
        std::transform(units.begin(), units.end(), units.begin(), UpperUnit);
        break;
    case Builtin::StrReverse:
        std::reverse(units.begin(), units.end());
        break;
    case Builtin::Escape:
        return EscapeUnits(argument, units);
    case Builtin::Unescape:
        return UnescapeUnits(argument, units);
    default: {
        // Only spaces are trimmed, not tabs.
        const std::size_t begin = id == Builtin::RTrim ? 0 : view.find_first_not_of(u' ');
        if (begin == std::u16string_view::npos) {
            view = {};
        } else {
            view.remove_prefix(begin);
            if (id != Builtin::LTrim) {
                view = view.substr(0, view.find_last_not_of(u' ') + 1);
            }
        }
        return StoreUnits(argument, view);
    }
    }
    return StoreUnits(argument, units);
}

// space(n) and string(n, character); both refuse more than the string limit before allocating.
ErrorCode RepeatFunction(Builtin id, Value* arguments) {
    std::int32_t count = 0;
    ErrorCode error = CountArgument(arguments[0], count);
    if (error != ErrorCode::None) {
        return error;
    }
    char16_t unit = u' ';
    if (id == Builtin::String) {
        Value& character = arguments[1];
        if (character.Is(Kind::Null)) {
            arguments[0].SetNull();
            return ErrorCode::None;
        }
        if (character.Is(Kind::String)) {
            const std::u16string units = ToUnits(character.Text());
            if (units.empty()) {
                return ErrorCode::InvalidProcedureCall;
            }
            unit = units[0];
        } else {
            std::int32_t code = 0;
            if ((error = WholeArgument(character, code)) != ErrorCode::None) {
                return error;
            }
            unit = static_cast<char16_t>(code & 0xFF); // a code above 255 is taken modulo 256
        }
    }
    if (static_cast<std::size_t>(count) * (unit < 0x80 ? 1 : 3) > MaxStringLength) {
        return ErrorCode::OutOfStringSpace;
    }
    return StoreUnits(arguments[0], std::u16string(static_cast<std::size_t>(count), unit));
}

ErrorCode StrCompFunction(Value* arguments, int count) {
    bool textCompare = false;
    if (count == 3) {
        const ErrorCode error = CompareArgument(arguments[2], textCompare);
        if (error != ErrorCode::None) {
            return error;
        }
    }
    if (AnyNull(arguments, 0, 2)) {
        arguments[0].SetNull();
        return ErrorCode::None;
    }
    std::u16string a;
    std::u16string b;
    ErrorCode error = ErrorCode::None;
    if ((error = Units(arguments[0], a)) != ErrorCode::None ||
        (error = Units(arguments[1], b)) != ErrorCode::None) {
        return error;
    }
    if (textCompare) {
        a = Folded(a);
        b = Folded(b);
    }
    const int order = a.compare(b);
    arguments[0].SetInteger((order > 0) - (order < 0));
    return ErrorCode::None;
}

// replace(text, find, with[, start[, count[, compare]]]): the result begins at start.
ErrorCode ReplaceFunction(Value* arguments, int count) {
    std::int32_t start = 1;
    std::int32_t times = -1;
    bool textCompare = false;
    ErrorCode error = ErrorCode::None;
    if ((count >= 4 && (error = WholeArgument(arguments[3], start)) != ErrorCode::None) ||
        (count >= 5 && (error = WholeArgument(arguments[4], times)) != ErrorCode::None) ||
        (count >= 6 && (error = CompareArgument(arguments[5], textCompare)) != ErrorCode::None)) {
        return error;
    }
    if (start < 1 || times < -1) {
        return ErrorCode::InvalidProcedureCall;
    }
    if (AnyNull(arguments, 0, 3)) {
        return ErrorCode::InvalidUseOfNull;
    }
    std::u16string text;
    std::u16string find;
    std::u16string with;
    if ((error = Units(arguments[0], text)) != ErrorCode::None ||
        (error = Units(arguments[1], find)) != ErrorCode::None ||
        (error = Units(arguments[2], with)) != ErrorCode::None) {
        return error;
    }
    if (static_cast<std::size_t>(start) > text.size()) {
        arguments[0].SetString({});
        return ErrorCode::None;
    }
    text.erase(0, static_cast<std::size_t>(start) - 1);
    if (find.empty() || times == 0) {
        return StoreUnits(arguments[0], text);
    }
    const std::u16string folded = textCompare ? Folded(text) : std::u16string();
    const std::u16string foldedFind = textCompare ? Folded(find) : std::u16string();
    const std::u16string& searched = textCompare ? folded : text;
    const std::u16string& sought = textCompare ? foldedFind : find;
    std::u16string result;
    std::size_t at = 0;
    for (std::int32_t done = 0; times < 0 || done < times; ++done) {
        const std::size_t next = searched.find(sought, at);
        if (next == std::u16string::npos) {
            break;
        }
        result.append(text, at, next - at).append(with);
        at = next + find.size();
        if (result.size() > MaxStringLength) {
            return ErrorCode::OutOfStringSpace;
        }
    }
    result.append(text, at);
    return StoreUnits(arguments[0], result);
}

ErrorCode SplitFunction(Value* arguments, int count) {
    std::int32_t limit = -1;
    bool textCompare = false;
    ErrorCode error = ErrorCode::None;
    if ((count >= 3 && (error = WholeArgument(arguments[2], limit)) != ErrorCode::None) ||
        (count >= 4 && (error = CompareArgument(arguments[3], textCompare)) != ErrorCode::None)) {
        return error;
    }
    if (limit < -1) {
        return ErrorCode::InvalidProcedureCall;
    }
    if (AnyNull(arguments, 0, count < 2 ? 1 : 2)) {
        return ErrorCode::InvalidUseOfNull;
    }
    std::u16string text;
    std::u16string delimiter = u" ";
    if ((error = Units(arguments[0], text)) != ErrorCode::None ||
        (count >= 2 && (error = Units(arguments[1], delimiter)) != ErrorCode::None)) {
        return error;
    }
    std::string elements;
    std::int32_t pieces = 0;
    if (!text.empty() && limit != 0) {
        const std::u16string folded = textCompare ? Folded(text) : text;
        const std::u16string sought = textCompare ? Folded(delimiter) : delimiter;
        std::size_t at = 0;
        for (;;) {
            const std::size_t next = delimiter.empty() || pieces + 1 == limit
                                         ? std::u16string::npos
                                         : folded.find(sought, at);
            const std::size_t end = next == std::u16string::npos ? text.size() : next;
            AppendElement(elements, FromUnits(std::u16string_view(text).substr(at, end - at)));
            ++pieces;
            if (next == std::u16string::npos) {
                break;
            }
            at = next + delimiter.size();
        }
    }
    if (elements.size() > 5 * MaxStringLength) {
        return ErrorCode::OutOfStringSpace;
    }
    arguments[0].SetArray(std::move(elements), pieces);
    return ErrorCode::None;
}

// array(value, ...): its arguments as an array; array() has none.
ErrorCode ArrayFunction(Value* arguments, int count) {
    std::string elements;
    std::string text;
    for (int i = 0; i < count; ++i) {
        const ErrorCode error = TextArgument(arguments[i], text);
        if (error != ErrorCode::None) {
            return error;
        }
        AppendElement(elements, text);
        // As much as split may make: what one call adds to an evaluation stays bounded.
        if (elements.size() > 5 * MaxStringLength) {
            return ErrorCode::OutOfStringSpace;
        }
    }
    arguments[0].SetArray(std::move(elements), count);
    return ErrorCode::None;
}

ErrorCode JoinFunction(Value* arguments, int count) {
    if (!arguments[0].Is(Kind::Array)) {
        return ErrorCode::TypeMismatch;
    }
    std::string delimiter = " ";
    if (count == 2) {
        if (arguments[1].Is(Kind::Null)) {
            return ErrorCode::InvalidUseOfNull;
        }
        const ErrorCode error = TextArgument(arguments[1], delimiter);
        if (error != ErrorCode::None) {
            return error;
        }
    }
    std::string text;
    bool first = true;
    for (const std::string_view element : Elements(arguments[0])) {
        if (!first) {
            text += delimiter;
        }
        first = false;
        text += element;
        if (text.size() > MaxStringLength) {
            return ErrorCode::OutOfStringSpace;
        }
    }
    arguments[0].SetString(std::move(text));
    return ErrorCode::None;
}

ErrorCode BoundFunction(Builtin id, Value* arguments, int count) {
    if (!arguments[0].Is(Kind::Array)) {
        return ErrorCode::TypeMismatch;
    }
    if (count == 2) {
        std::int32_t dimension = 0;
        const ErrorCode error = WholeArgument(arguments[1], dimension);
        if (error != ErrorCode::None) {
            return error;
        }
        if (dimension != 1) {
            return ErrorCode::SubscriptOutOfRange;
        }
    }
    arguments[0].SetLong(id == Builtin::LBound ? 0 : arguments[0].Integer() - 1);
    return ErrorCode::None;
}

// filter(array, sought[, include[, compare]]): the elements that contain sought (or do not).
ErrorCode FilterFunction(Value* arguments, int count) {
    if (arguments[0].Is(Kind::Null) || arguments[1].Is(Kind::Null)) {
        return ErrorCode::InvalidUseOfNull;
    }
    if (!arguments[0].Is(Kind::Array)) {
        return ErrorCode::TypeMismatch;
    }
    bool include = true;
    bool textCompare = false;
    ErrorCode error = ErrorCode::None;
    if (count >= 3) {
        double x = 0.0;
        if ((error = ToDouble(arguments[2], x)) != ErrorCode::None) {
            return error;
        }
        include = x != 0.0;
    }
    if (count == 4 && (error = CompareArgument(arguments[3], textCompare)) != ErrorCode::None) {
        return error;
    }
    std::u16string sought;
    if ((error = Units(arguments[1], sought)) != ErrorCode::None) {
        return error;
    }
    std::string elements;
    std::int32_t kept = 0;
    for (const std::string_view element : Elements(arguments[0])) {
        const bool contains =
            Find(ToUnits(element), sought, 0, textCompare) != std::u16string::npos;
        if (contains == include) {
            AppendElement(elements, element);
            ++kept;
        }
    }
    arguments[0].SetArray(std::move(elements), kept);
    return ErrorCode::None;
}

} // namespace

ErrorCode CallString(Builtin id, Value* arguments, int count) {
    Value& argument = arguments[0];
    switch (id) {
    case Builtin::Asc:
    case Builtin::AscW:
        return AscFunction(argument);
    case Builtin::Chr:
    case Builtin::ChrW:
        return ChrFunction(id, argument);
    case Builtin::InStr:
    case Builtin::InStrRev:
        return InStrFunction(id, arguments, count);
    case Builtin::Left:
    case Builtin::Right:
    case Builtin::Mid:
        return PieceFunction(id, arguments, count);
    case Builtin::Len: {
        if (argument.Is(Kind::Null)) {
            return ErrorCode::None;
        }
        std::u16string units;
        const ErrorCode error = Units(argument, units);
        if (error == ErrorCode::None) {
            argument.SetLong(static_cast<std::int32_t>(units.size()));
        }
        return error;
    }
    case Builtin::Space:
    case Builtin::String:
        return RepeatFunction(id, arguments);
    case Builtin::StrComp:
        return StrCompFunction(arguments, count);
    case Builtin::Replace:
        return ReplaceFunction(arguments, count);
    case Builtin::Split:
        return SplitFunction(arguments, count);
    case Builtin::Array:
        return ArrayFunction(arguments, count);
    case Builtin::Join:
        return JoinFunction(arguments, count);
    case Builtin::LBound:
    case Builtin::UBound:
        return BoundFunction(id, arguments, count);
    case Builtin::Filter:
        return FilterFunction(arguments, count);
    default:
        return TextFunction(id, argument);
    }
}

} // namespace script
