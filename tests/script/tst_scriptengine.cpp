#include "script/compiler.h"
#include "script/operations.h"
#include "script/scriptevaluator.h"

#include <QtCore/QThread>
#include <QtTest/QtTest>
#include <sys/resource.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using script::ErrorCode;
using script::Kind;

Q_DECLARE_METATYPE(script::Kind)
Q_DECLARE_METATYPE(script::ErrorCode)

namespace {

std::string TextOf(const script::Value& value) {
    std::string text;
    if (value.Is(Kind::Null)) {
        return "Null";
    }
    if (value.Is(Kind::Nothing)) {
        return "Nothing";
    }
    script::ToText(value, text);
    return text;
}

} // namespace

class ScriptEngineTest : public QObject {
    Q_OBJECT

private slots:
    void numbers_data();
    void numbers();
    void kinds_data();
    void kinds();
    void errors_data();
    void errors();
    void plotNumbers_data();
    void plotNumbers();
    void variables();
    void assignmentsRejected_data();
    void assignmentsRejected();
    void setVariableMatchesStatement_data();
    void setVariableMatchesStatement();
    void preparedSeesNewVariables();
    void preparedFromAnotherEvaluator();
    void emptyVariables_data();
    void emptyVariables();
    void emptyVariablesFollowAssignments();
    void numericMatchesGeneral_data();
    void numericMatchesGeneral();
    void textOperandsMatchDoubles();
    void rndRepeats();
    void nestingLimit_data();
    void nestingLimit();
    void nestingFitsSmallStack_data();
    void nestingFitsSmallStack();
    void hostileTextIsHandled_data();
    void hostileTextIsHandled();
    void memoryStaysBounded();
    void concatenationChain();
    void reservedWords_data();
    void reservedWords();
    void wordsReservedOnlyInStatementsAreNames_data();
    void wordsReservedOnlyInStatementsAreNames();
    void unknownFunctionHints_data();
    void unknownFunctionHints();
    void evalFunction_data();
    void evalFunction();
    void evalNestingIsBounded_data();
    void evalNestingIsBounded();
    void heldMemoryIsBudgeted_data();
    void heldMemoryIsBudgeted();
    void stopFlagEndsEvaluation_data();
    void stopFlagEndsEvaluation();
    void stopFlagReachesRunningEvaluation();
};

// Expressions whose value is a number: precedence, associativity, promotion, built-ins.
void ScriptEngineTest::numbers_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, const char* expression, double expected) {
        QTest::newRow(name) << QString::fromUtf8(expression) << expected;
    };
    row("power is left associative", "2^3^2", 64);
    row("power binds tighter than minus", "-2^2", -4);
    row("minus x squared is a downward parabola", "x=3:-x^2", -9);
    row("sign after caret", "2^-1", 0.5);
    row("sign after caret takes one primary", "2^-1^2", 0.25);
    row("unary minus above multiply", "-2*3", -6);
    row("multiply above mod", "2*5 mod 3", 1);
    row("mod above add", "1+5 mod 3", 3);
    row("integer division between multiply and mod", "7\\2*2", 1);
    row("integer division truncates", "-7\\2", -3);
    row("concatenation below add", "1+2 & 3", 33);
    row("comparison below concatenation", "\"12\"=1 & 2", -1);
    row("comparisons chain left to right up", "1<2<3", -1);
    row("comparisons chain left to right down", "3>2>1", 0);
    row("greater-equal spelled =>", "2=>2", -1);
    row("less-equal spelled =<", "3=<2", 0);
    row("not-equal spelled ><", "3><2", -1);
    row("not below comparison", "not 1=2", -1);
    row("and below not", "not 0 and 0", 0);
    row("or below and", "1 or 2 and 0", 1);
    row("xor below or", "1 xor 1 or 2", 2);
    row("eqv below xor", "0 eqv 1 xor 1", -1);
    row("imp lowest", "0 imp 0 eqv 1", -1);
    row("mod with words glued to brackets", "(7)mod(3)", 1);
    row("and glued to brackets", "(3)and(1)", 1);
    row("mod takes dividend sign negative", "-7 mod 3", -1);
    row("mod takes dividend sign positive", "7 mod -3", 1);
    row("mod rounds half to even", "7.5 mod 3", 2);
    row("mod rounds down to even", "6.5 mod 4", 2);
    row("mod at lowest long", "-2147483648.5 mod 7", -2);
    row("integer overflow moves to long", "32767+1", 32768);
    row("long overflow moves to double", "2147483647+1", 2147483648.0);
    row("integer product moves to long", "300*300", 90000);
    row("long product moves to double", "65536*65536", 4294967296.0);
    row("divide gives double", "7/2", 3.5);
    row("empty is zero in arithmetic", "empty+1", 1);
    row("unassigned name is empty", "xmod3+1", 1);
    row("name glued to function name is a name", "sinx", 0);
    row("empty expression", "", 0);
    row("blank expression", "   ", 0);
    row("numeric text in arithmetic", "\"3\"*2", 6);
    row("point first literal", ".5", 0.5);
    row("point last literal", "5.", 5);
    row("exponent literal", "1.5e3", 1500);
    row("tiny literal reads as zero", "1e-400", 0);
    row("true is minus one", "true", -1);
    row("boolean and integer", "true and 6", 6);
    row("true or null is decided", "true or null", -1);
    row("abs", "abs(-2.5)", 2.5);
    row("abs of lowest integer", "abs(-32768)", 32768);
    row("atn", "atn(1)*4", 3.141592653589793);
    row("cos", "cos(0)", 1);
    row("exp", "exp(1)", std::exp(1.0));
    row("fix toward zero", "fix(-2.5)", -2);
    row("int toward minus infinity", "int(-2.5)", -3);
    row("log", "log(exp(2))", 2);
    row("sgn", "sgn(-0.1)", -1);
    row("sin", "sin(0)", 0);
    row("sqr", "sqr(16)", 4);
    row("tan", "tan(0)", 0);
    row("round half to even down", "round(2.5)", 2);
    row("round half to even up", "round(3.5)", 4);
    row("round to places", "round(1.2345, 2)", 1.23);
    row("cint half to even", "cint(-2.5)", -2);
    row("clng half to even", "clng(4.5)", 4);
    row("cbyte", "cbyte(254.5)", 254);
    row("cdbl of text", "cdbl(\"1e3\")", 1000);
    row("csng narrows", "csng(0.1)", static_cast<double>(0.1f));
    row("cbool", "cbool(5)", -1);
    row("cbool of word", "cbool(\"False\")", 0);
    row("len of number text", "len(123.5)", 5);
    row("len of boolean text", "len(true)", 4);
    row("hex of small number", "hex(9)", 9);
    row("oct", "oct(8)", 10);
    row("vartype of long literal", "vartype(32768)", 3);
    row("isnumeric", "isnumeric(\" 1.5 \")", -1);
    row("function names are case-insensitive", "SIN(0)+Abs(-1)", 1);
    row("power of two squares", "(-3)^2", 9);
    row("negative base integral exponent", "(-2)^3", -8);
    // "Comments in VBScript", "Rem Statement": the rest of the text is ignored.
    row("comment after an expression", "1 + 2 ' 3 + 4", 3);
    row("rem after a bracket", "(1 + 2)rem", 3);
    row("rem after an assignment", "y=2 rem two:y*3", 6);
    row("quote in a string is no comment", "len(\"a'b\")", 3);
    row("name starting with rem", "remark=4:remark*2", 8);
}

// Each expression may carry statements first, separated by ':' (a test convenience only).
void ScriptEngineTest::numbers() {
    QFETCH(QString, expression);
    QFETCH(double, expected);
    ScriptEvaluator evaluator;
    std::string text = expression.toStdString();
    const std::size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        QVERIFY(evaluator.ExecuteStatement(text.substr(0, colon)).Ok());
        text = text.substr(colon + 1);
    }
    const ScriptResult result = evaluator.Eval(text);
    QVERIFY2(result.Ok(), result.Error().description.c_str());
    const std::optional<double> number = ToPlotNumber(result.GetValue());
    QVERIFY(number.has_value());
    QCOMPARE(*number, expected);
}

