// The built-in message texts (UTF-8), indexed as the rest of the program cites them.
#pragma once

#include <array>

namespace vorn::lang {

inline constexpr int kMessageCount = 142;
extern const std::array<const char*, kMessageCount> kBuiltinMessages;

// Texts this program adds after the fixed table (failures the table has no words for);
// they follow it at indices 142.. and are translated like the others. Each one needs an id in
// lang/message_ids.h.
inline constexpr int kExtraMessageCount = 33;
extern const std::array<const char*, kExtraMessageCount> kExtraMessages;
inline constexpr int kAllMessageCount = kMessageCount + kExtraMessageCount;

} // namespace vorn::lang
