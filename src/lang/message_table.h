// The message table, message-box captions and button texts; replaceable from a language file.
#pragma once

#include "lang/builtin_messages.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vorn::lang {

inline constexpr int kButtonCount = 11; // Button0..Button10
inline constexpr int kCaptionCount = 5; // Caption0..Caption4

class MessageTable {
  public:
    MessageTable();

    // Text of message `index`; empty for an index outside the table.
    const std::string& text(int index) const;
    void setText(int index, std::string value);

    // Message `index` with each "%s" replaced in turn by the next argument.
    std::string format(int index, std::initializer_list<std::string_view> args) const;

    const std::string& button(int i) const { return m_buttons.at(static_cast<std::size_t>(i)); }
    void setButton(int i, std::string v) {
        m_buttons.at(static_cast<std::size_t>(i)) = std::move(v);
    }
    const std::string& caption(int i) const { return m_captions.at(static_cast<std::size_t>(i)); }
    void setCaption(int i, std::string v) {
        m_captions.at(static_cast<std::size_t>(i)) = std::move(v);
    }

    void restoreBuiltins();

  private:
    std::array<std::string, kAllMessageCount> m_texts;
    std::array<std::string, kButtonCount> m_buttons;
    std::array<std::string, kCaptionCount> m_captions;
};

// Plain "%s" substitution, left to right; surplus "%s" stay as they are.
std::string substitute(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace vorn::lang