// The variant kind and text of results, where the kind is the point.
void ScriptEngineTest::kinds_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* expression, Kind kind, const char* text) {
        QTest::newRow(name) << QString::fromUtf8(expression) << kind << QString::fromUtf8(text);
    };
    row("small literal is integer", "32767", Kind::Integer, "32767");
    row("larger literal is long", "32768", Kind::Long, "32768");
    row("beyond long is double", "2147483648", Kind::Double, "2147483648");
    row("negated literal keeps its kind", "-32768", Kind::Long, "-32768");
    row("pointed literal is double", "1.0", Kind::Double, "1");
    row("integer sum stays integer", "2+3", Kind::Integer, "5");
    row("integer sum overflowing is long", "32767+1", Kind::Long, "32768");
    row("negating lowest integer widens", "-(-32767-1)", Kind::Long, "32768");
    row("divide is double", "4/2", Kind::Double, "2");
    row("power is double", "2^2", Kind::Double, "4");
    row("comparison is boolean", "1<2", Kind::Boolean, "True");
    row("booleans give boolean", "true and false", Kind::Boolean, "False");
    row("boolean and integer give integer", "true and 1", Kind::Integer, "1");
    row("not of integer", "not 0", Kind::Integer, "-1");
    row("not of double is long", "not 0.4", Kind::Long, "-1");
    row("mod of integers", "7 mod 3", Kind::Integer, "1");
    row("mod of doubles is long", "7.2 mod 3", Kind::Long, "1");
    row("boolean plus boolean is integer", "true+true", Kind::Integer, "-2");
    row("empty plus empty is integer", "empty+empty", Kind::Integer, "0");
    row("empty alone", "empty", Kind::Empty, "");
    row("null propagates through arithmetic", "null+1", Kind::Null, "Null");
    row("null propagates through comparison", "null=null", Kind::Null, "Null");
    row("null and false is false", "null and false", Kind::Boolean, "False");
    row("null or true is true", "null or true", Kind::Boolean, "True");
    row("null and true is null", "null and true", Kind::Null, "Null");
    row("false imp null is true", "false imp null", Kind::Boolean, "True");
    row("not null is null", "not null", Kind::Null, "Null");
    row("nothing can be returned", "nothing", Kind::Nothing, "Nothing");
    row("strings join with plus", "\"a\"+\"b\"", Kind::String, "ab");
    row("doubles concatenate in general form", "0.1+0.2 & \"\"", Kind::String, "0.3");
    row("large double text", "1e15 & \"\"", Kind::String, "1E+15");
    row("small double text", "0.000015 & \"\"", Kind::String, "1.5E-05");
    row("null joins as nothing", "null & 1", Kind::String, "1");
    row("null with null stays null", "null & null", Kind::Null, "Null");
    row("text joins every kind", "\"a\" & 1 & null & true & 0.5 & empty & \"b\"", Kind::String,
        "a1True0.5b");
    row("text and null is text", "\"a\" & null", Kind::String, "a");
    row("doubled quotes", "\"say \"\"hi\"\"\"", Kind::String, "say \"hi\"");
    row("cstr of boolean", "cstr(1=1)", Kind::String, "True");
    row("hex of 255", "hex(255)", Kind::String, "FF");
    row("hex of negative integer is 16 bits", "hex(-1)", Kind::String, "FFFF");
    row("hex of negative long is 32 bits", "hex(-32769)", Kind::String, "FFFF7FFF");
    row("oct of negative integer", "oct(-1)", Kind::String, "177777");
    row("abs keeps integer", "abs(-3)", Kind::Integer, "3");
    row("int keeps long", "int(40000)", Kind::Long, "40000");
    row("sgn is integer", "sgn(2.5)", Kind::Integer, "1");
    row("round keeps integer", "round(3)", Kind::Integer, "3");
    row("len of null is null", "len(null)", Kind::Null, "Null");
    row("abs of null is null", "abs(null)", Kind::Null, "Null");
    row("number sorts before string", "1 < \"0\"", Kind::Boolean, "True");
    row("empty equals empty string", "empty = \"\"", Kind::Boolean, "True");
    row("strings compare by bytes", "\"B\" < \"a\"", Kind::Boolean, "True");
    row("rnd is a single", "vartype(rnd)", Kind::Integer, "4");
}

void ScriptEngineTest::kinds() {
    QFETCH(QString, expression);
    QFETCH(Kind, kind);
    QFETCH(QString, text);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QVERIFY2(result.Ok(), result.Error().description.c_str());
    QCOMPARE(result.GetValue().GetKind(), kind);
    QCOMPARE(QString::fromStdString(TextOf(result.GetValue())), text);
}

void ScriptEngineTest::errors_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<ErrorCode>("code");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("position");
    const auto row = [](const char* name, const char* expression, ErrorCode code,
                        const char* description, int position) {
        QTest::newRow(name) << QString::fromUtf8(expression) << code
                            << QString::fromUtf8(description) << position;
    };
    const ErrorCode overflow = ErrorCode::Overflow;
    const ErrorCode invalid = ErrorCode::InvalidProcedureCall;
    const ErrorCode syntax = ErrorCode::SyntaxError;
    const char* invalidText = "Invalid procedure call or argument";
    row("power overflow", "10^400", overflow, "Overflow", 2);
    row("power of two overflow", "2^1024", overflow, "Overflow", 1);
    row("exp overflow", "exp(710)", overflow, "Overflow", 0);
    row("zero to negative power", "0^-1", overflow, "Overflow", 1);
    row("sum overflow", "1e308+1e308", overflow, "Overflow", 5);
    row("product overflow", "1e200*1e200", overflow, "Overflow", 5);
    row("quotient overflow", "1e300/1e-300", overflow, "Overflow", 5);
    row("square overflow", "1e200^2", overflow, "Overflow", 5);
    row("division by zero", "1/0", ErrorCode::DivisionByZero, "Division by zero", 1);
    row("zero by zero", "0/0", overflow, "Overflow", 1);
    row("negative base fractional power", "(-8)^(1/3)", invalid, invalidText, 4);
    row("log of zero", "log(0)", invalid, invalidText, 0);
    row("log of negative", "log(-1)", invalid, invalidText, 0);
    row("sqr of negative", "sqr(-1)", invalid, invalidText, 0);
    row("mod by zero", "5 mod 0", ErrorCode::DivisionByZero, "Division by zero", 2);
    row("mod by zero after rounding", "5 mod 0.4", ErrorCode::DivisionByZero, "Division by zero",
        2);
    row("integer division by zero", "5\\0", ErrorCode::DivisionByZero, "Division by zero", 1);
    row("mod operand too large", "2147483647.5 mod 2", overflow, "Overflow", 13);
    row("mod operand too small", "-2147483649 mod 2", overflow, "Overflow", 12);
    row("and operand too large", "1e10 and 1", overflow, "Overflow", 5);
    row("not operand too large", "not 1e10", overflow, "Overflow", 0);
    row("lowest long divided by minus one", "(-2147483647-1)\\-1", overflow, "Overflow", 15);
    row("cint out of range", "cint(32767.5)", overflow, "Overflow", 0);
    row("clng out of range", "clng(2147483647.5)", overflow, "Overflow", 0);
    row("cbyte out of range", "cbyte(-1)", overflow, "Overflow", 0);
    row("csng out of range", "csng(1e39)", overflow, "Overflow", 0);
    row("round with negative places", "round(1.5, -1)", invalid, invalidText, 0);
    row("text in arithmetic", "\"a\"+1", ErrorCode::TypeMismatch, "Type mismatch", 3);
    row("text in mod", "\"a\" mod 2", ErrorCode::TypeMismatch, "Type mismatch", 4);
    row("unknown function", "foo(x)", ErrorCode::TypeMismatch, "Type mismatch: 'foo'", 0);
    row("variable called like function", "x(1)", ErrorCode::TypeMismatch, "Type mismatch: 'x'", 0);
    row("nothing in arithmetic", "nothing+1", ErrorCode::ObjectVariableNotSet,
        "Object variable not set", 7);
    row("null into sin", "sin(null)", ErrorCode::InvalidUseOfNull, "Invalid use of Null", 0);
    row("null into cint", "cint(null)", ErrorCode::InvalidUseOfNull, "Invalid use of Null", 0);
    row("sin without arguments", "sin", ErrorCode::WrongNumberOfArguments,
        "Wrong number of arguments or invalid property assignment: 'sin'", 0);
    row("sin with two arguments", "sin(1,2)", ErrorCode::WrongNumberOfArguments,
        "Wrong number of arguments or invalid property assignment: 'sin'", 0);
    row("first error wins", "1/0 + foo(1)", ErrorCode::DivisionByZero, "Division by zero", 1);
    row("number glued to name", "3x", syntax, "Syntax error", 0);
    row("number glued to mod", "5mod2", syntax, "Syntax error", 0);
    row("exponent without digits", "1e", syntax, "Syntax error", 0);
    row("exponent sign without digits", "1e+", syntax, "Syntax error", 0);
    row("lone point", ".", syntax, "Syntax error", 0);
    row("two points", "1..2", syntax, "Syntax error", 0);
    row("literal beyond double range", "1e400", syntax, "Syntax error", 0);
    row("dangling operator", "1+", syntax, "Syntax error", 2);
    row("two operands", "1 2", syntax, "Syntax error", 2);
    row("unclosed bracket", "(1", syntax, "Syntax error", 2);
    row("unopened bracket", "1)", syntax, "Syntax error", 1);
    row("unterminated string", "\"abc", syntax, "Syntax error", 0);
    row("not inside an operand", "1+not 0", syntax, "Syntax error", 2);
    row("invalid character", "1 $ 2", syntax, "Syntax error", 2);
    row("statement is no expression", "x=1:y", syntax, "Syntax error", 3);
    row("keyword used as operand", "mod 1", syntax, "Syntax error", 0);
    row("comment leaves an operator dangling", "1 + ' 2", syntax, "Syntax error", 4);
}

