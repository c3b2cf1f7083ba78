// The language's built-in functions, named constants, variant subtypes and literals. Expected
// values come from the language reference pages named in each group (worked out by hand where a
// page gives the rule rather than the number), in the formats of a Japanese system.

#include "script/operations.h"
#include "script/scriptevaluator.h"

#include <QtTest/QtTest>

#include <string>

using script::ErrorCode;
using script::Kind;

Q_DECLARE_METATYPE(script::Kind)
Q_DECLARE_METATYPE(script::ErrorCode)

namespace {

QString TextOf(const script::Value& value) {
    if (value.Is(Kind::Null)) {
        return QStringLiteral("Null");
    }
    if (value.Is(Kind::Array)) {
        return QStringLiteral("Array");
    }
    std::string text;
    script::ToText(value, text);
    return QString::fromStdString(text);
}

void AddValue(const char* name, const char* expression, Kind kind, const char* text) {
    QTest::newRow(name) << QString::fromUtf8(expression) << kind << QString::fromUtf8(text);
}

void AddError(const char* name, const char* expression, ErrorCode code) {
    QTest::newRow(name) << QString::fromUtf8(expression) << code;
}

const Kind Int = Kind::Integer;
const Kind Lng = Kind::Long;
const Kind Dbl = Kind::Double;
const Kind Str = Kind::String;
const Kind Nul = Kind::Null;
const Kind Bool = Kind::Boolean;
const Kind Dat = Kind::Date;
const Kind Sng = Kind::Single;
const Kind Cur = Kind::Currency;
const Kind Byt = Kind::Byte;

const ErrorCode Invalid = ErrorCode::InvalidProcedureCall;
const ErrorCode Overflow = ErrorCode::Overflow;
const ErrorCode Mismatch = ErrorCode::TypeMismatch;
const ErrorCode NullUse = ErrorCode::InvalidUseOfNull;
const ErrorCode Arguments = ErrorCode::WrongNumberOfArguments;

} // namespace

class BuiltinsTest : public QObject {
    Q_OBJECT

private slots:
    void values_data();
    void values();
    void errors_data();
    void errors();
    void constantsAreReadOnly_data();
    void constantsAreReadOnly();
    void clockFunctions();
    void rndSequence();
    void everyFunctionChecksItsArgumentCount();
    void boundedResults_data();
    void boundedResults();
    void numericCodeUnchanged();
    void arraysInVariablesStayBounded();
};

