#pragma once

#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <string>
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

enum class TokenKind : std::uint8_t {
    End,
    Number,
    String,
    Name,
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Ampersand,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    LeftParen,
    RightParen,
    Comma,
    Mod,
    Not,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    True,
    False,
    EmptyWord,
    NullWord,
    NothingWord,
    // A reserved word of the language that is neither an operator nor a literal: never a name.
    Reserved,
    Invalid,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::size_t position = 0;
    // Number and String tokens.
    Value literal;
    // Name and Reserved tokens, in lower case: names are case-insensitive.
    std::string name;
};

// Longest name accepted; longer ones are rejected rather than stored.
inline constexpr std::size_t MaxNameLength = 255;

class Lexer {
public:
    explicit Lexer(std::string_view text) : m_text(text) {}
    // The next token; Invalid for a character or literal that cannot start or form one.
    Token Next();

private:
    void SkipBlanks();
    Token ReadNumber();
    Token ReadString();
    Token ReadName();
    // &hFF, &o17 and &17; # date #.
    Token ReadRadixNumber();
    Token ReadDate();

    std::string_view m_text;
    std::size_t m_pos = 0;
};

} // namespace script
