// libFuzzer target: every line of the input is run as a statement and evaluated as an
// expression on one evaluator, so variables, the program cache and stale programs all get
// exercised. Anything but a clean result or error (crash, sanitizer report, exception,
// disagreement between a first and a cached evaluation) is a finding.

#include "platform/script/scriptevaluator.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

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
        if (line.find("rnd") == std::string_view::npos &&
            line.find("RND") == std::string_view::npos &&
            (first.Ok() != cached.Ok() ||
             first.GetValue().GetKind() != cached.GetValue().GetKind() ||
             first.Error().code != cached.Error().code)) {
            std::abort();
        }
        evaluator.SetVariable(line, static_cast<double>(size));
    }
    return 0;
}
