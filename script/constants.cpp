#include "script/constants.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace script {

namespace {

struct NumberConstant {
    std::string_view name;
    std::int32_t value;
};

// The colours, r + 256 g + 65536 b, are Longs as rgb's results are, vbBlack and vbRed too.
constexpr std::array<NumberConstant, 8> Colours{{
    {"vbblack", 0x000000},
    {"vbred", 0x0000FF},
    {"vbgreen", 0x00FF00},
    {"vbyellow", 0x00FFFF},
    {"vbblue", 0xFF0000},
    {"vbmagenta", 0xFF00FF},
    {"vbcyan", 0xFFFF00},
    {"vbwhite", 0xFFFFFF},
}};

// The other numeric constants are Integers, but for those beyond an Integer's range (the
// message box flags of 65536 and above, vbObjectError), which are Longs.
constexpr std::array<NumberConstant, 66> Numbers{{
    // Tristate
    {"vbtrue", -1},
    {"vbfalse", 0},
    {"vbusedefault", -2},
    // comparison
    {"vbbinarycompare", 0},
    {"vbtextcompare", 1},
    // days of the week and the first week of a year
    {"vbsunday", 1},
    {"vbmonday", 2},
    {"vbtuesday", 3},
    {"vbwednesday", 4},
    {"vbthursday", 5},
    {"vbfriday", 6},
    {"vbsaturday", 7},
    {"vbusesystemdayofweek", 0},
    {"vbusesystem", 0},
    {"vbfirstjan1", 1},
    {"vbfirstfourdays", 2},
    {"vbfirstfullweek", 3},
    // date formats
    {"vbgeneraldate", 0},
    {"vblongdate", 1},
    {"vbshortdate", 2},
    {"vblongtime", 3},
    {"vbshorttime", 4},
    // message box buttons, icons, defaults, modality and answers
    {"vbokonly", 0},
    {"vbokcancel", 1},
    {"vbabortretryignore", 2},
    {"vbyesnocancel", 3},
    {"vbyesno", 4},
    {"vbretrycancel", 5},
    {"vbcritical", 16},
    {"vbquestion", 32},
    {"vbexclamation", 48},
    {"vbinformation", 64},
    {"vbdefaultbutton1", 0},
    {"vbdefaultbutton2", 256},
    {"vbdefaultbutton3", 512},
    {"vbdefaultbutton4", 768},
    {"vbapplicationmodal", 0},
    {"vbsystemmodal", 4096},
    {"vbmsgboxhelpbutton", 16384},
    {"vbmsgboxsetforeground", 65536},
    {"vbmsgboxright", 524288},
    {"vbmsgboxrtlreading", 1048576},
    {"vbok", 1},
    {"vbcancel", 2},
    {"vbabort", 3},
    {"vbretry", 4},
    {"vbignore", 5},
    {"vbyes", 6},
    {"vbno", 7},
    // variant types
    {"vbempty", 0},
    {"vbnull", 1},
    {"vbinteger", 2},
    {"vblong", 3},
    {"vbsingle", 4},
    {"vbdouble", 5},
    {"vbcurrency", 6},
    {"vbdate", 7},
    {"vbstring", 8},
    {"vbobject", 9},
    {"vberror", 10},
    {"vbboolean", 11},
    {"vbvariant", 12},
    {"vbdataobject", 13},
    {"vbbyte", 17},
    {"vbarray", 8192},
    // the first number of an object's own errors
    {"vbobjecterror", -2147221504},
}};

struct TextConstant {
    std::string_view name;
    std::string_view text;
};

constexpr std::array<TextConstant, 10> Texts{{
    {"vbcr", "\r"},
    {"vblf", "\n"},
    {"vbcrlf", "\r\n"},
    {"vbnewline", "\r\n"},
    {"vbtab", "\t"},
    {"vbnullstring", ""},
    {"vbnullchar", std::string_view("\0", 1)},
    {"vbformfeed", "\f"},
    {"vbverticaltab", "\v"},
    {"vbback", "\b"},
}};

std::vector<std::pair<std::string_view, Value>> MakeValues() {
    std::vector<std::pair<std::string_view, Value>> values;
    for (const NumberConstant& constant : Colours) {
        values.emplace_back(constant.name, Value::MakeLong(constant.value));
    }
    for (const NumberConstant& constant : Numbers) {
        const bool fits = constant.value >= -32768 && constant.value <= 32767;
        values.emplace_back(constant.name, fits ? Value::MakeInteger(constant.value)
                                                : Value::MakeLong(constant.value));
    }
    for (const TextConstant& constant : Texts) {
        values.emplace_back(constant.name, Value::MakeString(std::string(constant.text)));
    }
    return values;
}

} // namespace

const Value* FindConstant(std::string_view name) {
    // Every constant starts with "vb": other names are turned away at once.
    if (name.size() < 4 || name[0] != 'v' || name[1] != 'b') {
        return nullptr;
    }
    static const std::vector<std::pair<std::string_view, Value>> values = MakeValues();
    const auto found = std::find_if(values.begin(), values.end(),
                                    [&](const auto& entry) { return entry.first == name; });
    return found == values.end() ? nullptr : &found->second;
}

} // namespace script
