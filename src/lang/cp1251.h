// Conversion between UTF-8 (inside the program) and code page 1251 (scene records, .lng, .ini).
#pragma once

#include <string>
#include <string_view>

namespace vorn::lang {

// Every cp1251 byte maps to one character; the unassigned byte 0x98 becomes U+FFFD.
std::string cp1251ToUtf8(std::string_view bytes);

// Characters cp1251 cannot hold, and malformed UTF-8 sequences, become '?'.
std::string utf8ToCp1251(std::string_view text);

// Cuts UTF-8 text to at most `maxChars` characters, never inside a character.
std::string utf8Truncate(std::string_view text, std::size_t maxChars);

// Number of characters (code points) of UTF-8 text.
std::size_t utf8Length(std::string_view text);

} // namespace vorn::lang