void ScriptEngineTest::errors() {
    QFETCH(QString, expression);
    QFETCH(ErrorCode, code);
    QFETCH(QString, description);
    QFETCH(int, position);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QVERIFY(!result.Ok());
    QCOMPARE(result.Error().code, code);
    QCOMPARE(QString::fromStdString(result.Error().description), description);
    // The name the description quotes is also there as data.
    const std::string& name = result.Error().name;
    QCOMPARE(result.Error().description,
             script::Describe(code) + (name.empty() ? "" : ": '" + name + "'"));
    QVERIFY(result.Error().position.has_value());
    QCOMPARE(static_cast<int>(*result.Error().position), position);
}

void ScriptEngineTest::plotNumbers_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("expected");
    QTest::newRow("double unchanged") << "1.25" << true << 1.25;
    QTest::newRow("true is minus one") << "true" << true << -1.0;
    QTest::newRow("false is zero") << "false" << true << 0.0;
    QTest::newRow("empty is zero") << "empty" << true << 0.0;
    QTest::newRow("numeric text") << "hex(9)" << true << 9.0;
    QTest::newRow("numeric text with blanks") << "\" -2.5e1 \"" << true << -25.0;
    QTest::newRow("hex letters are no number") << "hex(255)" << false << 0.0;
    QTest::newRow("empty text is no number") << "\"\"" << false << 0.0;
    QTest::newRow("null is no number") << "null" << false << 0.0;
    QTest::newRow("nothing is no number") << "nothing" << false << 0.0;
    QTest::newRow("text with trailing letters") << "\"1x\"" << false << 0.0;
}

void ScriptEngineTest::plotNumbers() {
    QFETCH(QString, expression);
    QFETCH(bool, isNumber);
    QFETCH(double, expected);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QVERIFY(result.Ok());
    const std::optional<double> number = ToPlotNumber(result.GetValue());
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber) {
        QCOMPARE(*number, expected);
    }
}

void ScriptEngineTest::variables() {
    ScriptEvaluator evaluator;
    QVERIFY(evaluator.ExecuteStatement("Speed = 2").Ok());
    QCOMPARE(evaluator.Eval("speed*3").GetValue().Number(), 6.0);
    QCOMPARE(evaluator.Eval("SPEED").GetValue().Number(), 2.0);
    // A cached program compiled while the name was unassigned must see the later assignment.
    QCOMPARE(evaluator.Eval("later+1").GetValue().Number(), 1.0);
    QVERIFY(evaluator.ExecuteStatement("later=41").Ok());
    QCOMPARE(evaluator.Eval("later+1").GetValue().Number(), 42.0);
    // The right side is evaluated before the assignment; comparisons work on the right side.
    QVERIFY(evaluator.ExecuteStatement("later = later + 1").Ok());
    QCOMPARE(evaluator.Eval("later").GetValue().Number(), 42.0);
    QVERIFY(evaluator.ExecuteStatement("flag=later=42").Ok());
    QVERIFY(evaluator.Eval("flag").GetValue().Is(Kind::Boolean));
    // A failed statement leaves the variable alone.
    QVERIFY(!evaluator.ExecuteStatement("later=1/0").Ok());
    QCOMPARE(evaluator.Eval("later").GetValue().Number(), 42.0);
}

void ScriptEngineTest::assignmentsRejected_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<ErrorCode>("code");
    QTest::newRow("plain expression") << "1+1" << ErrorCode::SyntaxError;
    QTest::newRow("no value") << "x=" << ErrorCode::SyntaxError;
    QTest::newRow("keyword target") << "true=1" << ErrorCode::SyntaxError;
    QTest::newRow("operator word target") << "mod=1" << ErrorCode::SyntaxError;
    QTest::newRow("function target") << "sin=1" << ErrorCode::IllegalAssignment;
    QTest::newRow("two statements") << "x=1 y=2" << ErrorCode::SyntaxError;
    QTest::newRow("object value") << "x=nothing" << ErrorCode::ObjectVariableNotSet;
    QTest::newRow("less-equal is no assignment") << "x=<1" << ErrorCode::SyntaxError;
}

void ScriptEngineTest::assignmentsRejected() {
    QFETCH(QString, statement);
    QFETCH(ErrorCode, code);
    ScriptEvaluator evaluator;
    const ScriptResult result = evaluator.ExecuteStatement(statement.toStdString());
    QVERIFY(!result.Ok());
    QCOMPARE(result.Error().code, code);
}

// SetVariable must leave exactly what the statement with the number's text leaves, kind
// included: an integral value is an Integer or Long as its literal would be.
void ScriptEngineTest::setVariableMatchesStatement_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("small integer") << 3.0 << "3";
    QTest::newRow("negative integer") << -32767.0 << "-32767";
    QTest::newRow("lowest integer is a long literal") << -32768.0 << "-32768";
    QTest::newRow("long") << 40000.0 << "40000";
    QTest::newRow("largest long") << 2147483647.0 << "2147483647";
    QTest::newRow("beyond long") << -2147483648.0 << "-2147483648";
    QTest::newRow("fraction") << 0.1 << "0.1";
    QTest::newRow("exponent form") << 1e15 << "1E+15";
    QTest::newRow("tiny") << 1.5e-5 << "1.5E-05";
}

void ScriptEngineTest::setVariableMatchesStatement() {
    QFETCH(double, value);
    QFETCH(QString, text);
    ScriptEvaluator byStatement;
    ScriptEvaluator bySetter;
    QVERIFY(byStatement.ExecuteStatement("v=" + text.toStdString()).Ok());
    bySetter.SetVariable("V", value);
    for (const char* probe : {"vartype(v)", "v", "cstr(v)", "v*v*v", "-v"}) {
        const ScriptResult a = byStatement.Eval(probe);
        const ScriptResult b = bySetter.Eval(probe);
        QCOMPARE(a.Ok(), b.Ok());
        QCOMPARE(a.GetValue().GetKind(), b.GetValue().GetKind());
        QCOMPARE(TextOf(a.GetValue()), TextOf(b.GetValue()));
    }
}

void ScriptEngineTest::preparedSeesNewVariables() {
    ScriptEvaluator evaluator;
    ScriptEvaluator::Prepared prepared = evaluator.Prepare("a+b");
    QCOMPARE(evaluator.Eval(prepared).GetValue().Number(), 0.0);
    evaluator.SetVariable("a", 2);
    QVERIFY(evaluator.ExecuteStatement("b=3").Ok());
    QCOMPARE(evaluator.Eval(prepared).GetValue().Number(), 5.0);
    ScriptEvaluator::Prepared broken = evaluator.Prepare("a+");
    QCOMPARE(evaluator.Eval(broken).Error().code, ErrorCode::SyntaxError);
}

