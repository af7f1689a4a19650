// Message table and cp1251 conversions.
#include "lang/cp1251.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"

#include <gtest/gtest.h>

using namespace vorn::lang;

TEST(MessageTable, FixedIndicesHoldTheirTexts) {
    const MessageTable m;
    EXPECT_EQ(m.text(0), "Обробка граней об'єкта \"%s\"...");
    EXPECT_EQ(m.text(14), "Не коректний запис числа або виразу.");
    EXPECT_EQ(m.text(87), "Файл %s не містить об'ктів VORN-3D.");
    EXPECT_EQ(m.text(118), "\"Ламана\" або відрізок.");
    EXPECT_EQ(m.text(141), "Для повернення у нормальний режим зверніться до послуги \"Режим "
                           "півтонового зображення\" знову");
    EXPECT_TRUE(m.text(45).empty());
    EXPECT_TRUE(m.text(69).empty());
    EXPECT_TRUE(m.text(-1).empty());
    EXPECT_TRUE(m.text(kAllMessageCount).empty());
    int nonEmpty = 0;
    for (int i = 0; i < kMessageCount; ++i)
        nonEmpty += !m.text(i).empty();
    EXPECT_EQ(nonEmpty, 140);
    EXPECT_EQ(m.button(0), "Так");
    EXPECT_EQ(m.button(2), "Згода");
    EXPECT_EQ(m.caption(1), "Помилка");
    EXPECT_TRUE(m.caption(4).empty());
}

// The ids are positional: a name added or dropped inside the list moves every later one, and
// the runs read by offset (kinds, prompts, entry errors, parallelepiped labels) must start and
// end on their texts.
TEST(MessageIds, NamesPointAtTheirTexts) {
    const MessageTable m;
    const struct {
        int id;
        const char* text;
    } cases[] = {
        {msg::kProcessingFaces, "Обробка граней об'єкта \"%s\"..."},
        {msg::kBadNumberOrExpression, "Не коректний запис числа або виразу."},
        {msg::kParBySidesSide1, "Сторона"},
        {msg::kParByAreaArea, "Площа"},
        {msg::kParByHeightHeight, "Висота"},
        {msg::kParByDiagonalsAngle, "Кут°"},
        {msg::kNoEntryError, ""},
        {msg::kBadSymbol, "Помилковий символ у виразі."},
        {msg::kTooFewPolylineVertices, "Не достатньо вершин ламаної."},
        {msg::kKindAxes, "Вісь"},
        {msg::kKindRevolution, "Поверхня обертання"},
        {msg::kNoPrompt, ""},
        {msg::kPickPoint, "виберіть точку"},
        {msg::kPickSecondPlane, "виберіть другу площину"},
        {msg::kNeedObjectOfKind, "Необхідно вказати об'єкт типу"},
        {msg::kAskDiscardObjects, "Після виконання даної операції всі поточні об'єкти буде "
                                  "втрачено. Продовжувати ?"},
        {msg::kNeedPolyhedron, "\"Многогранник\""},
        {msg::kWriteFailed, "Не вдалося записати файл %s."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m.text(c.id), c.text) << "id " << c.id;
    EXPECT_FALSE(m.text(msg::kCount - 1).empty());
    EXPECT_TRUE(m.text(msg::kCount).empty());
}

TEST(MessageTable, SubstitutionFillsPlaceholdersInOrder) {
    MessageTable m;
    EXPECT_EQ(m.format(90, {"50", "60"}), "Уточнення області інтегрування (50x60 точок)...");
    EXPECT_EQ(m.format(86, {"Куб"}), "Об'єкт Куб не замкнений.");
    // Arguments are inserted as they are, never read as patterns.
    EXPECT_EQ(substitute("%s and %s", {"%s", "b"}), "%s and b");
    EXPECT_EQ(substitute("%s %s", {"a"}), "a %s");
    m.setText(98, "Length: %s");
    EXPECT_EQ(m.format(98, {"4"}), "Length: 4");
    m.restoreBuiltins();
    EXPECT_EQ(m.format(98, {"4"}), "Довжина: 4 од.");
}

TEST(Cp1251, UkrainianRoundTripsAndForeignCharactersBecomeQuestionMarks) {
    const std::string text = "Їжак ґедзь Є і № «x» — ok";
    const std::string bytes = utf8ToCp1251(text);
    EXPECT_EQ(bytes.size(), utf8Length(text));
    EXPECT_EQ(cp1251ToUtf8(bytes), text);
    EXPECT_EQ(static_cast<unsigned char>(utf8ToCp1251("Ї")[0]), 0xAF);
    EXPECT_EQ(static_cast<unsigned char>(utf8ToCp1251("я")[0]), 0xFF);
    EXPECT_EQ(utf8ToCp1251("α∞😀"), "???");
    // Malformed UTF-8 never swallows the following characters.
    EXPECT_EQ(utf8ToCp1251("a\xC3"
                           "b"),
              "a?b");
    EXPECT_EQ(utf8ToCp1251("a\xFF"
                           "b"),
              "a?b");
    // Every byte decodes, including the unassigned one.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8Length(cp1251ToUtf8(all)), 256u);
}

TEST(Cp1251, TruncationCutsAtCharacterBoundaries) {
    EXPECT_EQ(utf8Truncate("абвгд", 3), "абв");
    EXPECT_EQ(utf8Truncate("ab", 5), "ab");
    EXPECT_EQ(utf8Truncate("", 5), "");
    EXPECT_EQ(utf8Length("ґ😀x"), 3u);
}