void BuiltinsTest::values_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("text");

    // "Abs Function", "Fix, Int Functions", "Round Function", "Sgn Function", "Hex Function",
    // "Oct Function", "RGB Function".
    AddValue("abs of byte stays byte", "abs(cbyte(5))", Byt, "5");
    AddValue("abs of single stays single", "abs(csng(-1.5))", Sng, "1.5");
    AddValue("abs of currency stays currency", "abs(ccur(-2.25))", Cur, "2.25");
    AddValue("int of date stays date", "int(#2011/1/2 13:00#)", Dat, "2011/01/02");
    AddValue("fix of negative single", "fix(csng(-8.4))", Sng, "-8");
    AddValue("int of negative single", "int(csng(-8.4))", Sng, "-9");
    AddValue("round of single keeps single", "round(csng(2.5))", Sng, "2");
    AddValue("round of currency to places", "round(ccur(1.2345), 2)", Cur, "1.23");
    AddValue("round of null", "round(null)", Nul, "Null");
    AddValue("sgn of date", "sgn(#1899/12/29#)", Int, "-1");
    AddValue("hex of byte", "hex(cbyte(255))", Str, "FF");
    AddValue("hex of null", "hex(null)", Nul, "Null");
    AddValue("oct of long", "oct(459)", Str, "713");
    AddValue("rgb", "rgb(1, 2, 3)", Lng, "197121");
    AddValue("rgb above 255 counts as 255", "rgb(300, 0, 256)", Lng, "16711935");
    AddValue("rgb rounds", "rgb(0.5, 1.5, 0)", Lng, "512");

    // "CBool Function", "CByte Function", "CCur Function", "CDate Function", "CDbl Function",
    // "CInt Function", "CLng Function", "CSng Function", "CStr Function".
    AddValue("cbyte is a byte", "cbyte(125.5678)", Byt, "126");
    AddValue("cbyte of text", "cbyte(\" 7 \")", Byt, "7");
    AddValue("ccur keeps four decimals", "ccur(543.214588)", Cur, "543.2146");
    AddValue("ccur half to even", "ccur(0.00005)", Cur, "0");
    AddValue("ccur of text", "ccur(\"12.5\")", Cur, "12.5");
    AddValue("cdate of number", "cdate(40544)", Dat, "2011/01/01");
    AddValue("cdate of fraction is a time", "cdate(0.5)", Dat, "12:00:00");
    AddValue("cdate of zero is midnight", "cdate(0)", Dat, "0:00:00");
    AddValue("cdate of japanese text", "cdate(\"2011年1月31日\")", Dat, "2011/01/31");
    AddValue("cdate of date and time", "cdate(\"2011/1/31 13:45\")", Dat, "2011/01/31 13:45:00");
    AddValue("cdate of afternoon", "cdate(\"午後1:05\")", Dat, "13:05:00");
    AddValue("cdate of english afternoon", "cdate(\"1:05:09 PM\")", Dat, "13:05:09");
    AddValue("cdate two digit year of the 1900s", "cdate(\"99/12/31\")", Dat, "1999/12/31");
    AddValue("cdate two digit year of the 2000s", "cdate(\"29/1/2\")", Dat, "2029/01/02");
    AddValue("cdate before 1899 counts its time forward", "cdate(-1.25)", Dat,
             "1899/12/29 6:00:00");
    AddValue("cdbl of date", "cdbl(#2011/1/1#)", Dbl, "40544");
    AddValue("cint half to even", "cint(2.5)+cint(3.5)", Int, "6");
    AddValue("clng of byte", "clng(cbyte(3))", Lng, "3");
    AddValue("csng is a single", "csng(75.3421115)", Sng, "75.34211");
    AddValue("csng text has seven digits", "csng(1/3)", Sng, "0.3333333");
    AddValue("csng large in exponent form", "csng(12345678)", Sng, "1.234568E+07");
    AddValue("cstr of single", "cstr(csng(0.1))", Str, "0.1");
    AddValue("cstr of currency", "cstr(ccur(1234567.5))", Str, "1234567.5");
    AddValue("cstr of date", "cstr(#1/31/2011 1:02:03 PM#)", Str, "2011/01/31 13:02:03");
    AddValue("cbool of currency", "cbool(ccur(0.0001))", Bool, "True");
    AddValue("cbool of #TRUE#", "cbool(\"#TRUE#\")", Bool, "True");
    AddValue("cbyte of true has every bit set", "cbyte(true)", Byt, "255");
    AddValue("cdate of number text is a day count", "cdate(\"1\")", Dat, "1899/12/31");
    AddValue("single is not the double it came from", "csng(0.1) = 0.1", Bool, "False");
    AddValue("round of true stays boolean", "round(true)", Bool, "True");

    // "IsArray Function", "IsDate Function", "IsEmpty Function", "IsNull Function",
    // "IsNumeric Function", "IsObject Function", "TypeName Function", "VarType Function",
    // "VarType Constants", "GetLocale Function" (1041 is Japanese).
    AddValue("isarray of split", "isarray(split(\"a b\"))", Bool, "True");
    AddValue("isarray of text", "isarray(\"a b\")", Bool, "False");
    AddValue("isdate of date text", "isdate(\"2011/2/28\")", Bool, "True");
    AddValue("isdate of impossible date", "isdate(\"2011/2/29\")", Bool, "False");
    AddValue("isdate of number", "isdate(40544)", Bool, "False");
    AddValue("isdate of date", "isdate(#1/1/2011#)", Bool, "True");
    AddValue("isnumeric of date is false", "isnumeric(#1/1/2011#)", Bool, "False");
    AddValue("isnumeric of currency", "isnumeric(ccur(1))", Bool, "True");
    AddValue("isnumeric of null", "isnumeric(null)", Bool, "False");
    AddValue("isobject of nothing", "isobject(nothing)", Bool, "True");
    AddValue("isobject of number", "isobject(1)", Bool, "False");
    AddValue("typename of byte", "typename(cbyte(1))", Str, "Byte");
    AddValue("typename of integer", "typename(1)", Str, "Integer");
    AddValue("typename of long", "typename(40000)", Str, "Long");
    AddValue("typename of single", "typename(csng(1))", Str, "Single");
    AddValue("typename of double", "typename(1.5)", Str, "Double");
    AddValue("typename of currency", "typename(ccur(1))", Str, "Currency");
    AddValue("typename of date", "typename(now)", Str, "Date");
    AddValue("typename of string", "typename(\"\")", Str, "String");
    AddValue("typename of boolean", "typename(true)", Str, "Boolean");
    AddValue("typename of empty", "typename(empty)", Str, "Empty");
    AddValue("typename of null", "typename(null)", Str, "Null");
    AddValue("typename of nothing", "typename(nothing)", Str, "Nothing");
    AddValue("typename of array", "typename(split(\"a\"))", Str, "Variant()");
    AddValue("vartype of byte", "vartype(cbyte(1))", Int, "17");
    AddValue("vartype of single", "vartype(csng(1))", Int, "4");
    AddValue("vartype of currency", "vartype(ccur(1))", Int, "6");
    AddValue("vartype of date", "vartype(#1/1/2011#)", Int, "7");
    AddValue("vartype of array", "vartype(split(\"a\"))", Int, "8204");
    AddValue("getlocale is japanese", "getlocale()", Lng, "1041");

    // Subtypes in arithmetic and comparison ("Addition Operator (+)", "Subtraction Operator
    // (-)", "Multiplication Operator (*)", "Division Operator (/)", "Integer Division Operator",
    // "Mod Operator", "Comparison Operators"; the order of precision Byte, Integer, Long,
    // Single, Double, Currency).
    AddValue("byte plus byte is byte", "cbyte(100)+cbyte(100)", Byt, "200");
    AddValue("byte overflow moves to integer", "cbyte(200)+cbyte(100)", Int, "300");
    AddValue("byte below zero moves to integer", "cbyte(1)-cbyte(2)", Int, "-1");
    AddValue("byte plus integer is integer", "cbyte(1)+1", Int, "2");
    AddValue("byte times long is long", "cbyte(2)*40000", Lng, "80000");
    AddValue("negated byte is integer", "-cbyte(5)", Int, "-5");
    AddValue("single plus integer is single", "csng(1.5)+1", Sng, "2.5");
    AddValue("single plus long is double", "csng(1.5)+40000", Dbl, "40001.5");
    AddValue("single plus double is double", "csng(0.5)+0.25", Dbl, "0.75");
    AddValue("single over single is single", "csng(1)/csng(3)", Sng, "0.3333333");
    AddValue("single over integer is single", "csng(1)/4", Sng, "0.25");
    AddValue("single overflow moves to double", "csng(2^127)*4", Dbl, "6.80564733841877E+38");
    AddValue("currency plus double is currency", "ccur(1.5)+0.123456", Cur, "1.6235");
    AddValue("currency times integer is currency", "ccur(2.5)*3", Cur, "7.5");
    AddValue("currency over integer is double", "ccur(1)/4", Dbl, "0.25");
    AddValue("date plus number is date", "#2011/1/31#+1", Dat, "2011/02/01");
    AddValue("number plus date is date", "0.5+#2011/1/31#", Dat, "2011/01/31 12:00:00");
    AddValue("date minus number is date", "#2011/3/1#-1", Dat, "2011/02/28");
    AddValue("date minus date is double", "#2011/3/1#-#2011/2/1#", Dbl, "28");
    AddValue("date times number is double", "#1/2/1900#*2", Dbl, "6");
    AddValue("date power is double", "cdate(2)^2", Dbl, "4");
    AddValue("byte mod byte is byte", "cbyte(7) mod cbyte(4)", Byt, "3");
    AddValue("byte and byte is byte", "cbyte(6) and cbyte(3)", Byt, "2");
    AddValue("not byte is byte", "not cbyte(0)", Byt, "255");
    AddValue("single mod is long", "csng(7.5) mod 2", Lng, "0");
    AddValue("date compares as a number", "#2011/1/1# = 40544", Bool, "True");
    AddValue("dates compare in order", "#2011/1/1# < #2011/1/2#", Bool, "True");
    AddValue("currency equals double", "ccur(0.5) = 0.5", Bool, "True");
    AddValue("single equals its double", "csng(0.5) = 0.5", Bool, "True");
    AddValue("date joins as its text", "#2011/1/2# & \"\"", Str, "2011/01/02");
    AddValue("null plus byte is null", "null+cbyte(1)", Nul, "Null");

    // Literals: "VBScript Data Types" (hexadecimal &h, octal &o and &, dates between # signs);
    // "VBScript Glossary": date literals are read month first whatever the locale.
    AddValue("hex literal", "&hFF", Int, "255");
    AddValue("hex literal of sixteen bits is negative", "&hFFFF", Int, "-1");
    AddValue("hex literal of 32 bits is a long", "&h10000", Lng, "65536");
    AddValue("hex literal of 32 bits negative", "&hFFFFFFFF", Lng, "-1");
    AddValue("octal literal", "&o17", Int, "15");
    AddValue("octal literal without letter", "&17", Int, "15");
    AddValue("hex literal of sixteen bits as long", "&hFFFF&", Lng, "65535");
    AddValue("octal literal with long suffix", "&O17&", Lng, "15");
    AddValue("long hex literal joined", "&h10& & 1", Str, "161");
    AddValue("date literal month first", "#1/31/2011#", Dat, "2011/01/31");
    AddValue("date literal year first", "#2011/01/31#", Dat, "2011/01/31");
    AddValue("date literal small numbers are month, day, year", "#1/2/3#", Dat, "2003/01/02");
    AddValue("date text small numbers are year, month, day", "cdate(\"1/2/3\")", Dat, "2001/02/03");
    AddValue("date literal with time", "#1/31/2011 1:30:00 PM#", Dat, "2011/01/31 13:30:00");
    AddValue("time literal", "#13:30#", Dat, "13:30:00");
    AddValue("ampersand before a blank still joins", "1 & 2", Str, "12");

    // "Asc Function", "AscW" in "Asc Function", "Chr Function", "ChrW" in "Chr Function".
    AddValue("asc of number text", "asc(0)", Int, "48");
    AddValue("asc takes the first character", "asc(\"Apple\")", Int, "65");
    AddValue("ascw of japanese", "ascw(\"あ\")", Int, "12354");
    AddValue("ascw above 32767 is negative", "ascw(chrw(65535))", Int, "-1");
    AddValue("chr", "chr(65)", Str, "A");
    AddValue("chrw of japanese", "chrw(12354)", Str, "あ");
    AddValue("chrw of negative", "ascw(chrw(-1))", Int, "-1");

    // "InStr Function", "InStrRev Function".
    AddValue("instr finds", "instr(\"XXpXXpXXPXXP\", \"P\")", Lng, "9");
    AddValue("instr from a start", "instr(4, \"XXpXXpXXPXXP\", \"p\")", Lng, "6");
    AddValue("instr text compare", "instr(4, \"XXpXXpXXPXXP\", \"P\", 1)", Lng, "6");
    AddValue("instr binary compare", "instr(1, \"XXpXXpXXPXXP\", \"W\", 0)", Lng, "0");
    AddValue("instr of empty text", "instr(\"\", \"a\")", Lng, "0");
    AddValue("instr of empty sought is start", "instr(3, \"abcd\", \"\")", Lng, "3");
    AddValue("instr start beyond text", "instr(9, \"abcd\", \"a\")", Lng, "0");
    AddValue("instr of null text", "instr(null, \"a\")", Nul, "Null");
    AddValue("instr of number", "instr(12345, 3)", Lng, "3");
    AddValue("instrrev finds last", "instrrev(\"XXpXXpXXPXXP\", \"P\")", Lng, "12");
    AddValue("instrrev from a start", "instrrev(\"XXpXXpXXPXXP\", \"P\", 10)", Lng, "9");
    AddValue("instrrev text compare", "instrrev(\"XXpXXpXXPXXP\", \"P\", -1, 1)", Lng, "12");
    AddValue("instrrev start beyond text", "instrrev(\"abc\", \"a\", 4)", Lng, "0");
    AddValue("instrrev of empty sought", "instrrev(\"abc\", \"\", 2)", Lng, "2");
    AddValue("instrrev of null sought", "instrrev(\"abc\", null)", Nul, "Null");

    // "Left Function", "Right Function", "Mid Function", "Len Function".
    AddValue("left", "left(\"Hello World\", 3)", Str, "Hel");
    AddValue("left beyond length", "left(\"Hi\", 9)", Str, "Hi");
    AddValue("left of number", "left(x0 + 1.5, 1)", Str, "1");
    AddValue("left of null", "left(null, 1)", Nul, "Null");
    AddValue("right", "right(\"Hello World\", 5)", Str, "World");
    AddValue("right of zero length", "right(\"abc\", 0)", Str, "");
    AddValue("mid", "mid(\"Hello World\", 7, 3)", Str, "Wor");
    AddValue("mid to the end", "mid(\"Hello World\", 7)", Str, "World");
    AddValue("mid beyond end", "mid(\"abc\", 5, 1)", Str, "");
    AddValue("mid counts characters not bytes", "mid(\"あいう\", 2, 1)", Str, "い");
    AddValue("mid of null", "mid(null, 1)", Nul, "Null");
    AddValue("len", "len(\"VBSCRIPT\")", Lng, "8");
    AddValue("len of japanese counts characters", "len(\"関数\")", Lng, "2");
    AddValue("len of number", "len(-1.25)", Lng, "5");
    AddValue("len of date text", "len(#2011/1/2#)", Lng, "10");
    AddValue("len of empty", "len(empty)", Lng, "0");

    // "LCase Function", "UCase Function", "LTrim, RTrim, and Trim Functions", "Space
    // Function", "String Function", "StrReverse Function".
    AddValue("lcase", "lcase(\"MiXeD\")", Str, "mixed");
    AddValue("ucase", "ucase(\"MiXeD 1\")", Str, "MIXED 1");
    AddValue("ucase of full-width letters", "ucase(\"ａｂ\")", Str, "ＡＢ");
    AddValue("lcase of null", "lcase(null)", Nul, "Null");
    AddValue("ltrim", "ltrim(\"  a  \") & \"|\"", Str, "a  |");
    AddValue("rtrim", "rtrim(\"  a  \") & \"|\"", Str, "  a|");
    AddValue("trim", "trim(\"  a  \") & \"|\"", Str, "a|");
    AddValue("trim leaves tabs", "len(trim(vbtab & \" a\"))", Lng, "3");
    AddValue("trim of number", "trim(5)", Str, "5");
    AddValue("space", "\"[\" & space(3) & \"]\"", Str, "[   ]");
    AddValue("string of a character", "string(5, \"*\")", Str, "*****");
    AddValue("string takes the first character", "string(3, \"ABC\")", Str, "AAA");
    AddValue("string of a code", "string(2, 42)", Str, "**");
    AddValue("string of a code above 255", "string(2, 298)", Str, "**");
    AddValue("string of null character", "string(2, null)", Nul, "Null");
    AddValue("strreverse", "strreverse(\"VBScript\")", Str, "tpircSBV");
    AddValue("strreverse of number", "strreverse(123)", Str, "321");

    // "Replace Function", "StrComp Function".
    AddValue("replace all", "replace(\"XXpXXPXXp\", \"p\", \"Y\")", Str, "XXYXXPXXY");
    AddValue("replace from a start drops the head", "replace(\"XXpXXPXXp\", \"p\", \"Y\", 3)", Str,
             "YXXPXXY");
    AddValue("replace counted", "replace(\"aaaa\", \"a\", \"b\", 1, 2)", Str, "bbaa");
    AddValue("replace text compare", "replace(\"XXpXXPXXp\", \"p\", \"Y\", 1, -1, 1)", Str,
             "XXYXXYXXY");
    AddValue("replace with nothing removes", "replace(\"a-b-c\", \"-\", \"\")", Str, "abc");
    AddValue("replace of empty find copies", "replace(\"abc\", \"\", \"x\")", Str, "abc");
    AddValue("replace start beyond text", "replace(\"abc\", \"a\", \"x\", 9)", Str, "");
    AddValue("replace count zero copies", "replace(\"abc\", \"a\", \"x\", 1, 0)", Str, "abc");
    AddValue("replace in number text", "replace(3.25, \".\", \",\")", Str, "3,25");
    AddValue("strcomp binary", "strcomp(\"ABCD\", \"abcd\", 0)", Int, "-1");
    AddValue("strcomp text", "strcomp(\"ABCD\", \"abcd\", 1)", Int, "0");
    AddValue("strcomp greater", "strcomp(\"abcd\", \"ABCD\")", Int, "1");
    AddValue("strcomp of null", "strcomp(null, \"a\")", Nul, "Null");

    // "Split Function", "Join Function", "UBound Function", "LBound Function", "Filter
    // Function": arrays may be passed on, never returned.
    AddValue("join of split", "join(split(\"a,b,c\", \",\"), \"-\")", Str, "a-b-c");
    AddValue("split on blanks by default", "join(split(\"a b c\"), \"+\")", Str, "a+b+c");
    AddValue("join with blank by default", "join(split(\"a,b\", \",\"))", Str, "a b");
    AddValue("split keeps empty pieces", "ubound(split(\"a,,b\", \",\"))", Lng, "2");
    AddValue("split of empty text has no element", "ubound(split(\"\"))", Lng, "-1");
    AddValue("split limited", "join(split(\"a,b,c\", \",\", 2), \"|\")", Str, "a|b,c");
    AddValue("split text compare", "join(split(\"aXbxc\", \"x\", -1, 1), \"-\")", Str, "a-b-c");
    AddValue("split by empty delimiter", "ubound(split(\"abc\", \"\"))", Lng, "0");
    AddValue("lbound", "lbound(split(\"a b\"))", Lng, "0");
    // "Array Function".
    AddValue("array of nothing has no element", "ubound(array())", Lng, "-1");
    AddValue("join of array writes each value", "join(array(1, \"b\", true, 1.5), \"-\")", Str,
             "1-b-True-1.5");
    AddValue("filter", "join(filter(split(\"Mon Tue Wed\"), \"Mon\"), \",\")", Str, "Mon");
    AddValue("filter excluding", "join(filter(split(\"Mon Tue Wed\"), \"Mon\", false), \",\")", Str,
             "Tue,Wed");
    AddValue("filter text compare", "ubound(filter(split(\"Mon mon\"), \"MON\", true, 1))", Lng,
             "1");

    // "Escape Function", "Unescape Function".
    AddValue("escape", "escape(\"a b&c@*_+-./\")", Str, "a%20b%26c@*_+-./");
    AddValue("escape above 255", "escape(\"あ\")", Str, "%u3042");
    AddValue("escape of latin-1", "escape(\"é\")", Str, "%E9");
    AddValue("unescape", "unescape(\"%u3042%41%zz\")", Str, "あA%zz");
    AddValue("escape of null", "escape(null)", Nul, "Null");

    // "DateSerial Function", "TimeSerial Function", "DateValue Function", "TimeValue
    // Function".
    AddValue("dateserial", "dateserial(1969, 2, 12)", Dat, "1969/02/12");
    AddValue("dateserial rolls over", "dateserial(1990 - 10, 8 - 2, 1 - 1)", Dat, "1980/05/31");
    AddValue("dateserial month 13", "dateserial(2011, 13, 1)", Dat, "2012/01/01");
    AddValue("dateserial two digit year", "dateserial(99, 1, 1)", Dat, "1999/01/01");
    AddValue("dateserial year 29 is 2029", "dateserial(29, 12, 31)", Dat, "2029/12/31");
    AddValue("dateserial year 0 is 2000", "dateserial(0, 1, 1)", Dat, "2000/01/01");
    AddValue("dateserial year 30 is 1930", "dateserial(30, 1, 1)", Dat, "1930/01/01");
    AddValue("dateserial leap day", "dateserial(2012, 2, 29)", Dat, "2012/02/29");
    AddValue("timeserial", "timeserial(17 - 12, 0, 0)", Dat, "5:00:00");
    AddValue("timeserial rolls over", "timeserial(12, -15, 0)", Dat, "11:45:00");
    AddValue("timeserial past midnight", "timeserial(25, 0, 0)", Dat, "1899/12/31 1:00:00");
    AddValue("timeserial before midnight", "timeserial(-1, 0, 0)", Dat, "1899/12/29 23:00:00");
    AddValue("datevalue", "datevalue(\"2011/1/31 13:45\")", Dat, "2011/01/31");
    AddValue("timevalue", "timevalue(\"2011/1/31 13:45\")", Dat, "13:45:00");

    // "DateAdd Function", "DateDiff Function", "DatePart Function".
    AddValue("dateadd month keeps the last day", "dateadd(\"m\", 1, \"1995/1/31\")", Dat,
             "1995/02/28");
    AddValue("dateadd month in a leap year", "dateadd(\"m\", 1, #1/31/1996#)", Dat, "1996/02/29");
    AddValue("dateadd years", "dateadd(\"yyyy\", -1, #2/29/2012#)", Dat, "2011/02/28");
    AddValue("dateadd quarter", "dateadd(\"q\", 1, #2011/11/30#)", Dat, "2012/02/29");
    AddValue("dateadd days", "dateadd(\"d\", 1, #2011/12/31#)", Dat, "2012/01/01");
    AddValue("dateadd weekday is a day", "dateadd(\"w\", 2, #2011/1/1#)", Dat, "2011/01/03");
    AddValue("dateadd weeks", "dateadd(\"ww\", 2, #2011/1/1#)", Dat, "2011/01/15");
    AddValue("dateadd hours", "dateadd(\"h\", 25, #2011/1/1#)", Dat, "2011/01/02 1:00:00");
    AddValue("dateadd minutes", "dateadd(\"n\", -1, #2011/1/1#)", Dat, "2010/12/31 23:59:00");
    AddValue("dateadd seconds", "dateadd(\"s\", 61, #12:00:00#)", Dat, "12:01:01");
    AddValue("dateadd interval in capitals", "dateadd(\"D\", 1, #2011/1/1#)", Dat, "2011/01/02");
    AddValue("dateadd of null date", "dateadd(\"d\", 1, null)", Nul, "Null");
    AddValue("datediff days", "datediff(\"d\", #2011/1/1#, #2011/3/1#)", Lng, "59");
    AddValue("datediff days ignore the time", "datediff(\"d\", #2011/1/1 23:59#, #2011/1/2#)", Lng,
             "1");
    AddValue("datediff backwards", "datediff(\"d\", #2011/3/1#, #2011/1/1#)", Lng, "-59");
    AddValue("datediff years count boundaries", "datediff(\"yyyy\", #2011/12/31#, #2012/1/1#)", Lng,
             "1");
    AddValue("datediff months", "datediff(\"m\", #2011/1/31#, #2011/2/1#)", Lng, "1");
    AddValue("datediff quarters", "datediff(\"q\", #2011/3/31#, #2011/4/1#)", Lng, "1");
    AddValue("datediff weekdays are whole weeks", "datediff(\"w\", #2011/1/1#, #2011/1/14#)", Lng,
             "1");
    AddValue("datediff calendar weeks count sundays", "datediff(\"ww\", #2011/1/1#, #2011/1/2#)",
             Lng, "1");
    AddValue("datediff calendar weeks from monday",
             "datediff(\"ww\", #2011/1/1#, #2011/1/2#, vbmonday)", Lng, "0");
    AddValue("datediff hours", "datediff(\"h\", #10:59#, #11:00#)", Lng, "1");
    AddValue("datediff minutes", "datediff(\"n\", #10:59:59#, #11:00:00#)", Lng, "1");
    AddValue("datediff seconds", "datediff(\"s\", #2011/1/1#, #2011/1/2#)", Lng, "86400");
    AddValue("datediff of null", "datediff(\"d\", null, #2011/1/1#)", Nul, "Null");
    AddValue("datepart year", "datepart(\"yyyy\", #2011/5/6#)", Int, "2011");
    AddValue("datepart quarter", "datepart(\"q\", #2011/5/6#)", Int, "2");
    AddValue("datepart day of year", "datepart(\"y\", #2011/3/1#)", Int, "60");
    AddValue("datepart weekday", "datepart(\"w\", #2011/1/1#)", Int, "7");
    AddValue("datepart weekday from monday", "datepart(\"w\", #2011/1/1#, vbmonday)", Int, "6");
    AddValue("datepart week of january 1", "datepart(\"ww\", #2011/1/1#)", Int, "1");
    AddValue("datepart week after first sunday", "datepart(\"ww\", #2011/1/2#)", Int, "2");
    AddValue("datepart week with four days", "datepart(\"ww\", #2011/1/1#, 2, 2)", Int, "52");
    AddValue("datepart first full week", "datepart(\"ww\", #2011/1/3#, 2, 3)", Int, "1");
    AddValue("datepart hour", "datepart(\"h\", #1:02:03 PM#)", Int, "13");

    // "Year Function", "Month Function", "Day Function", "Weekday Function", "Hour
    // Function", "Minute Function", "Second Function", "MonthName Function", "WeekdayName
    // Function".
    AddValue("year", "year(#2011/5/6#)", Int, "2011");
    AddValue("month", "month(\"2011/5/6\")", Int, "5");
    AddValue("day", "day(40544)", Int, "1");
    AddValue("weekday of a saturday", "weekday(#2011/1/1#)", Int, "7");
    AddValue("weekday from monday", "weekday(#2011/1/1#, vbmonday)", Int, "6");
    AddValue("weekday from system day is sunday", "weekday(#2011/1/2#, 0)", Int, "1");
    AddValue("hour", "hour(#4:35:17 PM#)", Int, "16");
    AddValue("minute", "minute(#4:35:17 PM#)", Int, "35");
    AddValue("second", "second(#4:35:17 PM#)", Int, "17");
    AddValue("hour of null", "hour(null)", Nul, "Null");
    AddValue("monthname", "monthname(1)", Str, "1月");
    AddValue("monthname abbreviated", "monthname(12, true)", Str, "12");
    AddValue("weekdayname", "weekdayname(1)", Str, "日曜日");
    AddValue("weekdayname abbreviated", "weekdayname(2, true)", Str, "月");
    AddValue("weekdayname from monday", "weekdayname(1, false, vbmonday)", Str, "月曜日");

    // "FormatNumber Function", "FormatPercent Function", "FormatCurrency Function",
    // "FormatDateTime Function", with the Japanese system's number, currency and date formats.
    AddValue("formatnumber default two decimals", "formatnumber(1234.5)", Str, "1,234.50");
    AddValue("formatnumber rounds half away", "formatnumber(0.125, 2)", Str, "0.13");
    AddValue("formatnumber rounds the decimal value", "formatnumber(2.675, 2)", Str, "2.68");
    AddValue("formatnumber negative", "formatnumber(-1234.567, 1)", Str, "-1,234.6");
    AddValue("formatnumber without leading digit", "formatnumber(0.5, 2, 0)", Str, ".50");
    AddValue("formatnumber parentheses", "formatnumber(-3, 0, -2, -1)", Str, "(3)");
    AddValue("formatnumber without grouping", "formatnumber(1234567, 0, -2, -2, 0)", Str,
             "1234567");
    AddValue("formatnumber no decimals", "formatnumber(1234567.5, 0)", Str, "1,234,568");
    AddValue("formatnumber rounding to zero has no sign", "formatnumber(-0.001, 2)", Str, "0.00");
    AddValue("formatnumber of numeric text", "formatnumber(\"12\")", Str, "12.00");
    AddValue("formatnumber carries into a new digit", "formatnumber(999.996)", Str, "1,000.00");
    AddValue("formatnumber tiny", "formatnumber(1e-20, 3)", Str, "0.000");
    AddValue("formatpercent", "formatpercent(0.125)", Str, "12.50%");
    AddValue("formatpercent negative", "formatpercent(-0.5, 0)", Str, "-50%");
    AddValue("formatcurrency yen without decimals", "formatcurrency(1234.5)", Str, "¥1,235");
    AddValue("formatcurrency negative", "formatcurrency(-1234)", Str, "-¥1,234");
    AddValue("formatcurrency decimals", "formatcurrency(1.5, 2)", Str, "¥1.50");
    AddValue("formatcurrency parentheses", "formatcurrency(-5, -1, -2, -1)", Str, "(¥5)");
    AddValue("formatdatetime general", "formatdatetime(#2011/1/2 3:04:05#)", Str,
             "2011/01/02 3:04:05");
    AddValue("formatdatetime long date", "formatdatetime(#2011/1/2#, vblongdate)", Str,
             "2011年1月2日");
    AddValue("formatdatetime short date", "formatdatetime(#2011/1/2 3:04#, vbshortdate)", Str,
             "2011/01/02");
    AddValue("formatdatetime long time", "formatdatetime(#3:04:05 PM#, vblongtime)", Str,
             "15:04:05");
    AddValue("formatdatetime short time is 24-hour", "formatdatetime(#3:04:05 AM#, vbshorttime)",
             Str, "03:04");

    // Empty arguments read as 0 or as "", as in any expression.
    AddValue("left of empty", "left(empty, 1)", Str, "");
    AddValue("ucase of empty", "ucase(empty)", Str, "");
    AddValue("instr in empty", "instr(empty, \"a\")", Lng, "0");
    AddValue("cbyte of empty", "cbyte(empty)", Byt, "0");
    AddValue("cdate of empty", "cdate(empty)", Dat, "0:00:00");
    AddValue("year of empty", "year(empty)", Int, "1899");
    AddValue("dateadd to empty", "dateadd(\"d\", 1, empty)", Dat, "1899/12/31");
    AddValue("formatnumber of empty", "formatnumber(empty)", Str, "0.00");
    AddValue("chr of empty", "asc(chr(empty))", Int, "0");

    // Named constants: "Color Constants", "Comparison Constants", "Date and Time Constants",
    // "Date Format Constants", "MsgBox Constants", "String Constants", "Tristate Constants",
    // "VarType Constants", "Miscellaneous Constants".
    AddValue("vbtrue", "vbtrue", Int, "-1");
    AddValue("vbusedefault", "vbUseDefault", Int, "-2");
    AddValue("vbred", "vbred", Lng, "255");
    AddValue("vbblue", "vbBlue", Lng, "16711680");
    AddValue("vbwhite", "vbwhite", Lng, "16777215");
    AddValue("vbtextcompare", "vbtextcompare", Int, "1");
    AddValue("vbsaturday", "vbsaturday", Int, "7");
    AddValue("vbfirstfullweek", "vbfirstfullweek", Int, "3");
    AddValue("vbshorttime", "vbshorttime", Int, "4");
    AddValue("vbyesno", "vbyesno", Int, "4");
    AddValue("vbexclamation", "vbexclamation", Int, "48");
    AddValue("vbno", "vbno", Int, "7");
    AddValue("vbcurrency", "vbcurrency", Int, "6");
    AddValue("vbbyte", "vbbyte", Int, "17");
    AddValue("vbarray", "vbarray", Int, "8192");
    AddValue("vbobjecterror", "vbobjecterror", Lng, "-2147221504");
    AddValue("vbmsgboxsetforeground beyond an integer", "vbmsgboxsetforeground", Lng, "65536");
    AddValue("vbcrlf", "asc(vbcrlf) * 100 + asc(mid(vbcrlf, 2))", Int, "1310");
    AddValue("vbnewline", "len(vbnewline)", Lng, "2");
    AddValue("vbtab", "asc(vbtab)", Int, "9");
    AddValue("vbnullchar", "asc(vbnullchar)", Int, "0");
    AddValue("vbnullstring", "len(vbnullstring)", Lng, "0");
    AddValue("vbformfeed", "asc(vbformfeed)", Int, "12");
    AddValue("vbverticaltab", "asc(vbverticaltab)", Int, "11");
    AddValue("vbcr and vblf", "asc(vbcr) + asc(vblf)", Int, "23");
    AddValue("vbback", "asc(vbback)", Int, "8");
    AddValue("constant names ignore case", "VBRED = vbRed", Bool, "True");
}