void ScriptEngineTest::emptyVariables_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QStringList>("empty");
    const QStringList none;
    QTest::newRow("one") << "e^x" << QStringList{"e"};
    // Each once, in lower case, in the order the expression first names them.
    QTest::newRow("several") << "B*x+a+b+C" << QStringList{"b", "a", "c"};
    QTest::newRow("assigned") << "x*pi+k+n" << none;
    QTest::newRow("within a call") << "sin(w*x)" << QStringList{"w"};
    QTest::newRow("folded away") << "2*q+1" << QStringList{"q"};
    QTest::newRow("functions, constants, words") << "rnd+now+vbred+true+empty+null" << none;
    // Calling a name that is no function fails when evaluated rather than reading 0.
    QTest::newRow("called") << "f(x)" << none;
    QTest::newRow("syntax error") << "u+" << none;
    QTest::newRow("text") << "\"e\"&x" << none;
}

// Names that hold no value, asked after the evaluation: an empty text and Null are values.
void ScriptEngineTest::emptyVariables() {
    QFETCH(QString, expression);
    QFETCH(QStringList, empty);
    ScriptEvaluator evaluator;
    QVERIFY(evaluator.ExecuteStatement("x=1.5").Ok());
    QVERIFY(evaluator.ExecuteStatement("pi=3").Ok());
    QVERIFY(evaluator.ExecuteStatement("k=\"\"").Ok());
    QVERIFY(evaluator.ExecuteStatement("n=null").Ok());
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(expression.toStdString());
    evaluator.Eval(prepared);
    QStringList found;
    for (const std::string& name : evaluator.EmptyVariables(prepared)) {
        found << QString::fromStdString(name);
    }
    QCOMPARE(found, empty);
}

// The answer is the state at the time of asking: a name that gets a value leaves the list, one
// set back to Empty comes back, and a program compiled before its names existed still sees them.
void ScriptEngineTest::emptyVariablesFollowAssignments() {
    ScriptEvaluator evaluator;
    ScriptEvaluator::Prepared prepared = evaluator.Prepare("a+b");
    QCOMPARE(evaluator.EmptyVariables(prepared), (std::vector<std::string>{"a", "b"}));
    QVERIFY(evaluator.ExecuteStatement("a=0").Ok());
    QCOMPARE(evaluator.EmptyVariables(prepared), std::vector<std::string>{"b"});
    evaluator.SetVariable("b", 2);
    QVERIFY(evaluator.EmptyVariables(prepared).empty());
    QVERIFY(evaluator.ExecuteStatement("a=empty").Ok());
    QCOMPARE(evaluator.EmptyVariables(prepared), std::vector<std::string>{"a"});
    QCOMPARE(evaluator.Eval(prepared).GetValue().Number(), 2.0);
}

// A Prepared is bound to no evaluator: used on another one it must read that one's variables,
// even when both have seen the same number of new names.
void ScriptEngineTest::preparedFromAnotherEvaluator() {
    ScriptEvaluator first;
    first.SetVariable("a", 1);
    first.SetVariable("x", 5);
    ScriptEvaluator second;
    second.SetVariable("x", 7);
    second.SetVariable("b", 9);
    ScriptEvaluator::Prepared prepared = first.Prepare("x");
    QCOMPARE(first.Eval(prepared).GetValue().Number(), 5.0);
    QCOMPARE(second.Eval(prepared).GetValue().Number(), 7.0);
    double number = 0.0;
    ScriptError error;
    QVERIFY(first.EvalNumber(prepared, number, error));
    QCOMPARE(number, 5.0);
    QVERIFY(second.EvalNumber(prepared, number, error));
    QCOMPARE(number, 7.0);
}

namespace {

struct Outcome {
    bool ok = false;
    double number = 0.0;
    ScriptError error;
};

// What sampling took before the numeric code existed: the general code's value as a plot number.
Outcome General(ScriptEvaluator& evaluator, ScriptEvaluator::Prepared& prepared) {
    Outcome outcome;
    const script::Value* value = nullptr;
    if (!evaluator.EvalInPlace(prepared, value, outcome.error)) {
        return outcome;
    }
    if (const std::optional<double> number = ToPlotNumber(*value)) {
        outcome.ok = true;
        outcome.number = *number;
        return outcome;
    }
    outcome.error.code = value->Is(Kind::Null)      ? ErrorCode::InvalidUseOfNull
                         : value->Is(Kind::Nothing) ? ErrorCode::ObjectVariableNotSet
                                                    : ErrorCode::TypeMismatch;
    outcome.error.description = script::Describe(outcome.error.code);
    return outcome;
}

Outcome Numeric(ScriptEvaluator& evaluator, ScriptEvaluator::Prepared& prepared) {
    Outcome outcome;
    outcome.ok = evaluator.EvalNumber(prepared, outcome.number, outcome.error);
    return outcome;
}

bool SameOutcome(const Outcome& a, const Outcome& b) {
    if (a.ok != b.ok) {
        return false;
    }
    if (a.ok) {
        return std::bit_cast<std::uint64_t>(a.number) == std::bit_cast<std::uint64_t>(b.number);
    }
    return a.error.code == b.error.code && a.error.description == b.error.description &&
           a.error.position == b.error.position;
}

QString Show(const Outcome& outcome) {
    if (outcome.ok) {
        return QString::number(outcome.number, 'g', 17);
    }
    return QString::fromStdString(outcome.error.description) + " at " +
           QString::number(static_cast<qlonglong>(outcome.error.position.value_or(999999)));
}

} // namespace

void ScriptEngineTest::numericMatchesGeneral_data() {
    QTest::addColumn<QStringList>("expressions");
    QTest::addColumn<bool>("runsOnNumbers");
    // clang-format off
    QTest::newRow("operands read by the operator")
        << QStringList{"x", "-x", "--x", "+x", "x+1", "1+x", "x-1", "1-x", "x*3", "3*x", "x/7",
                       "7/x", "2^x", "x^0.5", "x+x", "x*x", "x-x", "x/x", "x^x", "1-x*2",
                       "8/(x+1)", "2^(x/4)", "x-sin(x)", "x/(x+1)", "x^(x/4)", "2", "-0.5"}
        << true;
    QTest::newRow("comparisons both ways round")
        << QStringList{"x<1", "x>1", "x<=0", "x>=0", "x=0", "x<>0", "1<x", "1>=x", "1<x*2",
                       "1<=x*2", "x<x*2", "x>=x*2", "3=x+2", "x<>x*2", "(x<1)*-1", "(x=x)*x"}
        << true;
    QTest::newRow("signed zeros")
        << QStringList{"x*-3", "-3*x", "x*0", "0*x", "-x*0", "0/x", "-0", "0", "int(-x/3)*0",
                       "sgn(-x)*0", "abs(-x)*-1", "fix(-x/3)", "sqr(x)-sqr(x)", "(-x)^3", "0^x"}
        << true;
    QTest::newRow("integers outgrowing their kind")
        << QStringList{"x+32767", "x-32768", "x*32767", "x*x*x", "x*2147483647",
                       "x*x*2147483647", "-x-2147483647", "x*x*x*x*x*x", "-(x+y)*(x-y)"}
        << true;
    QTest::newRow("errors")
        << QStringList{"x/0", "1/(x-x)", "(x-x)/(x-x)", "x/1e-300", "1e308*x", "x*1e300*1e10",
                       "exp(x)", "exp(x*x)", "exp(-x)", "log(x)", "log(-x)", "log(x*x)",
                       "sqr(x)", "sqr(-x)", "x^-1", "x^-2", "(-2)^x", "x^(1/3)", "1/0",
                       "tan(x)^3", "log(exp(x))"}
        << true;
    QTest::newRow("powers")
        << QStringList{"x^2", "x^3", "x^0", "-x^2", "x^2^2", "2^-x^2", "x^2+3*x-1",
                       "-0.5*x^8-1.5*x^7+2*x^6-3*x^5+4*x^4-5*x^3+6*x^2-7*x+8"}
        << true;
    QTest::newRow("functions")
        << QStringList{"abs(x)", "atn(x)", "cos(x)", "sin(x)", "tan(x)", "fix(x)", "int(x)",
                       "sgn(x)", "sgn(x)*x", "sin(x)*cos(x)/(1+x^2)", "exp(-x^2/8)*cos(3*x)"}
        << true;
    QTest::newRow("two variables")
        << QStringList{"y", "x*y", "y*x", "y-x", "x-y", "x/y", "y/x", "y^x", "x^y", "x<y",
                       "y<x", "x>=y", "y=x", "x+y*y-x/y", "y-(x+1)", "(x+1)-y", "(x+1)/y",
                       "y/(x+1)", "(x+1)^y", "y^(x+1)", "(x+1)*(x-1)/(x*x-1)"}
        << true;
    QTest::newRow("names and words that are numbers")
        << QStringList{"unknown*x", "true*x", "empty+x"}
        << true;
    // Outside the numeric code: the same answers must still come, from the general code.
    QTest::newRow("general code")
        << QStringList{"x mod 3", "x\\2", "x & 1", "cstr(x)", "not x", "x and 1", "round(x)",
                       "cint(x)", "len(x)", "\"a\"+x", "\"2\"*x", "null+x", "hex(x)",
                       "nothing", "x*nothing", "vartype(x)", "f(x)"}
        << false;
    // clang-format on
}

