// Message table storage and "%s" substitution.
#include "lang/message_table.h"

namespace vorn::lang {

namespace {
constexpr std::array<const char*, kButtonCount> kBuiltinButtons = {
    "Так",    "Ні",  "Згода",   "Скасувати", "Стоп", "Повторити",
    "Ignore", "All", "NoToAll", "YesToAll",  "Help"};
// Warning, error, information, confirmation, custom (empty: the program's title).
constexpr std::array<const char*, kCaptionCount> kBuiltinCaptions = {
    "Попередження", "Помилка", "Інформація", "Підтвердження", ""};
const std::string kEmpty;
} // namespace

MessageTable::MessageTable() {
    restoreBuiltins();
}

void MessageTable::restoreBuiltins() {
    for (int i = 0; i < kMessageCount; ++i)
        m_texts[static_cast<std::size_t>(i)] = kBuiltinMessages[static_cast<std::size_t>(i)];
    for (int i = 0; i < kExtraMessageCount; ++i)
        m_texts[static_cast<std::size_t>(kMessageCount + i)] =
            kExtraMessages[static_cast<std::size_t>(i)];
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[static_cast<std::size_t>(i)] = kBuiltinButtons[static_cast<std::size_t>(i)];
    for (int i = 0; i < kCaptionCount; ++i)
        m_captions[static_cast<std::size_t>(i)] = kBuiltinCaptions[static_cast<std::size_t>(i)];
}

const std::string& MessageTable::text(int index) const {
    if (index < 0 || index >= kAllMessageCount) return kEmpty;
    return m_texts[static_cast<std::size_t>(index)];
}

void MessageTable::setText(int index, std::string value) {
    if (index < 0 || index >= kAllMessageCount) return;
    m_texts[static_cast<std::size_t>(index)] = std::move(value);
}

std::string MessageTable::format(int index, std::initializer_list<std::string_view> args) const {
    return substitute(text(index), args);
}

std::string substitute(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto arg = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' &&
            arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace vorn::lang