void BuiltinsTest::values() {
    QFETCH(QString, expression);
    QFETCH(Kind, kind);
    QFETCH(QString, text);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QVERIFY2(result.Ok(), result.Error().description.c_str());
    QCOMPARE(TextOf(result.GetValue()), text);
    QCOMPARE(result.GetValue().GetKind(), kind);
}

void BuiltinsTest::errors_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<ErrorCode>("code");
    // Ranges and Null, by the pages of the functions.
    AddError("cbyte below zero", "cbyte(-0.6)", Overflow);
    AddError("cbyte above 255", "cbyte(255.5)", Overflow);
    AddError("ccur beyond range", "ccur(1e15)", Overflow);
    AddError("ccur of null", "ccur(null)", NullUse);
    AddError("cdate of word", "cdate(\"tomorrow\")", Mismatch);
    AddError("cdate beyond the calendar", "cdate(3e6)", Overflow);
    AddError("cdate of null", "cdate(null)", NullUse);
    AddError("csng beyond range", "csng(\"1e39\")", Overflow);
    AddError("cstr of null", "cstr(null)", NullUse);
    AddError("currency sum beyond range", "ccur(9e14)+ccur(9e14)", Overflow);
    AddError("date beyond the calendar in a sum", "cdate(1)*1e300+1e308*10", Overflow);
    AddError("array in arithmetic", "split(\"a\")+1", Mismatch);
    AddError("array into a text function", "len(split(\"a\"))", Mismatch);
    AddError("array compared", "split(\"a\")=1", Mismatch);
    AddError("array joined on the left", "split(\"a b\") & \"x\"", Mismatch);
    AddError("array joined on the right", "\"x\" & split(\"a b\")", Mismatch);
    AddError("join of text", "join(\"a\")", Mismatch);
    AddError("ubound of text", "ubound(\"a\")", Mismatch);
    AddError("ubound of second dimension", "ubound(split(\"a\"), 2)",
             ErrorCode::SubscriptOutOfRange);
    AddError("rgb negative", "rgb(-1, 0, 0)", Invalid);
    AddError("rgb null", "rgb(null, 0, 0)", NullUse);
    AddError("asc of empty text", "asc(\"\")", Invalid);
    AddError("asc of empty", "asc(empty)", Invalid);
    AddError("asc of null", "asc(null)", NullUse);
    AddError("chr beyond range", "chr(65536)", Invalid);
    AddError("chr of negative", "chr(-1)", Invalid);
    AddError("chrw beyond range", "chrw(-32769)", Invalid);
    AddError("chr of null", "chr(null)", NullUse);
    AddError("instr start zero", "instr(0, \"a\", \"a\")", Invalid);
    AddError("instr start null", "instr(null, \"a\", \"a\")", NullUse);
    AddError("instr compare two", "instr(1, \"a\", \"a\", 2)", Invalid);
    AddError("instrrev start zero", "instrrev(\"a\", \"a\", 0)", Invalid);
    AddError("left negative", "left(\"abc\", -1)", Invalid);
    AddError("left count null", "left(\"abc\", null)", NullUse);
    AddError("mid start zero", "mid(\"abc\", 0)", Invalid);
    AddError("mid length negative", "mid(\"abc\", 1, -1)", Invalid);
    AddError("space negative", "space(-1)", Invalid);
    AddError("space of null", "space(null)", NullUse);
    AddError("string of empty character", "string(2, \"\")", Invalid);
    AddError("strreverse of null", "strreverse(null)", NullUse);
    AddError("replace of null", "replace(null, \"a\", \"b\")", NullUse);
    AddError("replace start zero", "replace(\"a\", \"a\", \"b\", 0)", Invalid);
    AddError("replace count below -1", "replace(\"a\", \"a\", \"b\", 1, -2)", Invalid);
    AddError("strcomp compare null", "strcomp(\"a\", \"b\", null)", NullUse);
    AddError("split count below -1", "split(\"a\", \",\", -2)", Invalid);
    AddError("dateserial beyond the calendar", "dateserial(10000, 1, 1)", Invalid);
    AddError("dateserial null", "dateserial(null, 1, 1)", NullUse);
    AddError("dateadd unknown interval", "dateadd(\"x\", 1, #2011/1/1#)", Invalid);
    AddError("dateadd beyond the calendar", "dateadd(\"yyyy\", 8000, #2011/1/1#)", Invalid);
    AddError("dateadd null number", "dateadd(\"d\", null, #2011/1/1#)", NullUse);
    AddError("datediff unknown interval", "datediff(\"x\", 1, 2)", Invalid);
    AddError("datediff seconds beyond long", "datediff(\"s\", #100/1/1#, #9999/1/1#)", Overflow);
    AddError("datepart unknown interval", "datepart(\"x\", 1)", Invalid);
    AddError("datepart first week 4", "datepart(\"ww\", 1, 1, 4)", Invalid);
    AddError("weekday first day 8", "weekday(1, 8)", Invalid);
    AddError("year of text", "year(\"abc\")", Mismatch);
    AddError("year beyond the calendar", "year(1e7)", Overflow);
    AddError("monthname 13", "monthname(13)", Invalid);
    AddError("monthname null", "monthname(null)", NullUse);
    AddError("weekdayname 0", "weekdayname(0)", Invalid);
    AddError("formatnumber of text", "formatnumber(\"abc\")", Mismatch);
    AddError("formatnumber of null", "formatnumber(null)", NullUse);
    AddError("formatnumber decimals -2", "formatnumber(1, -2)", Invalid);
    AddError("formatnumber tristate 1", "formatnumber(1, 2, 1)", Invalid);
    AddError("formatdatetime format 5", "formatdatetime(1, 5)", Invalid);
    AddError("formatdatetime of text", "formatdatetime(\"abc\")", Mismatch);
    // Out of string space instead of an allocation beyond the limit.
    AddError("space of a billion", "space(1e9)", ErrorCode::OutOfStringSpace);
    AddError("space beyond a long", "space(1e10)", ErrorCode::Overflow);
    AddError("space beyond the string limit", "space(100000)", ErrorCode::OutOfStringSpace);
    AddError("string beyond the string limit", "string(2e9, \"a\")", ErrorCode::OutOfStringSpace);
    AddError("replace growing beyond the limit", "replace(space(60000), \" \", \"ab\")",
             ErrorCode::OutOfStringSpace);
    // Functions that reach outside the expression stay unknown.
    AddError("createobject", "createobject(\"WScript.Shell\")", Mismatch);
    AddError("getobject", "getobject(\"x\")", Mismatch);
    AddError("msgbox", "msgbox(\"x\")", Mismatch);
    AddError("inputbox", "inputbox(\"x\")", Mismatch);
    AddError("execute", "execute(\"x=1\")", Mismatch);
    AddError("executeglobal", "executeglobal(\"x=1\")", Mismatch);
    AddError("getref", "getref(\"f\")", Mismatch);
    AddError("loadpicture", "loadpicture(\"a.bmp\")", Mismatch);
    AddError("setlocale", "setlocale(1033)", Mismatch);
    // Wrong argument counts.
    AddError("left with one argument", "left(\"a\")", Arguments);
    AddError("replace with seven arguments", "replace(1,2,3,4,5,6,7)", Arguments);
    AddError("now with an argument", "now(1)", Arguments);
    AddError("dateserial with two arguments", "dateserial(1, 2)", Arguments);
    AddError("formatnumber with six arguments", "formatnumber(1,2,3,4,5,6)", Arguments);
    AddError("instr with one argument", "instr(\"a\")", Arguments);
    AddError("rgb without arguments", "rgb", Arguments);
    // Literals that are not.
    AddError("hex literal beyond 32 bits", "&h100000000", ErrorCode::SyntaxError);
    AddError("long suffix then a name", "&h10&x", ErrorCode::SyntaxError);
    AddError("array of null", "array(1, null)", NullUse);
    AddError("array within array", "array(array(1))", Mismatch);
    AddError("array beyond string space",
             "array(space(65536), space(65536), space(65536), "
             "space(65536), space(65536), space(65536))",
             ErrorCode::OutOfStringSpace);
    AddError("octal digit 8", "&o8", ErrorCode::SyntaxError);
    AddError("impossible date literal", "#2011/2/30#", ErrorCode::SyntaxError);
    AddError("unclosed date literal", "#2011/2/3", ErrorCode::SyntaxError);
}