// EvalNumber must give the general code's plot number bit for bit, and its error word for word,
// for x and y of every kind: Integer and Long (integral values), Double, the edges of each,
// huge and tiny values, and the non-numeric kinds a statement can assign.
void ScriptEngineTest::numericMatchesGeneral() {
    QFETCH(QStringList, expressions);
    QFETCH(bool, runsOnNumbers);
    std::vector<double> xs = {0.0,          -0.0,          1.0,           -1.0,
                              2.0,          0.5,           -0.5,          3.7,
                              -3.7,         181.0,         32767.0,       -32767.0,
                              -32768.0,     32768.0,       46341.0,       65535.0,
                              2147483647.0, -2147483647.0, -2147483648.0, 2147483648.0,
                              4e9,          1e15,          1e-300,        -1e-300,
                              5e-324,       1e300,         -1e300,        1.7976931348623157e308,
                              709.0,        710.0,         1e-5,          0.30000000000000004};
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> near(-40.0, 40.0);
    std::uniform_int_distribution<int> exponent(-1070, 1020);
    std::uniform_int_distribution<int> integral(-70000, 70000);
    for (int i = 0; i < 150; ++i) {
        xs.push_back(near(random));
        xs.push_back(std::ldexp(near(random), exponent(random)));
        xs.push_back(integral(random));
    }
    const double ys[] = {0.0, 3.0, -2.5, 40000.0};
    for (const QString& expression : expressions) {
        ScriptEvaluator evaluator;
        const ScriptEvaluator::VariableSlot x = evaluator.FindOrAddVariable("x");
        const ScriptEvaluator::VariableSlot y = evaluator.FindOrAddVariable("y");
        ScriptEvaluator::Prepared prepared = evaluator.Prepare(expression.toStdString());
        QVERIFY2(prepared.RunsOnNumbers() == runsOnNumbers, qPrintable(expression));
        for (const double yValue : ys) {
            evaluator.SetVariable(y, yValue);
            for (const double xValue : xs) {
                evaluator.SetVariable(x, xValue);
                const Outcome general = General(evaluator, prepared);
                const Outcome numeric = Numeric(evaluator, prepared);
                QVERIFY2(SameOutcome(general, numeric),
                         qPrintable(QStringLiteral("%1 at x=%2 y=%3: general %4, numeric %5")
                                        .arg(expression)
                                        .arg(xValue, 0, 'g', 17)
                                        .arg(yValue)
                                        .arg(Show(general), Show(numeric))));
            }
        }
        for (const char* text : {"true", "false", "empty", "null", "\"2.5\"", "\"abc\"", "\"\""}) {
            QVERIFY(evaluator.ExecuteStatement(std::string("x=") + text).Ok());
            const Outcome general = General(evaluator, prepared);
            const Outcome numeric = Numeric(evaluator, prepared);
            QVERIFY2(SameOutcome(general, numeric),
                     qPrintable(QStringLiteral("%1 at x=%2: general %3, numeric %4")
                                    .arg(expression, text, Show(general), Show(numeric))));
        }
    }
}

// Numeric text takes the operators' and functions' general code, a Double the shortcuts of the
// evaluation loop and the numeric code: both must give the same number or the same error.
void ScriptEngineTest::textOperandsMatchDoubles() {
    const QStringList expressions = {"x^2",     "x^3",       "x^0.5",  "(-x)^0.5", "x^-1",
                                     "2^x",     "x^x",       "1/x",    "x/(x-x)",  "(x-x)/(x-x)",
                                     "x*1e300", "x+1.7e308", "exp(x)", "log(x)",   "log(-x)",
                                     "sqr(x)",  "sqr(-x)",   "abs(x)", "atn(x)",   "cos(x)",
                                     "sin(x)",  "tan(x)",    "fix(x)", "int(x)",   "sgn(x)"};
    // Values that are not whole, so that x is a Double.
    std::vector<double> xs = {0.5, -0.5, 3.7, -3.7, 709.5, 710.5, 1e-300, -1e300, 4e9 + 0.5};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> near(-40.0, 40.0);
    for (int i = 0; i < 100; ++i) {
        xs.push_back(near(random));
    }
    for (const QString& expression : expressions) {
        ScriptEvaluator evaluator;
        ScriptEvaluator::Prepared prepared = evaluator.Prepare(expression.toStdString());
        for (const double x : xs) {
            evaluator.SetVariable("x", x);
            const Outcome onDouble = Numeric(evaluator, prepared);
            const QString text = QString::number(x, 'g', 17);
            QVERIFY(evaluator.ExecuteStatement("x=\"" + text.toStdString() + "\"").Ok());
            const Outcome onText = Numeric(evaluator, prepared);
            QVERIFY2(SameOutcome(onDouble, onText),
                     qPrintable(QStringLiteral("%1 at x=%2: on a Double %3, on text %4")
                                    .arg(expression, text, Show(onDouble), Show(onText))));
        }
    }
}

void ScriptEngineTest::rndRepeats() {
    ScriptEvaluator first;
    ScriptEvaluator second;
    const double a = first.Eval("rnd").GetValue().Number();
    QVERIFY(a >= 0.0 && a < 1.0);
    QCOMPARE(second.Eval("rnd(1)").GetValue().Number(), a);
    // rnd is never folded into a constant: each call moves on.
    QVERIFY(first.Eval("rnd").GetValue().Number() != a);
    QCOMPARE(first.Eval("rnd(0)").GetValue().Number(), first.Eval("rnd(0)").GetValue().Number());
    const double seeded = first.Eval("rnd(-3)").GetValue().Number();
    QCOMPARE(second.Eval("rnd(-3)").GetValue().Number(), seeded);
}

void ScriptEngineTest::nestingLimit_data() {
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("brackets") << "("
                              << ")";
    QTest::newRow("function calls") << "abs("
                                    << ")";
    QTest::newRow("power operands") << "2^("
                                    << ")";
    QTest::newRow("signs before brackets") << "-("
                                           << ")";
}

// The deepest allowed nesting works (also under AddressSanitizer's larger frames); one more
// level is an error, not a stack overflow.
void ScriptEngineTest::nestingLimit() {
    QFETCH(QString, open);
    QFETCH(QString, close);
    ScriptEvaluator evaluator;
    const auto nested = [&](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) {
            text += open.toStdString();
        }
        text += "0";
        for (int i = 0; i < depth; ++i) {
            text += close.toStdString();
        }
        return text;
    };
    const ScriptResult deepest = evaluator.Eval(nested(script::MaxNestingDepth));
    QVERIFY2(deepest.Ok() || deepest.Error().code == ErrorCode::Overflow,
             deepest.Error().description.c_str());
    const ScriptResult tooDeep = evaluator.Eval(nested(script::MaxNestingDepth + 1));
    QCOMPARE(tooDeep.Error().code, ErrorCode::ExpressionTooComplex);
}

