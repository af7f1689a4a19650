// Refreshing the prompt copies from the message table.
#include "app/prompt_table.h"

#include "lang/cp1251.h"
#include "lang/message_ids.h"

namespace vorn::app {

void PromptTable::refresh(const lang::MessageTable& messages) {
    prompts[0].clear();
    for (int i = 1; i < kPromptCount; ++i)
        prompts[static_cast<std::size_t>(i)] =
            lang::utf8Truncate(messages.text(lang::msg::kNoPrompt + i), kPromptMaxChars);
    needTypeText = messages.text(lang::msg::kNeedObjectOfKind) + " ";
}

} // namespace vorn::app
