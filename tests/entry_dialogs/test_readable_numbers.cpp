// Numbers in the entry dialog: stored coordinates come back short, fields and columns show them
// whole, a field too narrow for its text shows it as a tool tip.
#include "dialog_fixture.h"
#include "row_name.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

#include <cmath>
#include <utility>
#include <vector>

namespace vorn::test {
namespace {

// Wider than any fixed-notation number the dialog writes with fifteen digits.
const QString kLongNumber = QStringLiteral("-0.000123456789012345");

class NumbersTest : public DialogTest {
  protected:
    // True when the line edit shows its text from the first character to the last.
    static bool showsWhole(QLineEdit* edit) {
        edit->end(false);
        const QRect inside = edit->contentsRect();
        return edit->cursorPositionAt(QPoint(inside.left() + 3, inside.center().y())) == 0 &&
               edit->fontMetrics().horizontalAdvance(edit->text()) < inside.width();
    }
};

// A record as a scene file or an earlier edit leaves it, and the texts its page shows: stored
// coordinates in the fewest digits that give them back, computed values in fifteen.
struct Reopen {
    const char* label;
    core::ObjectType kind;
    void (*fill)(core::SceneObject&);
    std::vector<std::pair<const char*, const char*>> shown; // field, or "grid row column"
};

class ReopenTest : public NumbersTest, public ::testing::WithParamInterface<Reopen> {};

TEST_P(ReopenTest, StoredCoordinatesComeBackAsTyped) {
    const Reopen& c = GetParam();
    const int slot = core::AppendObject(scene, c.kind);
    c.fill(scene.object(slot));
    dialog.load(slot);
    for (const auto& [where, text] : c.shown) {
        const QStringList at = QString::fromLatin1(where).split(' ');
        const QString got = at.size() == 3
                                ? find<entry::EntryGrid>(&dialog, at[0].toLatin1().constData())
                                      ->cellText(at[1].toInt(), at[2].toInt())
                                : field(where)->text();
        EXPECT_EQ(got.toStdString(), text) << where;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ReopenTest,
    ::testing::Values(
        Reopen{"point",
               core::ObjectType::Point,
               [](core::SceneObject& o) {
                   o.vertex(1) = {std::sqrt(2.0f), 0.1f, -273.15f};
               },
               {{"PsX", "1.4142135"}, {"PsY", "0.1"}, {"PsZ", "-273.15"}}},
        // Point and normal: the point as stored, the normal computed in double.
        Reopen{"plane normal",
               core::ObjectType::Plane,
               [](core::SceneObject& o) {
                   o.param0 = 1;
                   o.vertex(1) = {0.1f, 0, 0};
                   o.vertex(2) = {0, 0.1f, 0};
                   o.vertex(3) = {0, 0, 0.1f};
               },
               {{"PlX1", "0.1"}, {"PlY1", "0"}, {"PlX2", "0.577350269189626"}}},
        Reopen{"polyhedron",
               core::ObjectType::Polyhedron,
               [](core::SceneObject& o) {
                   o.vertexCount = 4;
                   o.vertex(2) = {1.1f, 2.2f, 1e-5f};
               },
               {{"ObjectGrid 1 0", "1.1"}, {"ObjectGrid 1 1", "2.2"}, {"ObjectGrid 1 2", "1E-5"}}},
        // Direction vectors: a difference of two floats is no stored value.
        Reopen{"polyline vectors",
               core::ObjectType::Polyline,
               [](core::SceneObject& o) {
                   o.param0 = 1;
                   o.vertexCount = 2;
                   o.vertex(1) = {0.1f, 0, 0};
                   o.vertex(2) = {0.3f, 0, 0};
               },
               {{"LineGrid 0 0", "0.1"}, {"LineGrid 1 0", "0.200000010430813"}}},
        Reopen{"surface polygon",
               core::ObjectType::Surface,
               [](core::SceneObject& o) {
                   o.part(1).domainKind = 0;
                   o.part(1).area.polygon.pointCount = 3;
                   o.part(1).area.polygon.points[2] = {0.7f, -1.3f};
               },
               {{"QGrid 2 0", "0.7"}, {"QGrid 2 1", "-1.3"}}}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.label); });

TEST_F(NumbersTest, TypedSqrtTwoShowsWholeAndReopensInSevenDecimals) {
    const int slot = open(core::ObjectType::Point);
    type("PsX", "sqrt(2)");
    leave("PsX");
    QApplication::processEvents();
    EXPECT_EQ(field("PsX")->text(), "1.4142135623731");
    EXPECT_TRUE(showsWhole(field("PsX")->lineEdit()));
    click(&dialog, "OkButton");
    ASSERT_FALSE(dialog.isVisible());
    dialog.load(slot);
    EXPECT_EQ(field("PsX")->text(), "1.4142135");
}

class FieldWidthTest : public NumbersTest,
                       public ::testing::WithParamInterface<core::ObjectType> {};

TEST_P(FieldWidthTest, EveryNumberFieldShowsTheLongestNumberWhole) {
    open(GetParam());
    QApplication::processEvents();
    int seen = 0;
    for (entry::EntryCombo* f : dialog.findChildren<entry::EntryCombo*>()) {
        if (!f->isVisible()) continue;
        f->setText(kLongNumber);
        EXPECT_TRUE(f->cutText().isEmpty()) << f->objectName().toStdString();
        EXPECT_TRUE(showsWhole(f->lineEdit())) << f->objectName().toStdString();
        ++seen;
    }
    EXPECT_GE(seen, 3);
}

INSTANTIATE_TEST_SUITE_P(Pages, FieldWidthTest,
                         ::testing::Values(core::ObjectType::Point, core::ObjectType::Plane,
                                           core::ObjectType::Surface,
                                           core::ObjectType::RevolutionSurface));

TEST_F(NumbersTest, GridColumnsFitTheirNumbers) {
    open(core::ObjectType::Polyhedron);
    auto* grid = find<entry::EntryGrid>(&dialog, "ObjectGrid");
    for (int c = 0; c < 3; ++c)
        grid->item(1, c)->setText(kLongNumber);
    QApplication::processEvents();
    const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int needed = grid->fontMetrics().horizontalAdvance(kLongNumber) + margins;
    for (int c = 0; c < 3; ++c)
        EXPECT_GE(grid->columnWidth(c), needed) << c;
    // Short numbers again: the columns share the grid's width as before.
    for (int c = 0; c < 3; ++c)
        grid->item(1, c)->setText("1");
    QApplication::processEvents();
    EXPECT_LT(grid->horizontalHeader()->minimumSectionSize(), needed);
}

TEST_F(NumbersTest, FieldTooNarrowForItsTextShowsItAsAToolTip) {
    open(core::ObjectType::Surface);
    entry::EntryCombo* f = field("QFunc");
    QLineEdit* edit = f->lineEdit();
    auto tipAfterHover = [&] {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    type("QFunc", "x<1, y>0");
    EXPECT_TRUE(f->cutText().isEmpty());
    EXPECT_EQ(tipAfterHover(), "");

    // A region of many relations is longer than the field is wide.
    const QString region = QStringLiteral("x^2+y^2<9, ").repeated(20) + "x>0";
    type("QFunc", region);
    EXPECT_EQ(f->cutText(), region);
    EXPECT_EQ(tipAfterHover(), region);
    QToolTip::hideText();
}

} // namespace
} // namespace vorn::test