void ScriptEngineTest::nestingFitsSmallStack_data() {
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::addColumn<int>("depth");
    QTest::addColumn<double>("expected");
    const auto row = [](const char* name, const char* open, const char* close, int depth,
                        double expected) {
        QTest::newRow(name) << QString::fromUtf8(open) << QString::fromUtf8(close) << depth
                            << expected;
    };
    const int deepest = script::MaxNestingDepth;
    row("brackets", "(", ")", deepest, 7);
    row("negated brackets", "-(", ")", deepest, 7);
    row("not before brackets", "not (", ")", deepest, 7);
    row("function calls", "abs(", ")", deepest, 7);
    row("power operands", "1^(", ")", deepest, 1);
    row("sum operands", "1+(", ")", deepest, deepest + 7);
    row("comparison operands", "0=(", ")", deepest, -1);
    row("arguments after others", "round(2,(", "))", deepest / 2, 2);
    row("5000 brackets", "(", ")", 5000, 7);
    row("5000 minus signs", "-", "", 5000, 7);
    row("5001 minus signs", "-", "", 5001, -7);
    row("5000 not words", "not ", "", 5000, 7);
    row("5001 not words", "not ", "", 5001, -8);
    row("5000 mixed brackets", "-(not -(", "))", 5000 / 2, 7);
    // Runs of prefix operators are read without recursion, however long the text may be.
    const int longest = static_cast<int>(script::MaxTextLength) - 1;
    row("minus signs", "-", "", longest, -7);
    row("signs after caret", "1^-", "", longest / 3, 1);
}

// Threads other than the main one often get a stack of 1 MB or less: the deepest text the
// compiler accepts must compile and run in that, both on variants and on plain numbers.
void ScriptEngineTest::nestingFitsSmallStack() {
    QFETCH(QString, open);
    QFETCH(QString, close);
    QFETCH(int, depth);
    QFETCH(double, expected);
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += open.toStdString();
    }
    text += "x";
    for (int i = 0; i < depth; ++i) {
        text += close.toStdString();
    }
    ScriptResult result = ScriptResult::Failure({});
    double number = 0.0;
    ScriptError numberError;
    bool numberOk = false;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        ScriptEvaluator evaluator;
        evaluator.SetVariable("x", 7.0);
        result = evaluator.Eval(text);
        ScriptEvaluator::Prepared prepared = evaluator.Prepare(text);
        numberOk = evaluator.EvalNumber(prepared, number, numberError);
    }));
    thread->setStackSize(1024 * 1024);
    thread->start();
    QVERIFY(thread->wait());
    QVERIFY2(result.Ok(), result.Error().description.c_str());
    const std::optional<double> plotted = ToPlotNumber(result.GetValue());
    QVERIFY(plotted.has_value());
    QCOMPARE(*plotted, expected);
    QVERIFY2(numberOk, numberError.description.c_str());
    QCOMPARE(number, expected);
}

void ScriptEngineTest::hostileTextIsHandled_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("embedded nul") << QByteArray("1+\0"
                                                "2",
                                                4)
                                  << false;
    QTest::newRow("invalid utf-8") << QByteArray("1+\xff\xfe") << false;
    QTest::newRow("japanese text") << QByteArray("\xe9\x96\xa2\xe6\x95\xb0(x)") << false;
    QTest::newRow("japanese in a string") << QByteArray("len(\"\xe9\x96\xa2\")") << true;
    QTest::newRow("many minus signs") << QByteArray(60000, '-') + "1" << true;
    QTest::newRow("many not words") << QByteArray("not ").repeated(16000) + "1" << true;
    QTest::newRow("long sum") << QByteArray("1+").repeated(30000) + "1" << true;
    QTest::newRow("long power chain") << QByteArray("2^").repeated(30000) + "1" << false;
    QTest::newRow("text beyond the limit") << QByteArray(70000, ' ') + "1" << false;
    QTest::newRow("huge digit run") << QByteArray(60000, '9') << false;
    QTest::newRow("many arguments") << "sin(" + QByteArray("1,").repeated(300) + "1)" << false;
    QTest::newRow("unknown function many arguments")
        << "foo(" + QByteArray("1,").repeated(300) + "1)" << false;
    QTest::newRow("lowest long mod minus one") << QByteArray("(-2147483647-1) mod -1") << true;
}

void ScriptEngineTest::hostileTextIsHandled() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    ScriptEvaluator evaluator;
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    QCOMPARE(evaluator.Eval(view).Ok(), ok);
    QVERIFY(!evaluator.ExecuteStatement(std::string("y=") + std::string(view)).Ok() || ok);
}

void ScriptEngineTest::memoryStaysBounded() {
    ScriptEvaluator evaluator;
    // Strings stop growing at the string limit.
    QVERIFY(evaluator.ExecuteStatement("s=\"abcdefgh\"").Ok());
    ScriptResult grown;
    for (int i = 0; i < 20; ++i) {
        grown = evaluator.ExecuteStatement("s=s&s");
    }
    QCOMPARE(grown.Error().code, ErrorCode::OutOfStringSpace);
    QVERIFY(evaluator.Eval("len(s)").GetValue().Number() <= script::MaxStringLength);
    // Variables stop at their limit.
    ScriptResult added;
    for (std::size_t i = 0; i <= ScriptEvaluator::MaxVariables; ++i) {
        added = evaluator.ExecuteStatement("v" + std::to_string(i) + "=1");
    }
    QCOMPARE(added.Error().code, ErrorCode::OutOfMemory);
    // Many distinct texts pass through the bounded cache and still evaluate right.
    for (int i = 0; i < 3000; ++i) {
        const ScriptResult result = evaluator.Eval(std::to_string(i) + "+1");
        QCOMPARE(result.GetValue().Number(), i + 1.0);
    }
}

// A long chain of & grows one string; the variables and constants it starts from stay as they
// were, so every evaluation gives the same text.
void ScriptEngineTest::concatenationChain() {
    ScriptEvaluator evaluator;
    QVERIFY(evaluator.ExecuteStatement("s=\"ab\"").Ok());
    QVERIFY(evaluator.ExecuteStatement("n=7").Ok());
    std::string text = "s";
    std::string expected = "ab";
    for (int i = 1; i < 10000; ++i) {
        text += i % 2 == 0 ? "&s" : "&\"c\"&n";
        expected += i % 2 == 0 ? "ab" : "c7";
    }
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(text);
    for (int run = 0; run < 3; ++run) {
        const ScriptResult result = evaluator.Eval(prepared);
        QVERIFY2(result.Ok(), result.Error().description.c_str());
        QCOMPARE(result.GetValue().Text(), expected);
    }
    QCOMPARE(TextOf(evaluator.Eval("s").GetValue()), std::string("ab"));
    QCOMPARE(TextOf(evaluator.Eval("\"x\" & n & s").GetValue()), std::string("x7ab"));
    QCOMPARE(TextOf(evaluator.Eval("\"x\" & n & s").GetValue()), std::string("x7ab"));
}

void ScriptEngineTest::reservedWords_data() {
    QTest::addColumn<QString>("word");
    for (const char* word :
         {"if",       "dim",        "then",       "else",    "elseif", "end",      "sub",
          "function", "for",        "next",       "to",      "each",   "in",       "while",
          "wend",     "do",         "loop",       "until",   "select", "case",     "set",
          "let",      "const",      "call",       "class",   "redim",  "preserve", "exit",
          "on",       "resume",     "option",     "private", "public", "get",      "with",
          "new",      "rset",       "byval",      "byref",   "stop",   "goto",     "me",
          "is",       "like",       "as",         "integer", "long",   "double",   "variant",
          "typeof",   "raiseevent", "paramarray", "endif",   "If",     "THEN"}) {
        QTest::newRow(word) << QString::fromLatin1(word);
    }
}

