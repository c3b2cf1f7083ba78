#include "program/notation.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QStringList>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

bool IsLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsNameChar(QChar c) {
    return IsLetter(c) || IsDigit(c) || c == QLatin1Char('_');
}

// Words that join two values: a value glued to one of them is no slip ("(x)mod(3)" is how the
// boxes, which take no spaces, write x mod 3).
bool IsOperatorWord(const QString& word) {
    static const QStringList words = {QStringLiteral("mod"), QStringLiteral("and"),
                                      QStringLiteral("or"),  QStringLiteral("xor"),
                                      QStringLiteral("eqv"), QStringLiteral("imp")};
    return words.contains(word);
}

// The reserved words the help lists as no names, besides the operator words.
bool IsStatementWord(const QString& word) {
    static const QStringList words = {
        QStringLiteral("is"),   QStringLiteral("if"),       QStringLiteral("then"),
        QStringLiteral("else"), QStringLiteral("dim"),      QStringLiteral("for"),
        QStringLiteral("to"),   QStringLiteral("next"),     QStringLiteral("do"),
        QStringLiteral("loop"), QStringLiteral("while"),    QStringLiteral("sub"),
        QStringLiteral("end"),  QStringLiteral("function"), QStringLiteral("set"),
        QStringLiteral("let"),  QStringLiteral("get"),      QStringLiteral("call"),
        QStringLiteral("new"),  QStringLiteral("me"),       QStringLiteral("integer"),
        QStringLiteral("long"), QStringLiteral("double")};
    return words.contains(word);
}

// A text with the parts inside "..." blanked out, so that nothing a string holds is taken for
// a slip.
QString OutsideStrings(const QString& text) {
    QString code = text;
    bool inside = false;
    for (QChar& c : code) {
        if (c == QLatin1Char('"')) {
            inside = !inside;
        } else if (inside) {
            c = QLatin1Char(' ');
        }
    }
    return code;
}

qsizetype NameEnd(const QString& t, qsizetype i) {
    while (i < t.size() && IsNameChar(t[i])) {
        ++i;
    }
    return i;
}

// Just past the ")" that closes the "(" at open; the text's end when none does.
qsizetype GroupEnd(const QString& t, qsizetype open) {
    int depth = 0;
    for (qsizetype i = open; i < t.size(); ++i) {
        depth += t[i] == QLatin1Char('(') ? 1 : t[i] == QLatin1Char(')') ? -1 : 0;
        if (depth == 0) {
            return i + 1;
        }
    }
    return t.size();
}

// Where the operand ending just before end starts: a name or number, or a bracket with the name
// of the function it calls.
qsizetype OperandStart(const QString& t, qsizetype end) {
    qsizetype i = end;
    if (i > 0 && t[i - 1] == QLatin1Char(')')) {
        int depth = 0;
        while (i > 0) {
            --i;
            depth += t[i] == QLatin1Char(')') ? 1 : t[i] == QLatin1Char('(') ? -1 : 0;
            if (depth == 0) {
                break;
            }
        }
    }
    while (i > 0 && (IsNameChar(t[i - 1]) || t[i - 1] == QLatin1Char('.'))) {
        --i;
    }
    return i;
}

// Where the operand starting at start ends: a sign, then a name or number with the bracket
// of a call, or a bracket.
qsizetype OperandEnd(const QString& t, qsizetype start) {
    qsizetype i = start;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        ++i;
    }
    while (i < t.size() && (IsNameChar(t[i]) || t[i] == QLatin1Char('.'))) {
        ++i;
    }
    if (i < t.size() && t[i] == QLatin1Char('(')) {
        i = GroupEnd(t, i);
    }
    return i;
}

// "A は B と書きます" = write A as B
QString WriteAs(const QString& written, const QString& meant) {
    return written + QStringLiteral(" は ") + meant + QStringLiteral(" と書きます");
}

// A value glued to the next one without the "*" between them: "2x", "2(x+1)", "(x+1)(x-1)".
QString GluedProduct(const QString& text, const QString& code) {
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar before = i > 0 ? code[i - 1] : QChar();
        qsizetype joint = -1;
        const bool fraction =
            code[i] == QLatin1Char('.') && i + 1 < code.size() && IsDigit(code[i + 1]);
        if ((IsDigit(code[i]) || fraction) && !IsNameChar(before) && before != QLatin1Char('.') &&
            before != QLatin1Char('&') && before != QLatin1Char('#')) {
            // A number: digits, a fraction, an exponent that has digits.
            qsizetype j = i;
            while (j < code.size() && (IsDigit(code[j]) || code[j] == QLatin1Char('.'))) {
                ++j;
            }
            if (j < code.size() && code[j].toLower() == QLatin1Char('e')) {
                qsizetype k = j + 1;
                if (k < code.size() &&
                    (code[k] == QLatin1Char('+') || code[k] == QLatin1Char('-'))) {
                    ++k;
                }
                if (k < code.size() && IsDigit(code[k])) {
                    j = k;
                    while (j < code.size() && IsDigit(code[j])) {
                        ++j;
                    }
                }
            }
            joint = j;
        } else if (code[i] == QLatin1Char(')')) {
            joint = i + 1;
        }
        if (joint < 0 || joint >= code.size()) {
            continue;
        }
        const QChar next = code[joint];
        const bool glued =
            next == QLatin1Char('(') || IsDigit(next) ||
            (IsLetter(next) &&
             !IsOperatorWord(code.mid(joint, NameEnd(code, joint) - joint).toLower()));
        if (!glued) {
            i = std::max(i, joint - 1);
            continue;
        }
        const qsizetype start = OperandStart(code, joint);
        const qsizetype end = OperandEnd(code, joint);
        return WriteAs(text.mid(start, end - start), text.mid(start, joint - start) +
                                                         QLatin1Char('*') +
                                                         text.mid(joint, end - joint));
    }
    return {};
}

