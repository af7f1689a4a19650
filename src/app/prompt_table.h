// The picking prompts and the wrong-kind text: copies of messages refreshed with the language.
#pragma once

#include "lang/message_table.h"

#include <array>
#include <string>

namespace vorn::app {

inline constexpr int kPromptCount = 11;
inline constexpr std::size_t kPromptMaxChars = 40;

struct PromptTable {
    PromptTable() { refresh(lang::MessageTable{}); }

    // Entry 0 is empty; entries 1..10 are messages 70..79.
    std::array<std::string, kPromptCount> prompts;
    // Message 80 and one blank, followed by the kind the picked object should have had.
    std::string needTypeText;

    void refresh(const lang::MessageTable& messages);
};

} // namespace vorn::app