// A reserved word is never a variable: where a value belongs it is "Expected expression", as
// the name assigned to "Expected identifier", and the direct setters ignore it.
void ScriptEngineTest::reservedWords() {
    QFETCH(QString, word);
    const std::string name = word.toStdString();
    ScriptEvaluator evaluator;
    for (const std::string& text : {name, "1+" + name, "sin(" + name + ")", name + "(1)"}) {
        const ScriptResult result = evaluator.Eval(text);
        QVERIFY2(!result.Ok(), text.c_str());
        QCOMPARE(result.Error().code, ErrorCode::ExpectedExpression);
        QCOMPARE(result.Error().description, std::string("Expected expression"));
    }
    const ScriptResult assigned = evaluator.ExecuteStatement(name + "=1");
    QCOMPARE(assigned.Error().code, ErrorCode::ExpectedIdentifier);
    QCOMPARE(assigned.Error().description, std::string("Expected identifier"));
    QCOMPARE(*assigned.Error().position, std::size_t(0));
    QVERIFY(!evaluator.FindOrAddVariable(name).Valid());
    evaluator.SetVariable(name, 3.0);
    QCOMPARE(evaluator.Eval(name).Error().code, ErrorCode::ExpectedExpression);
    // A longer name that merely starts or ends with the word is an ordinary variable.
    for (const std::string& longer : {name + "x", "x" + name, name + "_1"}) {
        QVERIFY2(evaluator.ExecuteStatement(longer + "=4").Ok(), longer.c_str());
        QCOMPARE(evaluator.Eval(longer + "*2").GetValue().Number(), 8.0);
    }
}

void ScriptEngineTest::wordsReservedOnlyInStatementsAreNames_data() {
    QTest::addColumn<QString>("word");
    for (const char* word :
         {"step", "property", "default", "error", "explicit", "erase", "randomize", "Step"}) {
        QTest::newRow(word) << QString::fromLatin1(word);
    }
}

// Words that mean something only at one place of a statement are names everywhere else.
void ScriptEngineTest::wordsReservedOnlyInStatementsAreNames() {
    QFETCH(QString, word);
    const std::string name = word.toStdString();
    ScriptEvaluator evaluator;
    QVERIFY(evaluator.Eval(name).Ok()); // Empty before assignment
    QVERIFY(evaluator.ExecuteStatement(name + "=21").Ok());
    QCOMPARE(evaluator.Eval("2*" + name).GetValue().Number(), 42.0);
    QVERIFY(evaluator.FindOrAddVariable(name).Valid());
}

void ScriptEngineTest::unknownFunctionHints_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suggestion");
    QTest::addColumn<bool>("isOperator");
    const auto row = [](const char* expression, const char* name, const char* suggestion,
                        bool isOperator) {
        QTest::newRow(expression) << QString::fromLatin1(expression) << QString::fromLatin1(name)
                                  << QString::fromLatin1(suggestion) << isOperator;
    };
    row("sqrt(x)", "sqrt", "sqr", false);
    row("ln(x)", "ln", "log", false);
    row("arctan(x)", "arctan", "atn", false);
    row("atan(x)", "atan", "atn", false);
    row("pow(x,2)", "pow", "^", true);
    row("power(x,2)", "power", "^", true);
    row("Sqrt(x)", "sqrt", "sqr", false);
    // Slips of the finger: a letter missing, added, wrong or swapped.
    row("sni(x)", "sni", "sin", false);
    row("coss(x)", "coss", "cos", false);
    row("replac(x,1,2)", "replac", "replace", false);
    row("formatnumbr(x)", "formatnumbr", "formatnumber", false);
    row("datesrial(1,2,3)", "datesrial", "dateserial", false);
    row("sinus(x)", "sinus", "sin", false);
    // Nothing close enough, or two built-ins equally close: the hint only names the function.
    row("foo(x)", "foo", "", false);
    row("maximum(x)", "maximum", "", false);
    row("lef(x)", "lef", "", false); // left and len
    row("tn(x)", "tn", "", false);
    row("x(1)", "x", "", false);
    row("gauss(x)", "gauss", "", false);
}

// Calling a function that does not exist stays the language's "Type mismatch" with its name;
// the hint beside it names the built-in or operator probably meant.
void ScriptEngineTest::unknownFunctionHints() {
    QFETCH(QString, expression);
    QFETCH(QString, name);
    QFETCH(QString, suggestion);
    QFETCH(bool, isOperator);
    ScriptEvaluator evaluator;
    evaluator.SetVariable("x", 2.0);
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    QCOMPARE(result.Error().code, ErrorCode::TypeMismatch);
    QCOMPARE(QString::fromStdString(result.Error().description),
             QStringLiteral("Type mismatch: '%1'").arg(name));
    QCOMPARE(QString::fromStdString(result.Error().hint.unknownFunction), name);
    QCOMPARE(QString::fromStdString(result.Error().hint.suggestion), suggestion);
    QCOMPARE(result.Error().hint.suggestionIsOperator, isOperator);
    QString english = QStringLiteral("there is no function ") + name;
    if (!suggestion.isEmpty()) {
        english += (isOperator ? QStringLiteral("; did you mean the operator ")
                               : QStringLiteral("; did you mean ")) +
                   suggestion + QLatin1Char('?');
    }
    QCOMPARE(QString::fromStdString(HintText(result.Error().hint)), english);
    QCOMPARE(QString::fromStdString(DescribeWithHint(result.Error())),
             QStringLiteral("Type mismatch: '%1' (%2)").arg(name, english));
    // The same through the plotting path, and a later error of another kind drops the hint.
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(expression.toStdString());
    double number = 0.0;
    ScriptError error;
    QVERIFY(!evaluator.EvalNumber(prepared, number, error));
    QCOMPARE(QString::fromStdString(error.hint.suggestion), suggestion);
    ScriptEvaluator::Prepared other = evaluator.Prepare("\"a\"");
    QVERIFY(!evaluator.EvalNumber(other, number, error));
    QVERIFY(error.hint.Empty());
    QCOMPARE(DescribeWithHint(error), std::string("Type mismatch"));
}

void ScriptEngineTest::evalFunction_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");     // the value's text, or empty for an error
    QTest::addColumn<QString>("typeName"); // or the error's description
    const auto row = [](const char* name, const char* expression, const char* text,
                        const char* typeName) {
        QTest::newRow(name) << QString::fromUtf8(expression) << QString::fromUtf8(text)
                            << QString::fromUtf8(typeName);
    };
    row("arithmetic", "eval(\"1+2*3\")", "7", "Integer");
    row("reads the variables", "eval(\"x*2\")", "10", "Integer");
    row("text built at run time", "eval(\"x\" & \"+1\")", "6", "Integer");
    row("string result", "eval(\"\"\"a\"\" & \"\"b\"\"\")", "ab", "String");
    row("number argument", "eval(2.5)", "2.5", "Double");
    row("eval inside eval", "eval(\"eval(\"\"2^10\"\")\")", "1024", "Double");
    row("equals compares", "eval(\"x=5\")", "True", "Boolean");
    row("empty text", "eval(\"\")", "", "Empty");
    row("inside arithmetic", "1+eval(\"x\")*2", "11", "Integer");
    row("syntax error inside", "eval(\"1+\")", "", "Syntax error");
    row("statement word inside", "eval(\"if x\")", "", "Expected expression");
    row("no statements", "eval(\"x=1:y\")", "", "Syntax error");
    row("runtime error inside", "eval(\"1/0\")", "", "Division by zero");
    row("null", "eval(null)", "", "Invalid use of Null");
    row("without argument", "eval()", "", "");
    row("engine", "scriptengine", "VBScript", "String");
    row("engine with brackets", "ScriptEngine()", "VBScript", "String");
    row("major version", "scriptenginemajorversion", "5", "Long");
    row("minor version", "scriptengineminorversion", "8", "Long");
    row("build version", "scriptenginebuildversion", "18827", "Long");
    row("version text", "scriptenginemajorversion & \".\" & scriptengineminorversion", "5.8",
        "String");
}

void ScriptEngineTest::evalFunction() {
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(QString, typeName);
    ScriptEvaluator evaluator;
    QVERIFY(evaluator.ExecuteStatement("x=5").Ok());
    const ScriptResult result = evaluator.Eval(expression.toStdString());
    if (text.isEmpty() && typeName != QStringLiteral("Empty")) {
        QVERIFY(!result.Ok());
        if (!typeName.isEmpty()) {
            QCOMPARE(QString::fromStdString(result.Error().description), typeName);
        }
        return;
    }
    QVERIFY2(result.Ok(), result.Error().description.c_str());
    QCOMPARE(QString::fromStdString(TextOf(result.GetValue())), text);
    script::Value kind = result.GetValue();
    QCOMPARE(script::CallBuiltin(script::Builtin::TypeName, &kind, 1, nullptr), ErrorCode::None);
    QCOMPARE(QString::fromStdString(TextOf(kind)), typeName);
}