// A reserved word where a value belongs: "if+1", "mod+1".
QString ReservedName(const QString& code) {
    QChar previous; // the last character other than a blank before the word
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (!IsLetter(code[i]) ||
            (i > 0 && (IsNameChar(code[i - 1]) || code[i - 1] == QLatin1Char('&')))) {
            if (!code[i].isSpace()) {
                previous = code[i];
            }
            continue;
        }
        const qsizetype end = NameEnd(code, i);
        const QString word = code.mid(i, end - i).toLower();
        const bool operandPlace =
            previous.isNull() || QStringLiteral("(+-*/\\^=<>&,").contains(previous);
        if (IsStatementWord(word) || (operandPlace && IsOperatorWord(word))) {
            // "mod は予約語なので名前には使えません" = mod is a reserved word: it is no name
            return word + QStringLiteral(" は予約語なので名前には使えません");
        }
        previous = QLatin1Char('a');
        i = end - 1;
    }
    return {};
}

// A built-in's name glued to what it was to be applied to: ("sinx" → "sin", "x"). The slips
// sqrt, ln and atan name the built-in meant.
std::optional<std::pair<QString, QString>> GluedCall(const QString& name) {
    static const std::array<std::pair<const char*, const char*>, 11> bases = {{
        {"sqrt", "sqr"},
        {"atan", "atn"},
        {"sin", "sin"},
        {"cos", "cos"},
        {"tan", "tan"},
        {"log", "log"},
        {"exp", "exp"},
        {"sqr", "sqr"},
        {"abs", "abs"},
        {"atn", "atn"},
        {"ln", "log"},
    }};
    static const QRegularExpression argument(QStringLiteral("^([0-9]+(?:\\.[0-9]+)?)?(x)?$"));
    for (const auto& [base, meant] : bases) {
        const QString prefix = QString::fromLatin1(base);
        if (!name.startsWith(prefix) || name.size() == prefix.size()) {
            continue;
        }
        const QRegularExpressionMatch m = argument.match(name.mid(prefix.size()));
        if (!m.hasMatch()) {
            continue;
        }
        const QString number = m.captured(1);
        const QString x = m.captured(2);
        const QString joined = !number.isEmpty() && !x.isEmpty() ? QStringLiteral("*") : QString();
        return std::make_pair(QString::fromLatin1(meant), number + joined + x);
    }
    return std::nullopt;
}

} // namespace

QString SyntaxSlipHint(const QString& expression) {
    const QString code = OutsideStrings(expression);
    const qsizetype opens = code.count(QLatin1Char('('));
    const qsizetype closes = code.count(QLatin1Char(')'));
    if (opens != closes) {
        // "「)」が 1 つ足りません" = one ")" is missing
        return QStringLiteral("「%1」が %2 つ足りません")
            .arg(opens > closes ? QLatin1Char(')') : QLatin1Char('('))
            .arg(std::abs(opens - closes));
    }
    if (const qsizetype at = code.indexOf(QStringLiteral("**")); at >= 0) {
        const qsizetype start = OperandStart(code, at);
        const qsizetype end = OperandEnd(code, at + 2);
        if (start == at || end == at + 2) {
            return WriteAs(QStringLiteral("**"), QStringLiteral("^"));
        }
        return WriteAs(expression.mid(start, end - start),
                       expression.mid(start, at - start) + QLatin1Char('^') +
                           expression.mid(at + 2, end - at - 2));
    }
    if (QString glued = GluedProduct(expression, code); !glued.isEmpty()) {
        return glued;
    }
    return ReservedName(code);
}

QString NotationNotice(const QString& expression, const std::vector<std::string>& names) {
    QStringList lines;
    bool e = false;
    for (const std::string& read : names) {
        const QString name = QString::fromStdString(read).toLower();
        e = e || name == QStringLiteral("e");
        if (const auto call = GluedCall(name)) {
            // "sinx はひとつの名前として読みました。sin(x) と書きます。" = sinx was read as one
            // name; write sin(x)
            lines << name + QStringLiteral(" はひとつの名前として読みました。") + call->first +
                         QLatin1Char('(') + call->second + QStringLiteral(") と書きます。");
        }
    }
    static const QRegularExpression leftSide(QStringLiteral("^\\s*[yY]\\s*="));
    if (leftSide.match(expression).hasMatch()) {
        // "y= は書きません。右辺だけを書きます。" = y= is not written; write the right side only
        lines << QStringLiteral("y= は書きません。右辺だけを書きます。");
    }
    if (e) {
        // "e^x は exp(x) と書きます。" = write e^x as exp(x)
        lines << QStringLiteral("e^x は exp(x) と書きます。");
    }
    return lines.join(QLatin1Char('\n'));
}

QString NotationNoticeTitle() {
    return QStringLiteral("式の書き方"); // how to write an expression
}
