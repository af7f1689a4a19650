// FormatNumber: round to p significant digits, then fixed or scientific notation; the shortest
// text of a float.
#include "core/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vorn::core {

namespace {

constexpr int kFullDigits = 15;

// `value` rounded to `p` significant digits; fixed notation while E lies in -3..fixedUpTo.
std::string WriteNumber(long double value, int p, int fixedUpTo) {
    if (value == 0) return "0";
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

    // "%Le" rounds to nearest and gives d.ddd...e±x.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", p - 1, fabsl(value));
    std::string digits;
    const char* s = buf;
    for (; *s && *s != 'e'; ++s)
        if (*s >= '0' && *s <= '9') digits += *s;
    const int e10 = (*s == 'e') ? std::atoi(s + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int E = e10 + 1; // value = 0.D x 10^E
    const int k = static_cast<int>(digits.size());

    std::string out = value < 0 ? "-" : "";
    if (E >= -3 && E <= fixedUpTo) {
        if (E >= 1) {
            if (k <= E) {
                out += digits;
                out.append(static_cast<std::size_t>(E - k), '0');
            } else {
                out += digits.substr(0, static_cast<std::size_t>(E));
                out += '.';
                out += digits.substr(static_cast<std::size_t>(E));
            }
        } else {
            out += "0.";
            out.append(static_cast<std::size_t>(-E), '0');
            out += digits;
        }
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        if (E - 1 < 0) out += '-';
        out += std::to_string(std::abs(E - 1));
    }
    return out;
}

} // namespace

std::string FormatNumber(bool fullPrecision, long double value, int answerDigits) {
    const int p = std::clamp(fullPrecision ? kFullDigits : answerDigits, 2, 18);
    return WriteNumber(value, p, p);
}

std::string ShortestFloatText(float value) {
    if (!std::isfinite(value)) return FormatNumber(true, value);
    // Nine significant digits tell every float apart; the loop ends there at the latest.
    std::string text;
    for (int p = 1; p <= 9; ++p) {
        text = WriteNumber(value, p, kFullDigits);
        // from_chars, unlike strtod, ignores the locale's decimal separator.
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (static_cast<float>(back) == value) break;
    }
    return text;
}

std::string AnswerNumbers::operator()(long double value) {
    m_finite = m_finite && std::isfinite(value);
    return FormatNumber(false, value, m_digits);
}

} // namespace vorn::core
