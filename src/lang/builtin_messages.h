// The built-in message texts (UTF-8), indexed as the rest of the program cites them.
#pragma once

#include <array>

namespace vorn::lang {

inline constexpr int kMessageCount = 142;
extern const std::array<const char*, kMessageCount> kBuiltinMessages;

// Texts this program adds after the fixed table (failures the table has no words for);
// they follow it at indices 142.. and are translated like the others.
inline constexpr int kMsgWriteFailed = 142; // "Не вдалося записати файл %s."
inline constexpr int kMsgNoOpenGL = 143;    // the half-tone picture cannot get an OpenGL context
inline constexpr int kMsgNotRebuilt = 144;  // surfaces kept unbuilt by a load, named by %s
inline constexpr int kExtraMessageCount = 3;
extern const std::array<const char*, kExtraMessageCount> kExtraMessages;
inline constexpr int kAllMessageCount = kMessageCount + kExtraMessageCount;

} // namespace vorn::lang