void BuiltinsTest::errors() {
    QFETCH(QString, expression);
    QFETCH(ErrorCode, code);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QVERIFY2(!result.Ok(), qPrintable(TextOf(result.GetValue())));
    QCOMPARE(result.Error().code, code);
    QVERIFY(result.Error().description.starts_with(script::Describe(code)));
}

void BuiltinsTest::constantsAreReadOnly_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("colour") << "vbRed";
    QTest::newRow("string") << "vbCrLf";
    QTest::newRow("tristate") << "vbtrue";
    QTest::newRow("variant type") << "vbString";
}

// "Illegal assignment" as the language reports it; SetVariable leaves the constant alone too.
void BuiltinsTest::constantsAreReadOnly() {
    QFETCH(QString, name);
    ScriptEvaluator evaluator;
    const std::string text = name.toStdString();
    const ScriptResult before = evaluator.Eval(text);
    const ScriptResult assigned = evaluator.ExecuteStatement(text + "=5");
    QCOMPARE(assigned.Error().code, ErrorCode::IllegalAssignment);
    evaluator.SetVariable(text, 5.0);
    const ScriptResult after = evaluator.Eval(text);
    QCOMPARE(TextOf(after.GetValue()), TextOf(before.GetValue()));
    QCOMPARE(after.GetValue().GetKind(), before.GetValue().GetKind());
}

