// Conversion and inspection: cbool cbyte ccur cdate cdbl cint clng csng cstr, isarray isdate
// isempty isnull isnumeric isobject typename vartype, getlocale.

#include "script/arithmetic.h"
#include "script/builtins_impl.h"
#include "script/operations.h"
#include "script/textparse.h"
#include "script/variants.h"

#include <array>
#include <cmath>

namespace script {

namespace {

ErrorCode ToWhole(Builtin id, Value& argument) {
    // True has every bit set: as a Byte that is 255, not the -1 it is as a number.
    if (id == Builtin::CByte && argument.Is(Kind::Boolean)) {
        argument.SetByte(argument.Integer() != 0 ? 255 : 0);
        return ErrorCode::None;
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error != ErrorCode::None) {
        return error;
    }
    const double rounded = RoundHalfEven(x);
    switch (id) {
    case Builtin::CByte:
        if (!(rounded >= 0.0 && rounded <= 255.0)) {
            return ErrorCode::Overflow;
        }
        argument.SetByte(static_cast<std::int32_t>(rounded));
        return ErrorCode::None;
    case Builtin::CInt:
        if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
            return ErrorCode::Overflow;
        }
        argument.SetInteger(static_cast<std::int32_t>(rounded));
        return ErrorCode::None;
    default: {
        std::int32_t value = 0;
        const ErrorCode roundError = RoundToLong(x, value);
        if (roundError == ErrorCode::None) {
            argument.SetLong(value);
        }
        return roundError;
    }
    }
}

ErrorCode CBoolFunction(Value& argument) {
    if (argument.Is(Kind::String)) {
        std::string lower = argument.Text();
        for (char& c : lower) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
        // #TRUE# and #FALSE# are how files written by the language spell the two.
        if (lower == "true" || lower == "false" || lower == "#true#" || lower == "#false#") {
            argument.SetBoolean(lower == "true" || lower == "#true#");
            return ErrorCode::None;
        }
    }
    double x = 0.0;
    const ErrorCode error = ToDouble(argument, x);
    if (error == ErrorCode::None) {
        argument.SetBoolean(x != 0.0);
    }
    return error;
}

ErrorCode CDateFunction(Value& argument) {
    double serial = 0.0;
    if (argument.Is(Kind::String)) {
        // Text that is a number is a day count, as the number itself would be: "1" is the day
        // after day 0.
        if (!ParseDateText(argument.Text(), serial) && !ParseNumericText(argument.Text(), serial)) {
            return ErrorCode::TypeMismatch;
        }
    } else {
        const ErrorCode error = ToDouble(argument, serial);
        if (error != ErrorCode::None) {
            return error;
        }
    }
    return StoreDate(argument, serial);
}

bool IsNumericValue(const Value& value) {
    double x = 0.0;
    switch (value.GetKind()) {
    case Kind::Empty:
    case Kind::Boolean:
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
    case Kind::Currency:
        return true;
    case Kind::String:
        return ParseNumericText(value.Text(), x);
    default:
        return false; // a Date too
    }
}

struct KindName {
    std::int32_t code;
    const char* name;
};

// VarType numbers and TypeName names, by Kind.
constexpr std::array<KindName, 13> KindNames{{
    {0, "Empty"},
    {1, "Null"},
    {11, "Boolean"},
    {2, "Integer"},
    {3, "Long"},
    {5, "Double"},
    {8, "String"},
    {9, "Nothing"},
    {17, "Byte"},
    {4, "Single"},
    {6, "Currency"},
    {7, "Date"},
    {8204, "Variant()"},
}};

} // namespace

ErrorCode CallConvert(Builtin id, Value* arguments, int /*count*/) {
    Value& argument = arguments[0];
    switch (id) {
    case Builtin::CBool:
        return CBoolFunction(argument);
    case Builtin::CByte:
    case Builtin::CInt:
    case Builtin::CLng:
        return ToWhole(id, argument);
    case Builtin::CCur: {
        double x = 0.0;
        const ErrorCode error = ToDouble(argument, x);
        return error != ErrorCode::None ? error : StoreCurrency(argument, x);
    }
    case Builtin::CDate:
        return CDateFunction(argument);
    case Builtin::CDbl: {
        double x = 0.0;
        const ErrorCode error = ToDouble(argument, x);
        if (error == ErrorCode::None) {
            argument.SetDouble(x);
        }
        return error;
    }
    case Builtin::CSng: {
        double x = 0.0;
        const ErrorCode error = ToDouble(argument, x);
        return error != ErrorCode::None ? error : StoreSingle(argument, x);
    }
    case Builtin::CStr: {
        std::string text;
        const ErrorCode error = ToText(argument, text);
        if (error == ErrorCode::None) {
            argument.SetString(std::move(text));
        }
        return error;
    }
    case Builtin::IsArray:
        argument.SetBoolean(argument.Is(Kind::Array));
        return ErrorCode::None;
    case Builtin::IsDate: {
        double serial = 0.0;
        argument.SetBoolean(argument.Is(Kind::Date) ||
                            (argument.Is(Kind::String) && ParseDateText(argument.Text(), serial)));
        return ErrorCode::None;
    }
    case Builtin::IsEmpty:
        argument.SetBoolean(argument.Is(Kind::Empty));
        return ErrorCode::None;
    case Builtin::IsNull:
        argument.SetBoolean(argument.Is(Kind::Null));
        return ErrorCode::None;
    case Builtin::IsNumeric:
        argument.SetBoolean(IsNumericValue(argument));
        return ErrorCode::None;
    case Builtin::IsObject:
        argument.SetBoolean(argument.Is(Kind::Nothing));
        return ErrorCode::None;
    case Builtin::TypeName:
        argument.SetString(KindNames[static_cast<std::size_t>(argument.GetKind())].name);
        return ErrorCode::None;
    case Builtin::VarType:
        argument.SetInteger(KindNames[static_cast<std::size_t>(argument.GetKind())].code);
        return ErrorCode::None;
    case Builtin::ScriptEngine:
        argument.SetString("VBScript");
        return ErrorCode::None;
    case Builtin::ScriptEngineMajorVersion:
        argument.SetLong(5);
        return ErrorCode::None;
    case Builtin::ScriptEngineMinorVersion:
        argument.SetLong(8);
        return ErrorCode::None;
    case Builtin::ScriptEngineBuildVersion:
        // The language as of version 5.8 is what expressions follow. Its build number varied
        // with the system it came with; this program answers with 18827, one of the builds
        // of 5.8 that was released.
        argument.SetLong(18827);
        return ErrorCode::None;
    case Builtin::Eval:
        // Eval needs the evaluator's variables and is run by the evaluator itself.
        return ErrorCode::InvalidProcedureCall;
    default: // GetLocale: the Japanese locale, which the text functions follow
        argument.SetLong(1041);
        return ErrorCode::None;
    }
}

} // namespace script
