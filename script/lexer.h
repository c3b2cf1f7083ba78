#pragma once

#include "script/value.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace script {

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