// Now, Date, Time and Timer read the clock at every evaluation and agree with each other.
void BuiltinsTest::clockFunctions() {
    ScriptEvaluator evaluator;
    const ScriptResult now = evaluator.Eval("now");
    QVERIFY(now.Ok());
    QCOMPARE(now.GetValue().GetKind(), Kind::Date);
    QVERIFY(now.GetValue().Number() > 40000.0); // after 2009
    const double date = evaluator.Eval("date").GetValue().Number();
    const double time = evaluator.Eval("time").GetValue().Number();
    QVERIFY(std::fabs(date + time - now.GetValue().Number()) < 2.0 / 86400.0 || time < 3e-5);
    QCOMPARE(evaluator.Eval("vartype(timer)").GetValue().Number(), 4.0);
    const double timer = evaluator.Eval("timer").GetValue().Number();
    QVERIFY(timer >= 0.0 && timer < 86401.0);
    QCOMPARE(evaluator.Eval("year(now) = year(date)").GetValue().Number(), -1.0);
}

// "Rnd Function": the numbers are Singles of VBScript's own sequence: the first three values
// after start are 0.7055475, 0.533424 and 0.5795186.
void BuiltinsTest::rndSequence() {
    ScriptEvaluator evaluator;
    QCOMPARE(TextOf(evaluator.Eval("rnd").GetValue()), QStringLiteral("0.7055475"));
    QCOMPARE(TextOf(evaluator.Eval("rnd(1)").GetValue()), QStringLiteral("0.533424"));
    QCOMPARE(TextOf(evaluator.Eval("rnd(0)").GetValue()), QStringLiteral("0.533424"));
    QCOMPARE(TextOf(evaluator.Eval("rnd").GetValue()), QStringLiteral("0.5795186"));
    const QString seeded = TextOf(evaluator.Eval("rnd(-1)").GetValue());
    QCOMPARE(TextOf(evaluator.Eval("rnd(-1)").GetValue()), seeded);
    QCOMPARE(evaluator.Eval("vartype(rnd(-1))").GetValue().Number(), 4.0);
}