void ScriptEngineTest::evalNestingIsBounded_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("ok");
    QTest::newRow("text that evaluates itself") << "s=\"eval(s)\""
                                                << "eval(s)" << false;
    QTest::newRow("text that evaluates itself twice") << "s=\"eval(s)+eval(s)\""
                                                      << "eval(s)" << false;
    QTest::newRow("text that grows as it evaluates") << "s=\"eval(s & \"\"+1\"\")\""
                                                     << "eval(s)" << false;
    QTest::newRow("nesting within the bound") << "s=\"1\""
                                              << "" << true;
}

// Eval inside eval stops at a fixed depth with "Out of stack space", even on a thread with a
// small stack; nesting within the bound works.
void ScriptEngineTest::evalNestingIsBounded() {
    QFETCH(QString, statement);
    QFETCH(QString, expression);
    QFETCH(bool, ok);
    std::string text = expression.toStdString();
    if (text.empty()) {
        // eval("eval(""...s..."")"), as deep as allowed: each level doubles the quotes inside.
        text = "s";
        for (int i = 0; i < 9; ++i) {
            std::string quoted;
            for (const char c : text) {
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            text = "eval(\"" + quoted + "\")";
        }
    }
    ScriptResult result = ScriptResult::Failure({});
    std::unique_ptr<QThread> thread(QThread::create([&] {
        ScriptEvaluator evaluator;
        if (evaluator.ExecuteStatement(statement.toStdString()).Ok()) {
            result = evaluator.Eval(text);
        }
    }));
    thread->setStackSize(1024 * 1024);
    thread->start();
    QVERIFY(thread->wait());
    QCOMPARE(result.Ok(), ok);
    if (ok) {
        QCOMPARE(TextOf(result.GetValue()), std::string("1"));
    } else {
        QCOMPARE(result.Error().code, ErrorCode::OutOfStackSpace);
        QCOMPARE(result.Error().description, std::string("Out of stack space"));
    }
}

namespace {

// name(term,term,...) with the term count times: every term's value is held until the call.
std::string Tower(const char* name, const std::string& term, int count) {
    std::string text = std::string(name) + "(";
    for (int i = 0; i < count; ++i) {
        text += (i == 0 ? "" : ",") + term;
    }
    return text + ")";
}

} // namespace

void ScriptEngineTest::heldMemoryIsBudgeted_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("ok");
    const auto row = [](const char* name, const std::string& statement,
                        const std::string& expression, bool ok) {
        QTest::newRow(name) << QString::fromStdString(statement)
                            << QString::fromStdString(expression) << ok;
    };
    // Each split(space(65535)) is an array of 65536 empty texts, over 256 KB.
    row("split tower", "", Tower("f", "split(space(65535))", 1200), false);
    row("space tower", "", Tower("f", "space(65535)", 2000), false);
    row("concatenations held as arguments", "s=space(30000)", Tower("f", "s&s", 1500), false);
    // A text that rebuilds and evaluates itself (built by the test): every level holds arrays
    // while the next runs, and the budget ends it before the nesting limit does.
    row("eval tower", "", "", false);
    // Within the budget the same kinds of work go on.
    row("a few arrays", "", "ubound(split(space(65535)))+ubound(split(space(65535)))", true);
    row("eval of built texts", "s=\"len(space(65535))\"", "eval(s & \"+\" & s)", true);
}

// An evaluation that would hold more strings and arrays at once than its budget ends with "Out
// of memory" before it takes that much; the evaluator goes on working afterwards, and work
// within the budget is not refused.
void ScriptEngineTest::heldMemoryIsBudgeted() {
    QFETCH(QString, statement);
    QFETCH(QString, expression);
    QFETCH(bool, ok);
    ScriptEvaluator evaluator;
    std::string text = expression.toStdString();
    if (text.empty()) {
        // The eval tower: s holds f(split(...),...,split(...), and each level appends the rest.
        QVERIFY(
            evaluator.ExecuteStatement("s=\"" + Tower("f", "split(space(65535))", 20) + "\"").Ok());
        QVERIFY(evaluator.ExecuteStatement("s=left(s,len(s)-1)&\",eval(s&chr(32)))\"").Ok());
        text = "eval(s&chr(32))";
    } else if (!statement.isEmpty()) {
        QVERIFY(evaluator.ExecuteStatement(statement.toStdString()).Ok());
    }
    for (int round = 0; round < 2; ++round) {
        const ScriptResult result = evaluator.Eval(text);
        QCOMPARE(result.Ok(), ok);
        if (!ok) {
            QCOMPARE(result.Error().code, ErrorCode::OutOfMemory);
            QCOMPARE(result.Error().description, std::string("Out of memory"));
        }
        QCOMPARE(evaluator.Eval("len(space(3))&ubound(split(\"a b\"))").GetValue().Text(),
                 std::string("31"));
    }
    // Without the budget the towers above take well over a gigabyte.
    rusage usage{};
    QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
    QVERIFY2(usage.ru_maxrss < 400 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
}

void ScriptEngineTest::stopFlagEndsEvaluation_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("stops");
    QTest::newRow("string function") << "len(space(x))" << true;
    QTest::newRow("concatenation") << "x & x" << true;
    QTest::newRow("eval") << "eval(\"x+1\")" << true;
    QTest::newRow("integer arithmetic") << "x mod 7" << true;
    // Plain arithmetic on doubles has no loop to stop: it ends at once anyway.
    QTest::newRow("arithmetic on doubles") << "x*2.5+1" << false;
}

// With the stop flag set an evaluation that calls, concatenates or evals ends with its own
// error; cleared, the same evaluator evaluates again.
void ScriptEngineTest::stopFlagEndsEvaluation() {
    QFETCH(QString, expression);
    QFETCH(bool, stops);
    ScriptEvaluator evaluator;
    std::atomic<bool> stop{true};
    evaluator.SetStopFlag(&stop);
    QVERIFY(evaluator.ExecuteStatement("x=12").Ok());
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(expression.toStdString());
    double number = 0.0;
    ScriptError error;
    QCOMPARE(evaluator.EvalNumber(prepared, number, error), !stops);
    if (stops) {
        QCOMPARE(error.code, ErrorCode::Interrupted);
        QCOMPARE(error.description, std::string("User interrupt occurred"));
        QCOMPARE(evaluator.Eval(expression.toStdString()).Error().code, ErrorCode::Interrupted);
    }
    stop = false;
    QVERIFY(evaluator.EvalNumber(prepared, number, error));
    evaluator.SetStopFlag(nullptr);
    stop = true;
    QVERIFY(evaluator.Eval(expression.toStdString()).Ok());
}

// A flag set from another thread ends an evaluation that is under way, inside eval too.
void ScriptEngineTest::stopFlagReachesRunningEvaluation() {
    // Over a second of work, were it not stopped.
    const std::string term = "len(replace(space(60000),chr(32),chr(33)))";
    std::string text = term;
    while (text.size() + term.size() + 10 < script::MaxTextLength) {
        text += "+" + term;
    }
    for (const std::string& expression : {text, "eval(\"" + text + "\")"}) {
        std::atomic<bool> stop{false};
        std::atomic<bool> started{false};
        ScriptResult result;
        std::unique_ptr<QThread> thread(QThread::create([&] {
            ScriptEvaluator evaluator;
            evaluator.SetStopFlag(&stop);
            started = true;
            result = evaluator.Eval(expression);
        }));
        thread->start();
        while (!started) {
            QThread::msleep(1);
        }
        QThread::msleep(20);
        stop = true;
        QVERIFY(thread->wait());
        QCOMPARE(result.Error().code, ErrorCode::Interrupted);
    }
}

QTEST_APPLESS_MAIN(ScriptEngineTest)
#include "tst_scriptengine.moc"
