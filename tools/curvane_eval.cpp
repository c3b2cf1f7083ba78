// Reads lines "X<TAB>EXPRESSION" from standard input and prints, for each, the value the
// plotter computes for that expression at x (the shortest decimal text that reads back as the
// same double), or "ERROR<TAB>" and the reason. One evaluator serves all lines, so a variable
// assigned by one expression's evaluation is seen by the next.

#include "graph/graphsettings.h"
#include "plot/evaluate.h"

#include <array>
#include <charconv>
#include <iostream>
#include <string>

namespace {

bool ReadX(std::string_view text, double& x) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), x);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

int main() {
    std::ios::sync_with_stdio(false);
    ScriptEvaluator evaluator;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t tab = line.find('\t');
        double x = 0.0;
        if (tab == std::string::npos || !ReadX(std::string_view(line).substr(0, tab), x)) {
            std::cout << "ERROR\tInvalid input line\n";
            continue;
        }
        ScriptError error;
        const std::optional<double> y =
            EvaluateExpression(evaluator, Pi, x, std::string_view(line).substr(tab + 1), &error);
        if (!y) {
            std::cout << "ERROR\t" << DescribeWithHint(error) << '\n';
            continue;
        }
        std::array<char, 64> buffer{};
        const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *y);
        std::cout << std::string_view(buffer.data(), written.ptr) << '\n';
    }
    return 0;
}