// Every built-in refuses one argument too many; those that need some refuse none.
void BuiltinsTest::everyFunctionChecksItsArgumentCount() {
    const char* names[] = {"abs",
                           "atn",
                           "cos",
                           "exp",
                           "fix",
                           "int",
                           "log",
                           "rnd",
                           "round",
                           "sgn",
                           "sin",
                           "sqr",
                           "tan",
                           "hex",
                           "oct",
                           "rgb",
                           "cbool",
                           "cbyte",
                           "ccur",
                           "cdate",
                           "cdbl",
                           "cint",
                           "clng",
                           "csng",
                           "cstr",
                           "isarray",
                           "isdate",
                           "isempty",
                           "isnull",
                           "isnumeric",
                           "isobject",
                           "typename",
                           "vartype",
                           "getlocale",
                           "asc",
                           "ascw",
                           "chr",
                           "chrw",
                           "instr",
                           "instrrev",
                           "lcase",
                           "left",
                           "len",
                           "ltrim",
                           "mid",
                           "replace",
                           "right",
                           "rtrim",
                           "space",
                           "string",
                           "strcomp",
                           "strreverse",
                           "trim",
                           "ucase",
                           "join",
                           "split",
                           "lbound",
                           "ubound",
                           "filter",
                           "escape",
                           "unescape",
                           "date",
                           "dateadd",
                           "datediff",
                           "datepart",
                           "dateserial",
                           "datevalue",
                           "day",
                           "hour",
                           "minute",
                           "month",
                           "monthname",
                           "now",
                           "second",
                           "time",
                           "timer",
                           "timeserial",
                           "timevalue",
                           "weekday",
                           "weekdayname",
                           "year",
                           "formatcurrency",
                           "formatdatetime",
                           "formatnumber",
                           "formatpercent"};
    ScriptEvaluator evaluator;
    for (const char* name : names) {
        std::string call = std::string(name) + "(1";
        for (int i = 0; i < 7; ++i) {
            call += ",1";
        }
        call += ")";
        QVERIFY2(evaluator.Eval(call).Error().code == Arguments, name);
    }
    const QString many = "array(1" + QString(",1").repeated(script::MaxArrayArguments) + ")";
    QCOMPARE(evaluator.Eval(many.toStdString()).Error().code, Arguments);
}

