#include "script/builtins.h"

#include "script/builtins_impl.h"

#include <algorithm>
#include <array>
#include <vector>

namespace script {

namespace {

enum class Group : std::uint8_t { Math, Convert, String, Date, Format };

struct Entry {
    std::string_view name;
    BuiltinInfo info;
    Group group;
};

// The names are in lower case: names are not case-sensitive. Functions that read the clock or
// the random generator are not pure.
constexpr std::array<Entry, 91> Table{{
    {"abs", {Builtin::Abs, 1, 1, true}, Group::Math},
    {"atn", {Builtin::Atn, 1, 1, true}, Group::Math},
    {"cos", {Builtin::Cos, 1, 1, true}, Group::Math},
    {"exp", {Builtin::Exp, 1, 1, true}, Group::Math},
    {"fix", {Builtin::Fix, 1, 1, true}, Group::Math},
    {"int", {Builtin::Int, 1, 1, true}, Group::Math},
    {"log", {Builtin::Log, 1, 1, true}, Group::Math},
    {"rnd", {Builtin::Rnd, 0, 1, false}, Group::Math},
    {"round", {Builtin::Round, 1, 2, true}, Group::Math},
    {"sgn", {Builtin::Sgn, 1, 1, true}, Group::Math},
    {"sin", {Builtin::Sin, 1, 1, true}, Group::Math},
    {"sqr", {Builtin::Sqr, 1, 1, true}, Group::Math},
    {"tan", {Builtin::Tan, 1, 1, true}, Group::Math},
    {"hex", {Builtin::Hex, 1, 1, true}, Group::Math},
    {"oct", {Builtin::Oct, 1, 1, true}, Group::Math},
    {"rgb", {Builtin::RGB, 3, 3, true}, Group::Math},
    {"cbool", {Builtin::CBool, 1, 1, true}, Group::Convert},
    {"cbyte", {Builtin::CByte, 1, 1, true}, Group::Convert},
    {"ccur", {Builtin::CCur, 1, 1, true}, Group::Convert},
    {"cdate", {Builtin::CDate, 1, 1, true}, Group::Convert},
    {"cdbl", {Builtin::CDbl, 1, 1, true}, Group::Convert},
    {"cint", {Builtin::CInt, 1, 1, true}, Group::Convert},
    {"clng", {Builtin::CLng, 1, 1, true}, Group::Convert},
    {"csng", {Builtin::CSng, 1, 1, true}, Group::Convert},
    {"cstr", {Builtin::CStr, 1, 1, true}, Group::Convert},
    {"isarray", {Builtin::IsArray, 1, 1, true}, Group::Convert},
    {"isdate", {Builtin::IsDate, 1, 1, true}, Group::Convert},
    {"isempty", {Builtin::IsEmpty, 1, 1, true}, Group::Convert},
    {"isnull", {Builtin::IsNull, 1, 1, true}, Group::Convert},
    {"isnumeric", {Builtin::IsNumeric, 1, 1, true}, Group::Convert},
    {"isobject", {Builtin::IsObject, 1, 1, true}, Group::Convert},
    {"typename", {Builtin::TypeName, 1, 1, true}, Group::Convert},
    {"vartype", {Builtin::VarType, 1, 1, true}, Group::Convert},
    {"getlocale", {Builtin::GetLocale, 0, 0, true}, Group::Convert},
    {"eval", {Builtin::Eval, 1, 1, false}, Group::Convert},
    {"scriptengine", {Builtin::ScriptEngine, 0, 0, true}, Group::Convert},
    {"scriptenginebuildversion", {Builtin::ScriptEngineBuildVersion, 0, 0, true}, Group::Convert},
    {"scriptenginemajorversion", {Builtin::ScriptEngineMajorVersion, 0, 0, true}, Group::Convert},
    {"scriptengineminorversion", {Builtin::ScriptEngineMinorVersion, 0, 0, true}, Group::Convert},
    {"asc", {Builtin::Asc, 1, 1, true}, Group::String},
    {"ascw", {Builtin::AscW, 1, 1, true}, Group::String},
    {"chr", {Builtin::Chr, 1, 1, true}, Group::String},
    {"chrw", {Builtin::ChrW, 1, 1, true}, Group::String},
    {"instr", {Builtin::InStr, 2, 4, true}, Group::String},
    {"instrrev", {Builtin::InStrRev, 2, 4, true}, Group::String},
    {"lcase", {Builtin::LCase, 1, 1, true}, Group::String},
    {"left", {Builtin::Left, 2, 2, true}, Group::String},
    {"len", {Builtin::Len, 1, 1, true}, Group::String},
    {"ltrim", {Builtin::LTrim, 1, 1, true}, Group::String},
    {"mid", {Builtin::Mid, 2, 3, true}, Group::String},
    {"replace", {Builtin::Replace, 3, 6, true}, Group::String},
    {"right", {Builtin::Right, 2, 2, true}, Group::String},
    {"rtrim", {Builtin::RTrim, 1, 1, true}, Group::String},
    {"space", {Builtin::Space, 1, 1, true}, Group::String},
    {"string", {Builtin::String, 2, 2, true}, Group::String},
    {"strcomp", {Builtin::StrComp, 2, 3, true}, Group::String},
    {"strreverse", {Builtin::StrReverse, 1, 1, true}, Group::String},
    {"trim", {Builtin::Trim, 1, 1, true}, Group::String},
    {"ucase", {Builtin::UCase, 1, 1, true}, Group::String},
    {"join", {Builtin::Join, 1, 2, true}, Group::String},
    {"split", {Builtin::Split, 1, 4, true}, Group::String},
    {"array", {Builtin::Array, 0, MaxArrayArguments, true}, Group::String},
    {"lbound", {Builtin::LBound, 1, 2, true}, Group::String},
    {"ubound", {Builtin::UBound, 1, 2, true}, Group::String},
    {"filter", {Builtin::Filter, 2, 4, true}, Group::String},
    {"escape", {Builtin::Escape, 1, 1, true}, Group::String},
    {"unescape", {Builtin::Unescape, 1, 1, true}, Group::String},
    {"date", {Builtin::Date, 0, 0, false}, Group::Date},
    {"dateadd", {Builtin::DateAdd, 3, 3, true}, Group::Date},
    {"datediff", {Builtin::DateDiff, 3, 5, true}, Group::Date},
    {"datepart", {Builtin::DatePart, 2, 4, true}, Group::Date},
    {"dateserial", {Builtin::DateSerial, 3, 3, true}, Group::Date},
    {"datevalue", {Builtin::DateValue, 1, 1, true}, Group::Date},
    {"day", {Builtin::Day, 1, 1, true}, Group::Date},
    {"hour", {Builtin::Hour, 1, 1, true}, Group::Date},
    {"minute", {Builtin::Minute, 1, 1, true}, Group::Date},
    {"month", {Builtin::Month, 1, 1, true}, Group::Date},
    {"monthname", {Builtin::MonthName, 1, 2, true}, Group::Date},
    {"now", {Builtin::Now, 0, 0, false}, Group::Date},
    {"second", {Builtin::Second, 1, 1, true}, Group::Date},
    {"time", {Builtin::Time, 0, 0, false}, Group::Date},
    {"timer", {Builtin::Timer, 0, 0, false}, Group::Date},
    {"timeserial", {Builtin::TimeSerial, 3, 3, true}, Group::Date},
    {"timevalue", {Builtin::TimeValue, 1, 1, true}, Group::Date},
    {"weekday", {Builtin::Weekday, 1, 2, true}, Group::Date},
    {"weekdayname", {Builtin::WeekdayName, 1, 3, true}, Group::Date},
    {"year", {Builtin::Year, 1, 1, true}, Group::Date},
    {"formatcurrency", {Builtin::FormatCurrency, 1, 5, true}, Group::Format},
    {"formatdatetime", {Builtin::FormatDateTime, 1, 2, true}, Group::Format},
    {"formatnumber", {Builtin::FormatNumber, 1, 5, true}, Group::Format},
    {"formatpercent", {Builtin::FormatPercent, 1, 5, true}, Group::Format},
}};

// The table entry of every id, so a call finds its group without a search.
constexpr auto ById = [] {
    std::array<const Entry*, Table.size()> byId{};
    for (const Entry& entry : Table) {
        byId[static_cast<std::size_t>(entry.info.id)] = &entry;
    }
    return byId;
}();

// The table entries in the order of their names.
constexpr auto ByName = [] {
    std::array<const Entry*, Table.size()> byName{};
    for (std::size_t i = 0; i < Table.size(); ++i) {
        byName[i] = &Table[i];
    }
    std::sort(byName.begin(), byName.end(),
              [](const Entry* a, const Entry* b) { return a->name < b->name; });
    return byName;
}();

// The functions that look at an argument's kind rather than its value take Nothing too.
bool InspectsKind(Builtin id) {
    switch (id) {
    case Builtin::VarType:
    case Builtin::TypeName:
    case Builtin::IsEmpty:
    case Builtin::IsNull:
    case Builtin::IsNumeric:
    case Builtin::IsObject:
    case Builtin::IsArray:
    case Builtin::IsDate:
        return true;
    default:
        return false;
    }
}

// The functions that take an array argument; every other one refuses it.
bool TakesArray(Builtin id) {
    return InspectsKind(id) || id == Builtin::Join || id == Builtin::LBound ||
           id == Builtin::UBound || id == Builtin::Filter;
}

} // namespace

std::optional<BuiltinInfo> FindBuiltin(std::string_view name) {
    // Every statement "x=..." asks whether x is a function: a binary search keeps that cheap.
    const auto found = std::lower_bound(
        ByName.begin(), ByName.end(), name,
        [](const Entry* entry, std::string_view sought) { return entry->name < sought; });
    if (found != ByName.end() && (*found)->name == name) {
        return (*found)->info;
    }
    return std::nullopt;
}

std::string_view BuiltinName(Builtin id) {
    return ById[static_cast<std::size_t>(id)]->name;
}

namespace {

struct Alias {
    std::string_view name;
    std::string_view meant;
    bool isOperator;
};

// Names of other languages and of mathematics for what a built-in or an operator does here.
constexpr std::array<Alias, 16> Aliases{{
    {"sqrt", "sqr", false},
    {"ln", "log", false},
    {"atan", "atn", false},
    {"arctan", "atn", false},
    {"pow", "^", true},
    {"power", "^", true},
    {"floor", "int", false},
    {"trunc", "fix", false},
    {"sign", "sgn", false},
    {"rand", "rnd", false},
    {"random", "rnd", false},
    {"length", "len", false},
    {"substr", "mid", false},
    {"substring", "mid", false},
    {"lower", "lcase", false},
    {"upper", "ucase", false},
}};

// The number of single-letter insertions, deletions, replacements and swaps of neighbours that
// turn a into b, or limit + 1 once that is certain to be more than limit.
std::size_t EditDistance(std::string_view a, std::string_view b, std::size_t limit) {
    const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (gap > limit) {
        return limit + 1;
    }
    // Three rows of the distance table: two back, one back, this one.
    std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[b.size()], limit + 1);
}

} // namespace

