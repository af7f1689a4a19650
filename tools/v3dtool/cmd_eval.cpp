// v3dtool eval: evaluates an expression or tests a system of relations at given variables.
#include "core/format.h"
#include "expr/expression_engine.h"
#include "v3dtool/commands.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace vorn::tool {

namespace {

// "-1.5", "2", ".5": an optional sign, digits and at most one point; no exponent, no "inf".
std::optional<long double> parseDecimal(std::string_view text) {
    std::size_t start = 0;
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        start = 1;
    }
    const std::string_view body = text.substr(start);
    bool digit = false;
    int points = 0;
    for (const char c : body) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (!digit || points > 1) return std::nullopt;
    long double value = 0;
    const auto res =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != body.data() + body.size()) return std::nullopt;
    return negative ? -value : value;
}

// "X=v" with a letter from `letters` (either case).
std::optional<std::pair<char, long double>> parseAssignment(std::string_view arg,
                                                            std::string_view letters) {
    if (arg.size() < 3 || arg[1] != '=') return std::nullopt;
    char letter = arg[0];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letters.find(letter) == std::string_view::npos) return std::nullopt;
    const auto value = parseDecimal(arg.substr(2));
    if (!value) return std::nullopt;
    return std::make_pair(letter, *value);
}

} // namespace

const CommandHelp kEvalHelp = {
    .summary = "the value of an expression, or whether a system of relations holds",
    .usage = "v3dtool eval TEXT [X=v] [Y=v] [Z=v] [T=v]\n"
             "v3dtool eval --system TEXT [X=v] [Y=v]",
    .details =
        "TEXT is written in the program's expression language. Each X=v writes the decimal number "
        "v\n"
        "(\"-1.5\", \"2\", \".5\"; no exponent) into the text for that variable, as the program "
        "does.\n"
        "Prints the value with full precision and the error code: 0 none, 1..4 a malformed text,\n"
        "-1 or -2 no value at this point (the value is then 0).\n"
        "  --system  TEXT is a system of relations in X and Y (items separated by commas); prints\n"
        "            true or false and the error code\n",
};

int runEval(const Args& args, std::ostream& out, std::ostream& err) {
    std::size_t next = 0;
    const bool system = !args.empty() && args[0] == "--system";
    if (system) ++next;
    if (next >= args.size()) {
        err << "eval: missing expression text\n";
        PrintUsage(err, kEvalHelp);
        return 2;
    }
    std::string text = args[next++];
    const std::string_view letters = system ? "XY" : "XYZT";
    std::vector<std::pair<char, long double>> assignments;
    for (; next < args.size(); ++next) {
        const auto assignment = parseAssignment(args[next], letters);
        if (!assignment) {
            err << "eval: expected " << (system ? "X=v or Y=v" : "X=v, Y=v, Z=v or T=v")
                << " with a decimal number v, got \"" << args[next] << "\"\n";
            return 2;
        }
        assignments.push_back(*assignment);
    }
    for (const auto& [letter, value] : assignments)
        text = expr::ExpressionEngine::SubstituteVariable(text, letter, value);

    expr::ExpressionEngine engine;
    if (system) {
        const bool inside = engine.EvaluateSystem(text);
        out << (inside ? "true" : "false") << ' ' << engine.CalcError << '\n';
    } else {
        const long double value = engine.EvaluateExpression(text);
        out << core::FormatNumber(true, value) << ' ' << engine.CalcError << '\n';
    }
    return 0;
}

} // namespace vorn::tool
