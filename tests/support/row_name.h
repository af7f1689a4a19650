// Names of the rows of parameterised tables: the row's index and an ASCII label.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::test {

// "3_sin_x" for row 3 labelled "sin x": the label's ASCII letters and digits, each run of
// anything else one '_', cut at 40 characters. The index keeps rows with equal labels apart,
// and the name is a valid test name whatever bytes the row holds.
inline std::string RowName(std::size_t index, std::string_view label) {
    std::string name = std::to_string(index);
    const std::size_t limit = name.size() + 40;
    bool gap = true;
    for (const char c : label) {
        if (name.size() >= limit) break;
        const bool keep =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!keep) {
            gap = true;
            continue;
        }
        if (gap) name += '_';
        name += c;
        gap = false;
    }
    return name;
}

// The same for a label of several parts: a field and its text, the words of a command line.
inline std::string RowName(std::size_t index, std::initializer_list<std::string_view> parts) {
    std::string label;
    for (const std::string_view part : parts)
        label.append(part).push_back(' ');
    return RowName(index, std::string_view(label));
}

inline std::string RowName(std::size_t index, const std::vector<std::string>& parts) {
    std::string label;
    for (const std::string& part : parts)
        label.append(part).push_back(' ');
    return RowName(index, std::string_view(label));
}

} // namespace vorn::test
