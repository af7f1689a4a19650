// Refreshing the prompt copies from the message table.
#include "app/prompt_table.h"

#include "lang/cp1251.h"

namespace vorn::app {

void PromptTable::refresh(const lang::MessageTable& messages) {
    prompts[0].clear();
    for (int i = 1; i < kPromptCount; ++i)
        prompts[static_cast<std::size_t>(i)] =
            lang::utf8Truncate(messages.text(69 + i), kPromptMaxChars);
    needTypeText = messages.text(80) + " ";
}

} // namespace vorn::app
