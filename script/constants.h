#pragma once

#include "script/value.h"

#include <string_view>

namespace script {

// The language's named constants (vbRed, vbCrLf, vbSunday ...) by lower-case name, or null for
// any other name. They read as their values and cannot be assigned.
const Value* FindConstant(std::string_view name);

} // namespace script
