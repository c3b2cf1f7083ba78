#include "script/lexer.h"

#include "script/textparse.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace script {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

void Lexer::SkipBlanks() {
    while (m_pos < m_text.size() && IsBlank(m_text[m_pos])) {
        ++m_pos;
    }
}

Token Lexer::Next() {
    SkipBlanks();
    Token token;
    token.position = m_pos;
    // A comment, from ' to the end of the text, is as if the text ended where it starts.
    if (m_pos >= m_text.size() || m_text[m_pos] == '\'') {
        m_pos = m_text.size();
        token.kind = TokenKind::End;
        return token;
    }
    const char c = m_text[m_pos];
    if (IsDigit(c) || c == '.') {
        return ReadNumber();
    }
    if (IsLetter(c)) {
        return ReadName();
    }
    if (c == '"') {
        return ReadString();
    }
    if (c == '#') {
        return ReadDate();
    }
    const char next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0';
    if (c == '&' && (IsDigit(next) ||
                     ((next == 'h' || next == 'H') && m_pos + 2 < m_text.size() &&
                      IsHexDigit(m_text[m_pos + 2])) ||
                     ((next == 'o' || next == 'O') && m_pos + 2 < m_text.size() &&
                      IsDigit(m_text[m_pos + 2])))) {
        return ReadRadixNumber();
    }
    std::size_t length = 1;
    switch (c) {
    case '+':
        token.kind = TokenKind::Plus;
        break;
    case '-':
        token.kind = TokenKind::Minus;
        break;
    case '*':
        token.kind = TokenKind::Star;
        break;
    case '/':
        token.kind = TokenKind::Slash;
        break;
    case '\\':
        token.kind = TokenKind::Backslash;
        break;
    case '^':
        token.kind = TokenKind::Caret;
        break;
    case '&':
        token.kind = TokenKind::Ampersand;
        break;
    case '(':
        token.kind = TokenKind::LeftParen;
        break;
    case ')':
        token.kind = TokenKind::RightParen;
        break;
    case ',':
        token.kind = TokenKind::Comma;
        break;
    case '=':
        // "=>" and "=<" are accepted spellings of ">=" and "<=".
        if (next == '>') {
            token.kind = TokenKind::GreaterEqual;
            length = 2;
        } else if (next == '<') {
            token.kind = TokenKind::LessEqual;
            length = 2;
        } else {
            token.kind = TokenKind::Equal;
        }
        break;
    case '<':
        if (next == '>') {
            token.kind = TokenKind::NotEqual;
            length = 2;
        } else if (next == '=') {
            token.kind = TokenKind::LessEqual;
            length = 2;
        } else {
            token.kind = TokenKind::Less;
        }
        break;
    case '>':
        if (next == '<') {
            token.kind = TokenKind::NotEqual;
            length = 2;
        } else if (next == '=') {
            token.kind = TokenKind::GreaterEqual;
            length = 2;
        } else {
            token.kind = TokenKind::Greater;
        }
        break;
    default:
        token.kind = TokenKind::Invalid;
        break;
    }
    m_pos += length;
    return token;
}

Token Lexer::ReadNumber() {
    Token token;
    token.position = m_pos;
    const NumberScan scan = ScanNumber(m_text.substr(m_pos));
    m_pos += scan.length;
    // A number running straight into a letter, digit or point ("3x", "5mod2", "1..2") is not
    // two tokens: it is a mistake.
    const bool glued =
        m_pos < m_text.size() && (IsLetter(m_text[m_pos]) || IsDigit(m_text[m_pos]) ||
                                  m_text[m_pos] == '.' || m_text[m_pos] == '_');
    if (scan.status != ScanStatus::Ok || glued) {
        token.kind = TokenKind::Invalid;
        return token;
    }
    token.kind = TokenKind::Number;
    if (scan.plainDigits && scan.value <= 32767.0) {
        token.literal = Value::MakeInteger(static_cast<std::int32_t>(scan.value));
    } else if (scan.plainDigits && scan.value <= 2147483647.0) {
        token.literal = Value::MakeLong(static_cast<std::int32_t>(scan.value));
    } else {
        token.literal = Value::MakeDouble(scan.value);
    }
    return token;
}

