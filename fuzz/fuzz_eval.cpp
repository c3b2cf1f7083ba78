// libFuzzer target: every line of the input is run as a statement and evaluated as an
// expression on one evaluator, so variables, the program cache and stale programs all get
// exercised. Anything but a clean result or error (crash, sanitizer report, exception,
// disagreement between a first and a cached evaluation, or between the plain-number code and
// the general code) is a finding.

#include "script/scriptevaluator.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// rnd and the clock functions give another value at every call, so two evaluations of a line
// naming one of them need not agree.
bool MentionsChangingValue(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t end = i;
        std::string word;
        while (end < line.size() && ((line[end] | 0x20) >= 'a' && (line[end] | 0x20) <= 'z')) {
            word.push_back(static_cast<char>(line[end] | 0x20));
            ++end;
        }
        if (word == "rnd" || word == "now" || word == "date" || word == "time" || word == "timer") {
            return true;
        }
        i = end == i ? i + 1 : end;
    }
    return false;
}

// EvalNumber against the general code's value taken as a plot number, for x of every kind.
void CheckNumeric(ScriptEvaluator& evaluator, std::string_view line) {
    const ScriptEvaluator::VariableSlot x = evaluator.FindOrAddVariable("x");
    ScriptEvaluator::Prepared prepared = evaluator.Prepare(line);
    for (const double value : {0.0, 1.0, -1.0, 0.5, -2.5, 32768.0, 2147483648.0, 1e300, 7e-310}) {
        evaluator.SetVariable(x, value);
        const script::Value* general = nullptr;
        ScriptError generalError;
        bool generalOk = evaluator.EvalInPlace(prepared, general, generalError);
        double generalNumber = 0.0;
        if (generalOk) {
            const std::optional<double> number = ToPlotNumber(*general);
            generalOk = number.has_value();
            generalNumber = number.value_or(0.0);
            generalError.code =
                general->Is(script::Kind::Null)      ? script::ErrorCode::InvalidUseOfNull
                : general->Is(script::Kind::Nothing) ? script::ErrorCode::ObjectVariableNotSet
                                                     : script::ErrorCode::TypeMismatch;
            generalError.description = script::Describe(generalError.code);
            generalError.position.reset();
        }
        double number = 0.0;
        ScriptError error;
        const bool ok = evaluator.EvalNumber(prepared, number, error);
        const bool same =
            ok == generalOk &&
            (ok ? std::bit_cast<std::uint64_t>(number) ==
                      std::bit_cast<std::uint64_t>(generalNumber)
                : error.code == generalError.code && error.position == generalError.position &&
                      error.description == generalError.description);
        if (!same) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScriptEvaluator evaluator;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);

        evaluator.ExecuteStatement(line);
        const ScriptResult first = evaluator.Eval(line);
        const ScriptResult cached = evaluator.Eval(line);
        const bool random = MentionsChangingValue(line);
        if (!random && (first.Ok() != cached.Ok() ||
                        first.GetValue().GetKind() != cached.GetValue().GetKind() ||
                        first.Error().code != cached.Error().code)) {
            std::abort();
        }
        if (!random) {
            CheckNumeric(evaluator, line);
        }
        evaluator.SetVariable(line, static_cast<double>(size));
    }
    return 0;
}
