#pragma once

// Helpers shared by the code that computes on values: the general operators and functions, the
// evaluation loop and the numeric code.

#include "platform/script/value.h"

namespace script {

// Sets of kinds as bit masks, so that one test covers both operands or several kinds.
constexpr unsigned KindBit(Kind kind) {
    return 1u << static_cast<unsigned>(kind);
}
// Integer, Long and Double.
inline constexpr unsigned NumberKindBits =
    KindBit(Kind::Integer) | KindBit(Kind::Long) | KindBit(Kind::Double);
// The kinds of IsNumericKind.
inline constexpr unsigned NumericKindBits =
    NumberKindBits | KindBit(Kind::Empty) | KindBit(Kind::Boolean);

} // namespace script
