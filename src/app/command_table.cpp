// The rows of the command table: names, captions, shortcuts, hints and tool bars.
#include "app/command_table.h"

#include <cstring>

namespace vorn::app {

namespace {

constexpr MenuInfo kMenus[] = {
    {"File", "m_File", "&Файл", nullptr},
    {"Object", "m_Object", "&Об'єкт", nullptr},
    {"Create", "m_Create", "Створити", "Object"},
    {"CreateScr", "m_CreateScr", "Створити з екрану", "Object"},
    {"Calc", "m_Calc", "Об&числення", nullptr},
    {"Angle", "m_Angle", "Кут", "Calc"},
    {"Distance", "m_Distance", "Відстань", "Calc"},
    {"Poly", "m_Poly", "Многогранник...", "Calc"},
    {"Surf", "m_Surf", "Поверхня...", "Calc"},
    {"Oper", "m_Oper", "Оп&ерації", nullptr},
    {"View", "m_View", "&Зображення", nullptr},
    {"Axes", "m_AxesPos", "Положення координатних осей", "View"},
    {"Hidden", "m_HiddenLines", "Невидимі лінії", "View"},
    {"Setup", "m_Setup", "&Налагодження", nullptr},
    {"ToolBars", "m_ToolBars", "Панель інструментів", "Setup"},
    {"Help", "m_Help", "&Допомога", nullptr},
};

using H = Handler;
using B = Bar;

// tag, name, caption, menu, shortcut, hint, handler, bar, ready, checkable, creates
constexpr CommandInfo kCommands[] = {
    {1, "NewFile", "&Новий", "File", "", "Новий набір об'єктів", H::Main, B::Disk, true, false,
     false},
    {2, "LoadFile", "&Завантажити", "File", "F3", "Завантажити об'єкти з файлу", H::Main, B::Disk,
     true, false, false},
    {5, "LoadSel", "Завантажити &вибірково...", "File", "Alt+F3",
     "Завантажити вибрані об'єкти з файлу", H::Main, B::None, true, false, false},
    {3, "SaveFile", "Зберегти", "File", "F2", "Зберегти об'єкти у файлі", H::Main, B::Disk, true,
     false, false},
    {4, "SaveAs", "Зберегти як...", "File", "", "Зберегти об'єкти у файлі з новою назвою", H::Main,
     B::None, true, false, false},
    {46, "ExportPicture", "&Експортувати зображення…", "File", "Ctrl+E",
     "Зберегти зображення у файлі PNG, SVG, PDF або TikZ", H::Main, B::None, true, false, false},
    {47, "Print", "&Друк…", "File", "Ctrl+P", "Надрукувати зображення і, за бажанням, звіт",
     H::Main, B::None, true, false, false},
    {0, "Exit", "Ви&хід", "File", "Alt+X", "Завершити роботу з програмою", H::Main, B::None, true,
     false, false},

    {10, "StandObj", "Створити базовий об'єкт", "Object", "",
     "Створити піраміду, призму, куб, конус, циліндр або кулю", H::Main, B::Objs, true, false,
     true},
    {110, "CrPoint", "Точка", "Create", "", "Створити точку", H::Main, B::Objs, true, false, true},
    {111, "CrPolyline", "Ламана", "Create", "", "Створити ламану", H::Main, B::Objs, true, false,
     true},
    {112, "CrPlane", "Площина", "Create", "", "Створити площину", H::Main, B::Objs, true, false,
     true},
    {113, "CrPolyhedron", "Многогранник", "Create", "", "Створити многогранник", H::Main, B::Objs,
     true, false, true},
    {114, "CrSurface", "Поверхня", "Create", "", "Створити поверхню z = f(x, y)", H::Main, B::Objs,
     true, false, true},
    {115, "CrRevolution", "Поверхня обертання", "Create", "", "Створити поверхню обертання",
     H::Main, B::Objs, true, false, true},
    {1101, "ScrPoint", "Точка", "CreateScr", "", "Створити точку на зображенні", H::Main, B::Objs,
     true, true, true},
    {1102, "ScrPolyline", "Ламана", "CreateScr", "", "Створити ламану на зображенні", H::Main,
     B::Objs, true, true, true},
    {1103, "ScrPlane", "Площина", "CreateScr", "", "Створити площину на зображенні", H::Main,
     B::Objs, true, true, true},
    {12, "Edit", "З&мінити", "Object", "F5", "Змінити вибраний об'єкт", H::Main, B::Objs, true,
     false, false},
    {13, "Delete", "&Вилучити", "Object", "F8", "Вилучити вибраний об'єкт", H::Main, B::Objs, true,
     false, false},
    {1301, "Undo", "Скасувати", "Object", "Ctrl+Z", "Скасувати останню зміну об'єктів", H::Main,
     B::Objs, true, false, false},
    {1302, "Redo", "Повторити", "Object", "Ctrl+Y", "Повторити скасовану зміну об'єктів", H::Main,
     B::Objs, true, false, false},
    {1234, "Cancel", "Припинити виконання операції", "Object", "Esc",
     "Припинити виконання операції", H::Main, B::Disk, true, false, false},

    {21, "Ugol3p", "за трьома точками", "Angle", "Alt+1", "Кут за трьома точками", H::Main, B::Calc,
     true, true, false},
    {22, "UgolLPL", "між прямою і площиною", "Angle", "Alt+2", "Кут між прямою і площиною", H::Main,
     B::Calc, true, true, false},
    {23, "Ugol2PL", "між двома площинами", "Angle", "Alt+3", "Кут між двома площинами", H::Main,
     B::Calc, true, true, false},
    {24, "Distance2P", "між двома точками ", "Distance", "Ctrl+1", "Відстань між двома точками",
     H::Main, B::Calc, true, true, false},
    {25, "DistancePL", "між точкою і прямою", "Distance", "Ctrl+2", "Відстань між точкою і прямою",
     H::Main, B::Calc, true, true, false},
    {26, "DistancePPL", "між точкою і площиною", "Distance", "Ctrl+3",
     "Відстань між точкою і площиною", H::Main, B::Calc, true, true, false},
    {27, "Distance2L", "між двома прямими", "Distance", "Ctrl+4", "Відстань між двома прямими",
     H::Main, B::Calc, true, true, false},
    {28, "DistanceLPL", "між прямою і площиною", "Distance", "Ctrl+5",
     "Відстань між прямою і площиною", H::Main, B::Calc, true, true, false},
    {30, "Sides", "&Площі та периметри граней", "Poly", "",
     "Площі та периметри граней многогранника", H::Main, B::Calc, true, false, false},
    {292, "FuncValue", "Значення функції в точці", "Surf", "", "Значення функції поверхні в точці",
     H::Main, B::None, true, false, true},
    {31, "Calculator", "Значення &виразу", "Calc", "F11", "Обчислення значення функції в точці",
     H::Main, B::Calc, true, false, false},
    {32, "Integral", "Інтеграл вздовж контура", "Calc", "", "Обчислити інтеграл вздовж контура",
     H::Main, B::None, true, false, false},
    {33, "DoubleInt", "Подвійний інтеграл та площа поверхні", "Calc", "",
     "Обчислити подвійний інтеграл та площу поверхні", H::Main, B::None, true, false, false},

    {100, "Transform", "Перетворення об'єктів", "Oper", "Ctrl+O",
     "Перетворення об'єктів за числовими даними", H::Main, B::Mode, true, false, false},
    {101, "mode1", "Паралельне перенесення", "Oper", "", "Паралельне перенесення об'єкта мишкою",
     H::Main, B::Mode, true, true, false},
    {102, "mode2", "Поворот", "Oper", "", "Поворот об'єкта мишкою", H::Main, B::Mode, true, true,
     false},
    {103, "mode3", "Зміна розмірів", "Oper", "", "Зміна розмірів об'єкта мишкою", H::Main, B::Mode,
     true, true, false},
    {104, "mode4", "Зміна форми", "Oper", "", "Зміна форми об'єкта мишкою", H::Main, B::Mode, true,
     true, false},
    {14, "MakeCut", "Виконати переріз", "Oper", "", "Переріз многогранника площиною", H::Main,
     B::Mode, true, true, false},
    {105, "Unfold", "Розгортка многогранника", "Oper", "",
     "Розгортка многогранника або тіла обертання: розрізи, клапани, згортання, друк", H::Main,
     B::None, true, false, false},

    {61, "HalfTone", "Режим півтонового зображення", "View", "F7", "Режим півтонового зображення",
     H::Main, B::View, true, true, false},
    {1, "Osi_OZ", "Вироджена вісь Oz", "Axes", "", "Погляд уздовж осі Oz", H::View, B::View, true,
     false, false},
    {2, "Osi_OY", "Вироджена вісь Oy", "Axes", "", "Погляд уздовж осі Oy", H::View, B::View, true,
     false, false},
    {3, "Osi_OX", "Вироджена вісь Ox", "Axes", "", "Погляд уздовж осі Ox", H::View, B::View, true,
     false, false},
    {4, "Osi_3", "Ізометрія", "Axes", "", "Початкове положення осей", H::View, B::View, true, false,
     false},
    {5, "ZoomIn", "Збільшити", "View", "", "Збільшити зображення", H::View, B::View, true, false,
     false},
    {6, "ZoomOut", "Зменшити", "View", "", "Зменшити зображення", H::View, B::View, true, false,
     false},
    {7, "ZoomFit", "Дібрати розмір", "View", "", "Дібрати розмір зображення", H::View, B::View,
     true, false, false},
    {62, "HiddenSolid", "суцільні", "Hidden", "", "Невидимі лінії суцільні", H::Main, B::None, true,
     true, false},
    {63, "HiddenDashed", "штрихові", "Hidden", "", "Невидимі лінії штрихові", H::Main, B::None,
     true, true, false},
    {64, "HiddenRemoved", "не показувати", "Hidden", "", "Невидимі лінії не показувати", H::Main,
     B::None, true, true, false},
    {65, "Outlines", "Контури", "Hidden", "",
     "Тіла обертання й поверхні лише контурами, як на рисунку в підручнику", H::Main, B::None, true,
     true, false},

    {421, "TbFile", "Файл", "ToolBars", "", "Показати або сховати панель \"Файл\"", H::Main,
     B::None, true, true, false},
    {422, "TbView", "Зображення", "ToolBars", "", "Показати або сховати панель \"Зображення\"",
     H::Main, B::None, true, true, false},
    {423, "TbCalc", "Вимірювання та обчислення", "ToolBars", "",
     "Показати або сховати панель \"Вимірювання\"", H::Main, B::None, true, true, false},
    {424, "TbMode", "Операції над об'єктами", "ToolBars", "",
     "Показати або сховати панель \"Операції\"", H::Main, B::None, true, true, false},
    {425, "TbObjs", "Об'єкти", "ToolBars", "", "Показати або сховати панель \"Об'єкти\"", H::Main,
     B::None, true, true, false},
    {43, "Hint", "Підказка", "Setup", "", "Показати або сховати рядок підказки", H::Main, B::None,
     true, true, false},
    {41, "Params", "Параметри", "Setup", "F9", "Параметри програми", H::Main, B::None, true, false,
     false},
    {44, "ClearReport", "Очистити звіт", "Setup", "Alt+C", "Очистити звіт", H::Main, B::None, true,
     false, false},
    {45, "SaveReport", "Зберегти звіт у текстовому файлі", nullptr, "Ctrl+S",
     "Зберегти звіт у текстовому файлі", H::Main, B::None, true, false, false},

    {50, "HelpTopics", "Розділи допомоги", "Help", "F1", "Розділи допомоги", H::Main, B::None, true,
     false, false},
};

constexpr ToolBarInfo kToolBars[] = {
    {Bar::Disk, "tb_Disk", "Файл", 421},        {Bar::View, "tb_View", "Зображення", 422},
    {Bar::Calc, "tb_Calc", "Вимірювання", 423}, {Bar::Mode, "tb_Mode", "Операції", 424},
    {Bar::Objs, "tb_Objs", "Об'єкти", 425},
};

} // namespace

std::span<const MenuInfo> Menus() {
    return kMenus;
}
std::span<const CommandInfo> Commands() {
    return kCommands;
}
std::span<const ToolBarInfo> ToolBars() {
    return kToolBars;
}

const CommandInfo* FindCommand(const char* name) {
    for (const CommandInfo& c : kCommands)
        if (std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

} // namespace vorn::app