std::string_view SuggestBuiltin(std::string_view name, bool& isOperator) {
    isOperator = false;
    for (const Alias& alias : Aliases) {
        if (alias.name == name) {
            isOperator = alias.isOperator;
            return alias.meant;
        }
    }
    // Close enough to be a slip of the finger: one letter off for short names, two for longer
    // ones, and only when a single built-in is that close.
    const std::size_t limit = name.size() <= 4 ? 1 : 2;
    std::string_view best;
    std::size_t bestDistance = limit + 1;
    bool tie = false;
    for (const Entry& entry : Table) {
        const std::size_t distance = EditDistance(name, entry.name, limit);
        if (distance < bestDistance) {
            best = entry.name;
            bestDistance = distance;
            tie = false;
        } else if (distance == bestDistance && distance <= limit) {
            tie = true;
        }
    }
    return tie ? std::string_view() : best;
}

ErrorCode CallBuiltin(Builtin id, Value* arguments, int count, RandomState* random) {
    const Entry& entry = *ById[static_cast<std::size_t>(id)];
    if (!InspectsKind(id)) {
        for (int i = 0; i < count; ++i) {
            if (arguments[i].Is(Kind::Nothing)) {
                return ErrorCode::ObjectVariableNotSet;
            }
            if (arguments[i].Is(Kind::Array) && !TakesArray(id)) {
                return ErrorCode::TypeMismatch;
            }
        }
    }
    switch (entry.group) {
    case Group::Math:
        return CallMath(id, arguments, count, random);
    case Group::Convert:
        return CallConvert(id, arguments, count);
    case Group::String:
        return CallString(id, arguments, count);
    case Group::Date:
        return CallDate(id, arguments, count);
    case Group::Format:
        break;
    }
    return CallFormat(id, arguments, count);
}

} // namespace script