Token Lexer::ReadString() {
    Token token;
    token.position = m_pos;
    std::string text;
    std::size_t i = m_pos + 1;
    for (;;) {
        if (i >= m_text.size() || m_text[i] == '\n' || m_text[i] == '\r') {
            token.kind = TokenKind::Invalid;
            m_pos = i;
            return token;
        }
        if (m_text[i] == '"') {
            if (i + 1 < m_text.size() && m_text[i + 1] == '"') {
                text.push_back('"');
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        text.push_back(m_text[i]);
        ++i;
    }
    m_pos = i;
    token.kind = TokenKind::String;
    token.literal = Value::MakeString(std::move(text));
    return token;
}

namespace {

struct Keyword {
    std::string_view word;
    TokenKind kind;
};

constexpr std::array<Keyword, 12> Operators{{
    {"mod", TokenKind::Mod},
    {"not", TokenKind::Not},
    {"and", TokenKind::And},
    {"or", TokenKind::Or},
    {"xor", TokenKind::Xor},
    {"eqv", TokenKind::Eqv},
    {"imp", TokenKind::Imp},
    {"true", TokenKind::True},
    {"false", TokenKind::False},
    {"empty", TokenKind::EmptyWord},
    {"null", TokenKind::NullWord},
    {"nothing", TokenKind::NothingWord},
}};

// The language's other reserved words: its statements, declarations and type names. None of
// them can be a variable, whether or not the language has a use for it in an expression. Words
// that only mean something in one place of a statement (step, property, default, error,
// explicit, erase, randomize) are ordinary names.
constexpr std::array<std::string_view, 67> ReservedWords{{
    "as",         "boolean",  "byref",    "byte",   "byval",      "call",   "case",
    "class",      "const",    "currency", "debug",  "dim",        "do",     "double",
    "each",       "else",     "elseif",   "end",    "endif",      "enum",   "event",
    "exit",       "for",      "function", "get",    "goto",       "if",     "implements",
    "in",         "integer",  "is",       "let",    "like",       "long",   "loop",
    "lset",       "me",       "new",      "next",   "on",         "option", "optional",
    "paramarray", "preserve", "private",  "public", "raiseevent", "redim",  "rem",
    "resume",     "rset",     "select",   "set",    "shared",     "single", "static",
    "stop",       "sub",      "then",     "to",     "type",       "typeof", "until",
    "variant",    "wend",     "while",    "with",
}};

// In order, for a binary search: every name a statement or expression reads is looked up.
static_assert(std::is_sorted(ReservedWords.begin(), ReservedWords.end()));

// For each first letter, the lengths (as bits) of the keywords that start with it. Most names
// are no keyword, and this tells so without comparing any text.
constexpr auto KeywordShapes = [] {
    std::array<std::uint16_t, 26> shapes{};
    const auto add = [&](std::string_view word) {
        shapes[static_cast<std::size_t>(word[0] - 'a')] |=
            static_cast<std::uint16_t>(1u << word.size());
    };
    for (const Keyword& keyword : Operators) {
        add(keyword.word);
    }
    for (const std::string_view word : ReservedWords) {
        add(word);
    }
    return shapes;
}();

bool MayBeKeyword(std::string_view lowerCaseName) {
    const char first = lowerCaseName.empty() ? '\0' : lowerCaseName[0];
    return first >= 'a' && first <= 'z' && lowerCaseName.size() < 16 &&
           (KeywordShapes[static_cast<std::size_t>(first - 'a')] >> lowerCaseName.size() & 1u) != 0;
}

} // namespace

Token Lexer::ReadName() {
    Token token;
    token.position = m_pos;
    std::size_t end = m_pos;
    while (end < m_text.size() &&
           (IsLetter(m_text[end]) || IsDigit(m_text[end]) || m_text[end] == '_')) {
        ++end;
    }
    const std::size_t length = end - m_pos;
    if (length > MaxNameLength) {
        token.kind = TokenKind::Invalid;
        m_pos = end;
        return token;
    }
    token.name.resize(length);
    for (std::size_t i = 0; i < length; ++i) {
        token.name[i] = Lower(m_text[m_pos + i]);
    }
    m_pos = end;
    token.kind = TokenKind::Name;
    if (!MayBeKeyword(token.name)) {
        return token;
    }
    for (const Keyword& keyword : Operators) {
        if (token.name == keyword.word) {
            token.kind = keyword.kind;
            return token;
        }
    }
    if (token.name == "rem") {
        // The other way to start a comment, as a word of its own.
        m_pos = m_text.size();
        token.kind = TokenKind::End;
        token.name.clear();
    } else if (std::binary_search(ReservedWords.begin(), ReservedWords.end(), token.name)) {
        token.kind = TokenKind::Reserved;
    }
    return token;
}

// A hexadecimal or octal literal is a bit pattern: up to 16 bits it is an Integer (&hFFFF is
// -1), up to 32 bits a Long (&hFFFFFFFF is -1); more is an error. An & straight after the
// digits makes it a Long whatever its size (&hFFFF& is 65535): it belongs to the literal, so
// "&h10&x" is a mistake, and joining needs a blank as in "&h10 & x".
Token Lexer::ReadRadixNumber() {
    Token token;
    token.position = m_pos;
    std::size_t i = m_pos + 1;
    unsigned base = 8;
    if (m_text[i] == 'h' || m_text[i] == 'H') {
        base = 16;
        ++i;
    } else if (m_text[i] == 'o' || m_text[i] == 'O') {
        ++i;
    }
    std::uint64_t value = 0;
    bool tooLarge = false;
    const std::size_t start = i;
    for (; i < m_text.size(); ++i) {
        const char c = m_text[i];
        unsigned digit = 0;
        if (IsDigit(c)) {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && IsHexDigit(c)) {
            digit = static_cast<unsigned>(Lower(c) - 'a' + 10);
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
        tooLarge = tooLarge || value > 0xFFFFFFFFu;
    }
    const bool isLong = i > start && i < m_text.size() && m_text[i] == '&';
    m_pos = isLong ? i + 1 : i;
    const bool glued =
        m_pos < m_text.size() && (IsLetter(m_text[m_pos]) || IsDigit(m_text[m_pos]) ||
                                  m_text[m_pos] == '.' || m_text[m_pos] == '_');
    if (i == start || tooLarge || glued) {
        token.kind = TokenKind::Invalid;
        return token;
    }
    token.kind = TokenKind::Number;
    if (value <= 0xFFFF && !isLong) {
        token.literal = Value::MakeInteger(static_cast<std::int16_t>(value));
    } else {
        token.literal =
            Value::MakeLong(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    }
    return token;
}

// #1/31/2011#, #2011/1/31 13:45#: a Date, month before day whatever the locale.
Token Lexer::ReadDate() {
    Token token;
    token.position = m_pos;
    const std::size_t close = m_text.find('#', m_pos + 1);
    double serial = 0.0;
    if (close == std::string_view::npos ||
        !ParseDateText(m_text.substr(m_pos + 1, close - m_pos - 1), serial, true)) {
        token.kind = TokenKind::Invalid;
        m_pos = close == std::string_view::npos ? m_text.size() : close + 1;
        return token;
    }
    m_pos = close + 1;
    token.kind = TokenKind::Number;
    token.literal = Value::MakeDate(serial);
    return token;
}

} // namespace script