void BuiltinsTest::boundedResults_data() {
    QTest::addColumn<QString>("expression");
    QTest::newRow("string of the whole limit") << "len(string(65536, \"a\"))";
    QTest::newRow("space of the whole limit") << "len(space(65536))";
    QTest::newRow("escape of long text") << "len(escape(space(20000)))";
    QTest::newRow("formatnumber of the largest double")
        << "len(formatnumber(1.7976931348623157e308, 255))";
    QTest::newRow("split of many pieces") << "ubound(split(string(60000, \",\"), \",\"))";
}

// Long results come out whole up to the string limit, and no further (see errors()).
void BuiltinsTest::boundedResults() {
    QFETCH(QString, expression);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QVERIFY2(result.Ok(), result.Error().description.c_str());
    QVERIFY(result.GetValue().Number() > 0.0);
}

// The named constants and the new kinds leave the plain-number code to what it handled before:
// a constant is a plain number there, a Byte or Date goes to the general code.
void BuiltinsTest::numericCodeUnchanged() {
    ScriptEvaluator evaluator;
    evaluator.SetVariable("x", 2.0);
    QVERIFY(evaluator.Prepare("x*vbred").RunsOnNumbers());
    QVERIFY(!evaluator.Prepare("x+cbyte(1)").RunsOnNumbers());
    QVERIFY(!evaluator.Prepare("x+#2011/1/1#").RunsOnNumbers());
    QVERIFY(!evaluator.Prepare("x*len(x)").RunsOnNumbers());
    double number = 0.0;
    ScriptError error;
    ScriptEvaluator::Prepared prepared = evaluator.Prepare("x*vbred");
    QVERIFY(evaluator.EvalNumber(prepared, number, error));
    QCOMPARE(number, 510.0);
}

// An array kept in variables counts against the variables' text limit as strings do.
void BuiltinsTest::arraysInVariablesStayBounded() {
    ScriptEvaluator evaluator;
    ScriptResult assigned;
    int count = 0;
    for (; count < 200; ++count) {
        assigned = evaluator.ExecuteStatement("a" + std::to_string(count) +
                                              "=split(string(60000, \",\"), \",\")");
        if (!assigned.Ok()) {
            break;
        }
    }
    QCOMPARE(assigned.Error().code, ErrorCode::OutOfMemory);
    QVERIFY(count > 10);
    QCOMPARE(evaluator.Eval("ubound(a0)").GetValue().Number(), 60000.0);
}

QTEST_APPLESS_MAIN(BuiltinsTest)
#include "tst_builtins.moc"
