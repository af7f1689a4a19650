// Settings helpers.
#include "core/settings.h"

#include "core/scene_object.h"

namespace vorn::core {

const std::array<const char*, kColorRoleCount> kColorRoleNames = {
    "Фон області зображення",
    "Осі",
    "Написи (номери вершин, назви осей)",
    "Вузли",
    "Активна ділянка",
    "Відмічені грані",
    "Вибрані елементи при вимірюванні",
    "Проекції на координатні площини",
};

unsigned Settings::colorRgb(ColorRole role) const {
    const int i = colors[static_cast<std::size_t>(role)];
    return kPalette[static_cast<std::size_t>(i >= 0 && i < static_cast<int>(kPalette.size()) ? i
                                                                                             : 0)];
}

} // namespace vorn::core
