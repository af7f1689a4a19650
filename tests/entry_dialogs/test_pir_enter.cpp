// The entry dialog typed into: live codes, value replacement, grids, parts, keypad, ways out.
#include "dialog_fixture.h"
#include "entry_dialogs/entry_commands.h"
#include "entry_dialogs/revolution_preview.h"
#include "lang/message_ids.h"
#include "row_name.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include <cmath>
#include <cstring>

namespace vorn::test {
namespace {

using entry::entry_error::BadData;
using entry::entry_error::BadExpression;
using entry::entry_error::BadSymbol;
using entry::entry_error::FewVertices;
using entry::entry_error::Missing;

class PirEnterTest : public DialogTest {
  protected:
    QPushButton* okButton() { return find<QPushButton>(&dialog, "OkButton"); }
    QString text(const char* name) { return field(name)->text(); }
    void setCell(const char* grid, int row, int column, const QString& value) {
        find<QTableWidget>(&dialog, grid)->item(row, column)->setText(value);
    }
};

TEST_F(PirEnterTest, NumberFieldTakesTheValueOfItsExpressionWhenLeft) {
    open(core::ObjectType::Point);
    type("PsX", "2*PI");
    // Read as a plain number while the expression is still being typed.
    EXPECT_EQ(dialog.entryError(), BadExpression);
    EXPECT_EQ(dialog.message(), "Не коректно задано число або аналітичний вираз.");
    EXPECT_FALSE(okButton()->isEnabled());
    EXPECT_FALSE(field("PsX")->isRed());

    leave("PsX");
    EXPECT_EQ(text("PsX"), "6.2831852");
    EXPECT_EQ(dialog.entryError(), 0);
    EXPECT_EQ(dialog.message(), "");
    EXPECT_TRUE(okButton()->isEnabled());
    EXPECT_EQ(field("PsX")->itemText(0), "2*PI");
    EXPECT_FLOAT_EQ(scene.object(core::kScratchSlot).vertex(1).x, 6.2831852f);
}

TEST_F(PirEnterTest, MalformedOrEmptyNumberTurnsTheFieldRed) {
    open(core::ObjectType::Point);
    type("PsY", "");
    EXPECT_EQ(dialog.entryError(), Missing);
    EXPECT_EQ(dialog.message(), "Не задано параметр.");
    EXPECT_TRUE(field("PsY")->isRed());

    type("PsY", "(2+");
    EXPECT_EQ(dialog.entryError(), BadExpression);
    EXPECT_TRUE(field("PsY")->isRed());
    // Leaving a red field neither records it nor replaces it.
    leave("PsY");
    EXPECT_EQ(text("PsY"), "(2+");
    EXPECT_EQ(field("PsY")->count(), 0);

    type("PsY", "-1.5");
    EXPECT_EQ(dialog.entryError(), 0);
    EXPECT_FALSE(field("PsY")->isRed());
}

TEST_F(PirEnterTest, PolylineGridReadsPlainNumbersOnly) {
    open(core::ObjectType::Polyline);
    setCell("LineGrid", 1, 0, "a");
    EXPECT_EQ(dialog.entryError(), BadSymbol);
    EXPECT_EQ(dialog.message(), "Помилковий символ у виразі.");
    setCell("LineGrid", 1, 0, "4");
    EXPECT_EQ(dialog.entryError(), 0);
    // Direction vectors add up to the vertices; closing adds the last segment.
    find<QComboBox>(&dialog, "LineCheck")->setCurrentIndex(1);
    find<QCheckBox>(&dialog, "LockedLine")->setChecked(true);
    const core::SceneObject& e = scene.object(core::kScratchSlot);
    EXPECT_EQ(find<QLabel>(&dialog, "LineTitle")->text(), "Точка і напрямні вектори:");
    ASSERT_EQ(e.vertexCount, 2);
    EXPECT_FLOAT_EQ(e.vertex(2).x, 4);
    EXPECT_FLOAT_EQ(e.vertex(2).y, 3);
    EXPECT_EQ(e.faceCount, 2);
    EXPECT_EQ(e.face(2).vertex1, 2);
    EXPECT_EQ(e.face(2).vertex2, 1);
}

TEST_F(PirEnterTest, GridKeepsItsRowLimitsAndAppendsOnEnterInTheLastRow) {
    open(core::ObjectType::Polyline);
    auto* grid = find<entry::EntryGrid>(&dialog, "LineGrid");
    click(&dialog, "LineDel");
    EXPECT_EQ(grid->rowCount(), 2); // never below two points
    grid->setCurrentCell(1, 2);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(grid->currentColumn(), 0);
    // The new row is empty, so the polyline cannot be read yet.
    EXPECT_EQ(dialog.entryError(), BadSymbol);
    click(&dialog, "LineClear");
    EXPECT_EQ(grid->cellText(0, 0), "");
    EXPECT_EQ(grid->rowCount(), 3);
}

// Keys typed as the user types them, each to what has the focus: the grid or the cell editor
// it opened; "\n" is Enter. `cells` lists the rows, "|" between them.
struct GridTyping {
    const char* grid; // "ObjectGrid" of a polyhedron or "QGrid" of a polygon region
    int row, column;  // where the cursor starts
    const char *keys, *cells;
    int endRow, endColumn;
};
class GridTypingTest : public PirEnterTest, public ::testing::WithParamInterface<GridTyping> {};

TEST_P(GridTypingTest, EnterCommitsTheCellAndMovesOneColumn) {
    const GridTyping& c = GetParam();
    const bool polygon = std::strcmp(c.grid, "QGrid") == 0;
    open(polygon ? core::ObjectType::Surface : core::ObjectType::Polyhedron);
    if (polygon) find<QTabWidget>(&dialog, "QType")->setCurrentIndex(1);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* grid = find<entry::EntryGrid>(&dialog, c.grid);
    grid->setFocus();
    grid->setCurrentCell(c.row, c.column);
    for (const char* k = c.keys; *k; ++k) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        QTest::keyClick(target, *k == '\n' ? Qt::Key_Return : Qt::Key(*k));
        QApplication::processEvents(); // the view finishes edits through queued calls
    }
    QStringList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList row;
        for (int k = 0; k < grid->columnCount(); ++k)
            row << grid->cellText(r, k);
        rows << row.join(' ');
    }
    EXPECT_EQ(rows.join('|').toStdString(), c.cells);
    EXPECT_EQ(grid->currentRow(), c.endRow);
    EXPECT_EQ(grid->currentColumn(), c.endColumn);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridTypingTest,
    ::testing::Values(GridTyping{"ObjectGrid", 0, 0, "5\n", "5 0 0|0 0 0|0 0 0|0 0 0", 0, 1},
                      GridTyping{"ObjectGrid", 0, 0, "\n\n\n\n", "0 0 0|0 0 0|0 0 0|0 0 0", 1, 1},
                      GridTyping{"ObjectGrid", 0, 1, "1\n2\n3\n4\n5\n6\n",
                                 "0 1 2|3 4 5|6 0 0|0 0 0", 2, 1},
                      // The last cell of a grid that does not grow keeps the cursor.
                      GridTyping{"ObjectGrid", 3, 1, "7\n8\n", "0 0 0|0 0 0|0 0 0|0 7 8", 3, 2},
                      // The polygon grid grows by an empty row at its end.
                      GridTyping{"QGrid", 2, 0, "1\n2\n\n3\n", "0 0|0 0|1 2| 3| ", 4, 0}),
    [](const auto& info) {
        return vorn::test::RowName(info.index, {info.param.grid, info.param.keys});
    });

TEST_F(PirEnterTest, DegeneratePlaneDataAreRejected) {
    open(core::ObjectType::Plane);
    auto* mode = find<QComboBox>(&dialog, "PloskCheck");
    const char* fields[9] = {"PlX1", "PlY1", "PlZ1", "PlX2", "PlY2",
                             "PlZ2", "PlX3", "PlY3", "PlZ3"};
    const char* collinear[9] = {"0", "0", "0", "1", "1", "1", "2", "2", "2"};
    for (int k = 0; k < 9; ++k)
        type(fields[k], collinear[k]);
    EXPECT_EQ(dialog.entryError(), BadData);
    EXPECT_EQ(dialog.message(), "Дані не коректні.");

    mode->setCurrentIndex(1); // point (0,0,0), normal (1,1,1)
    EXPECT_EQ(dialog.entryError(), 0);
    EXPECT_FALSE(field("PlX3")->isVisible());
    type("PlX2", "0.000001");
    type("PlY2", "0");
    type("PlZ2", "-0.000009");
    EXPECT_EQ(dialog.entryError(), BadData);

    mode->setCurrentIndex(2);
    EXPECT_EQ(dialog.entryError(), BadData); // A, B, C are all (0,0,0) now
    EXPECT_TRUE(field("PlD")->isVisible());
    type("PlZ1", "1");
    type("PlD", "-2");
    EXPECT_EQ(dialog.entryError(), 0);
}

TEST_F(PirEnterTest, SurfaceFormulaIsCheckedAndStoredInTheSelectedPart) {
    open(core::ObjectType::Surface);
    type("TextFunc", "SIN(X");
    EXPECT_TRUE(field("TextFunc")->isRed());
    EXPECT_EQ(dialog.entryError(), BadExpression);
    // Another edit does not let the red formula through.
    type("FuncX1", "-2");
    EXPECT_EQ(dialog.entryError(), BadExpression);

    type("TextFunc", "LN(X)");
    EXPECT_FALSE(field("TextFunc")->isRed());
    EXPECT_EQ(dialog.entryError(), 0);
    EXPECT_EQ(scene.object(core::kScratchSlot).part(1).text.utf8(), "LN(X)");
    EXPECT_EQ(find<QListWidget>(&dialog, "QList")->item(0)->text(), "1: z=LN(X), Q=(x^2+y^2<pi^2)");

    type("QFunc", "x<<1");
    EXPECT_EQ(dialog.entryError(), entry::entry_error::BadRegion);
    type("QFunc", "x<1, y>0");
    EXPECT_EQ(dialog.entryError(), 0);
}

TEST_F(PirEnterTest, SurfaceHoldsOneToTwentyParts) {
    open(core::ObjectType::Surface);
    for (int k = 0; k < 25; ++k)
        click(&dialog, "QAdd");
    EXPECT_EQ(dialog.partCount(), 20);
    EXPECT_EQ(find<QListWidget>(&dialog, "QList")->count(), 20);
    // New parts come before the selected one, so the first definition is now the last.
    EXPECT_EQ(scene.object(core::kScratchSlot).part(20).text.utf8(), "sin(x*y)");
    for (int k = 0; k < 25; ++k)
        click(&dialog, "QDel");
    EXPECT_EQ(dialog.partCount(), 1);
}

TEST_F(PirEnterTest, PolygonRegionStartsAsATriangleAndFollowsItsGrid) {
    open(core::ObjectType::Surface);
    find<QTabWidget>(&dialog, "QType")->setCurrentIndex(1);
    const core::ObjectPart& part = scene.object(core::kScratchSlot).part(1);
    EXPECT_EQ(part.domainKind, 0);
    EXPECT_EQ(part.area.polygon.pointCount, 3);
    EXPECT_EQ(find<QListWidget>(&dialog, "QList")->item(0)->text(), "1: z=sin(x*y), Q=(3-кутник)");
    setCell("QGrid", 1, 0, "2");
    setCell("QGrid", 2, 1, "2");
    EXPECT_EQ(dialog.entryError(), 0);
    EXPECT_FLOAT_EQ(part.area.polygon.points[1].x, 2);
    click(&dialog, "QGridDel");
    EXPECT_EQ(part.area.polygon.pointCount, 3); // never below a triangle
}

// A grid holds as many rows as its drawing window takes points, whichever way they come.
struct GridLimit {
    core::ObjectType kind;
    const char *grid, *add, *remove, *draw;
    int rows;
};
class GridLimitTest : public PirEnterTest, public ::testing::WithParamInterface<GridLimit> {};

TEST_P(GridLimitTest, GridHoldsWhatTheDrawingWindowTakes) {
    const GridLimit& c = GetParam();
    open(c.kind);
    if (c.kind == core::ObjectType::Surface)
        find<QTabWidget>(&dialog, "QType")->setCurrentIndex(1);
    else
        find<QComboBox>(&dialog, "RotType")->setCurrentIndex(2);
    std::size_t drawn = 0;
    whenShown(&polyFrm, [&] {
        for (int k = 0; k < 60; ++k) // more clicks than any window takes
            polyFrm.mousePressed(QPointF(10 + (k % 10) * 27, 10 + (k / 10) * 45));
        drawn = polyFrm.points().size();
        click(&polyFrm, "OkBtn");
    });
    click(&dialog, c.draw);
    auto* grid = find<entry::EntryGrid>(&dialog, c.grid);
    EXPECT_EQ(drawn, std::size_t(c.rows));
    EXPECT_EQ(grid->rowCount(), c.rows);
    click(&dialog, c.remove);
    for (int k = 0; k < 3; ++k)
        click(&dialog, c.add);
    EXPECT_EQ(grid->rowCount(), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, GridLimitTest,
    ::testing::Values(GridLimit{core::ObjectType::Surface, "QGrid", "QGridAdd", "QGridDel", "QDraw",
                                40},
                      // The curve point limit at the default quality.
                      GridLimit{core::ObjectType::RevolutionSurface, "CurveGrid", "CurveAdd",
                                "CurveDel", "MakeCurve", 13}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.grid); });

TEST_F(PirEnterTest, KeypadTypesAtTheCaretAndCutsAtTwentyCharacters) {
    open(core::ObjectType::Point);
    entry::EntryCombo* x = field("PsX");
    x->lineEdit()->setFocus();
    x->lineEdit()->setText("12");
    x->lineEdit()->setCursorPosition(1);
    auto* keypad = find<QWidget>(&dialog, "Keypad");
    auto press = [&](const char* caption) {
        for (auto* b : keypad->findChildren<QAbstractButton*>())
            if (b->text() == QLatin1String(caption)) b->click();
    };
    press("+");
    EXPECT_EQ(x->text(), "1+2");
    press("BS");
    press("Del");
    EXPECT_EQ(x->text(), "1");
    for (int k = 0; k < 12; ++k)
        press("Sqrt(");
    EXPECT_EQ(x->text().size(), 20);
    EXPECT_EQ(x->text(), "1Sqrt(Sqrt(Sqrt(Sqrt");
    EXPECT_TRUE(x->isRed()); // the keypad press is checked like a keystroke
}

TEST_F(PirEnterTest, PolyhedronFacesFromTheConvexHull) {
    open(core::ObjectType::Polyhedron);
    auto* count = find<QSpinBox>(&dialog, "AxesCount");
    count->setValue(9);
    const double corners[9][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},      {0, 0, 1},
                                  {1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0.5, 0.5, 0.5}};
    for (int i = 0; i < 9; ++i)
        for (int c = 0; c < 3; ++c)
            setCell("ObjectGrid", i, c, QString::number(corners[i][c]));
    EXPECT_EQ(dialog.entryError(), entry::entry_error::BadFaces); // no face yet
    click(&dialog, "ToMakeObj");
    EXPECT_EQ(dialog.entryError(), 0);
    EXPECT_EQ(count->value(), 8); // the centre is no corner
    EXPECT_EQ(find<QSpinBox>(&dialog, "PloskCount")->value(), 12);
    EXPECT_EQ(find<QListWidget>(&dialog, "PloskList")->count(), 12);
    find<QListWidget>(&dialog, "PloskList")->setCurrentRow(0);
    const core::Face& f = scene.object(core::kScratchSlot).face(1);
    EXPECT_EQ(find<QComboBox>(&dialog, "Top1")->currentText().toInt(), f.vertex1);
    EXPECT_EQ(find<QComboBox>(&dialog, "Top3")->currentText().toInt(), f.vertex3);
}

// Points too dense for the triple walk are formed from the extended-precision hull, and the
// report says so in one line; a cube's corners form as before, without that line.
TEST_F(PirEnterTest, DensePointsFormFromTheHullWithAReportLine) {
    for (const int n : {8, 400}) {
        host.report.clear();
        open(core::ObjectType::Polyhedron);
        core::SceneObject& e = scene.object(core::kScratchSlot);
        const double golden = 3.141592653589793 * (3 - std::sqrt(5.0));
        e.vertexCount = static_cast<std::int16_t>(n);
        e.faceCount = 0;
        for (int i = 0; i < n; ++i) {
            const double z = 1 - (2 * i + 1.0) / n, r = std::sqrt(1 - z * z);
            e.vertex(i + 1) =
                n == 8 ? core::Vec3f{float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)}
                       : core::Vec3f{float(r * std::cos(golden * i)),
                                     float(r * std::sin(golden * i)), float(z)};
        }
        click(&dialog, "ToMakeObj");
        EXPECT_EQ(e.faceCount, n == 8 ? 12 : 2 * n - 4);
        EXPECT_EQ(host.report,
                  n == 8 ? std::vector<std::string>{}
                         : std::vector<std::string>{messages.text(lang::msg::kFacesFromHull)});
    }
}

TEST_F(PirEnterTest, FlatPointsGiveNoHullAndKeepTheEnteredPoints) {
    open(core::ObjectType::Polyhedron);
    const double flat[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            setCell("ObjectGrid", i, c, QString::number(flat[i][c]));
    click(&dialog, "ToMakeObj");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], "Не вдається сформувати многогранник по заданим точкам.");
    const core::SceneObject& e = scene.object(core::kScratchSlot);
    EXPECT_EQ(e.vertexCount, 4);
    EXPECT_EQ(e.faceCount, 4);
    EXPECT_EQ(e.face(1).vertex1, 0);
}

TEST_F(PirEnterTest, OpenPolyhedronKeepsTheDialogOpen) {
    open(core::ObjectType::Polyhedron);
    const double tetra[4][3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0.5, 0.5, 1}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            setCell("ObjectGrid", i, c, QString::number(tetra[i][c]));
    // The base twice and no face (2, 3, 4): every face has a plane, the surface is open.
    const int faces[4][3] = {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {1, 2, 3}};
    auto* list = find<QListWidget>(&dialog, "PloskList");
    ASSERT_EQ(list->count(), 4);
    for (int f = 0; f < 4; ++f) {
        list->setCurrentRow(f);
        for (int k = 0; k < 3; ++k) {
            auto* top = find<QComboBox>(&dialog, k == 0 ? "Top1" : k == 1 ? "Top2" : "Top3");
            top->setCurrentIndex(faces[f][k] - 1);
            Q_EMIT top->activated(faces[f][k] - 1);
        }
    }
    EXPECT_EQ(dialog.entryError(), 0);
    click(&dialog, "OkButton");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.message(), "Об'єкт не замкнений.");
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes.back(), "Об'єкт не замкнений.");
}

TEST_F(PirEnterTest, FailedSurfaceBuildKeepsTheDialogAndWhatWasTyped) {
    whenShown(&dialog, [&] {
        type("TextFunc", "x+y");
        // The new polygon region is a triangle with every vertex at 0: no node lies inside.
        find<QTabWidget>(&dialog, "QType")->setCurrentIndex(1);
        click(&dialog, "OkButton");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(text("TextFunc"), "x+y");
        ASSERT_FALSE(host.boxes.empty());
        EXPECT_EQ(host.boxes.back(), messages.text(lang::msg::kTooFewSurfacePoints));
        dialog.reject();
    });
    EXPECT_FALSE(entry::CreateObject(env, dialog, core::ObjectType::Surface));
    EXPECT_EQ(scene.objectCount(), 1);
}

// A new object opens with the dialog's own defaults, the ones the help describes.
struct NewObjectDefaults {
    core::ObjectType kind;
    const char *fields, *texts;
};
class NewObjectDefaultsTest : public PirEnterTest,
                              public ::testing::WithParamInterface<NewObjectDefaults> {};

TEST_P(NewObjectDefaultsTest, CreationShowsTheDialogDefaults) {
    QStringList shown;
    whenShown(&dialog, [&] {
        for (const QString& name : QString::fromLatin1(GetParam().fields).split(' '))
            shown << field(name.toLatin1().constData())->text();
        dialog.reject();
    });
    entry::CreateObject(env, dialog, GetParam().kind);
    EXPECT_EQ(shown.join(' ').toStdString(), GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NewObjectDefaultsTest,
    ::testing::Values(NewObjectDefaults{core::ObjectType::Plane,
                                        "PlX1 PlY1 PlZ1 PlX2 PlY2 PlZ2 PlX3 PlY3 PlZ3",
                                        "0 0 5 0 5 0 5 0 0"},
                      NewObjectDefaults{core::ObjectType::RevolutionSurface,
                                        "func1 func2 LeftA RightA nX nY nZ",
                                        "sin(x) cos(t) -3 3 0 0 0"}));

TEST_F(PirEnterTest, RevolutionChecksItsGeneratrixAndSamplesThePreview) {
    open(core::ObjectType::RevolutionSurface);
    EXPECT_EQ(dialog.entryError(), 0);
    const core::ObjectPart& curve = scene.object(core::kScratchSlot).part(1);
    EXPECT_EQ(curve.area.polygon.pointCount, 13); // the curve point limit at Quality 0.51
    EXPECT_EQ(find<entry::RevolutionPreview>(&dialog, "TPreview")->points().size(), 13u);

    type("func1", "sin(x");
    EXPECT_EQ(dialog.entryError(), BadExpression);
    type("func1", "sqrt(x)");
    EXPECT_EQ(dialog.entryError(), 0);

    auto* rot = find<QComboBox>(&dialog, "RotType");
    rot->setCurrentIndex(1);
    EXPECT_EQ(text("func1"), "sqrt(t)");
    EXPECT_TRUE(field("func2")->isVisible());
    rot->setCurrentIndex(0);
    EXPECT_EQ(text("func1"), "sqrt(x)");

    rot->setCurrentIndex(2);
    EXPECT_EQ(dialog.entryError(), 0); // the default polyline has two points
    auto* grid = find<entry::EntryGrid>(&dialog, "CurveGrid");
    EXPECT_EQ(grid->maxRows(), 13); // as many points as the drawing window takes
    grid->setRowCount(1);
    Q_EMIT grid->changed();
    EXPECT_EQ(dialog.entryError(), FewVertices);
    EXPECT_EQ(dialog.message(), "Не достатньо вершин ламаної.");
}

TEST_F(PirEnterTest, CreationReportsTheNewObjectByName) {
    whenShown(&dialog, [&] {
        find<QLineEdit>(&dialog, "ObjName1")->setText("A");
        type("PsX", "1");
        type("PsY", "2");
        type("PsZ", "sqrt(9)");
        leave("PsZ");
        click(&dialog, "OkButton");
    });
    ASSERT_TRUE(entry::CreateObject(env, dialog, core::ObjectType::Point));
    ASSERT_EQ(scene.objectCount(), 2);
    EXPECT_FLOAT_EQ(scene.object(2).vertex(1).z, 3);
    ASSERT_EQ(host.report.size(), 1u);
    EXPECT_EQ(host.report[0], "Створено об'єкт \"A\"");
    EXPECT_TRUE(scene.sceneModified);
}

TEST_F(PirEnterTest, NameKeepsOnlyWhatTheRecordCanHold) {
    whenShown(&dialog, [&] {
        find<QLineEdit>(&dialog, "ObjName1")->setText(QString::fromUtf8("Поверхня ✓ 😀"));
        click(&dialog, "OkButton");
    });
    ASSERT_TRUE(entry::CreateObject(env, dialog, core::ObjectType::Surface));
    EXPECT_EQ(scene.object(2).name.utf8(), "Поверхня ? ?");
    EXPECT_EQ(host.report.back(), "Створено об'єкт \"Поверхня ? ?\"");

    const QString longName(150, QChar(0x0416)); // Ж
    whenShown(&dialog, [&] {
        find<QLineEdit>(&dialog, "ObjName1")->setText(longName);
        click(&dialog, "OkButton");
    });
    ASSERT_TRUE(entry::EditExistingObject(env, dialog, 2));
    EXPECT_EQ(scene.object(2).name.utf8(), longName.left(100).toStdString());
}

TEST_F(PirEnterTest, ForeignCharactersTurnTheGeneratrixRed) {
    open(core::ObjectType::RevolutionSurface);
    entry::EntryCombo* f = field("func1");
    f->lineEdit()->setText(QString::fromUtf8("sin(x)→"));
    Q_EMIT f->edited(f);
    EXPECT_TRUE(f->isRed());
    EXPECT_FALSE(find<QPushButton>(&dialog, "OkButton")->isEnabled());
}

// Every way out that does not confirm leaves the scene as it was.
class CancelTest : public PirEnterTest, public ::testing::WithParamInterface<int> {
  protected:
    void leaveDialog() {
        switch (GetParam()) {
        case 0:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
        case 1:
            dialog.close();
            break;
        default:
            dialog.reject();
            break;
        }
    }
};

TEST_P(CancelTest, CancelledCreationRemovesTheNewSlot) {
    const auto scratch = std::make_unique<core::SceneObject>(scene.object(0));
    whenShown(&dialog, [&] {
        type("PsX", "7");
        leaveDialog();
    });
    EXPECT_FALSE(entry::CreateObject(env, dialog, core::ObjectType::Point));
    EXPECT_EQ(scene.objectCount(), 1);
    EXPECT_TRUE(host.report.empty());
    EXPECT_FALSE(scene.sceneModified);
    EXPECT_EQ(std::memcmp(&scene.object(0), scratch.get(), sizeof(core::SceneObject)), 0);
}

TEST_P(CancelTest, CancelledEditLeavesTheObjectUntouched) {
    whenShown(&dialog, [&] { click(&dialog, "OkButton"); });
    ASSERT_TRUE(entry::CreateObject(env, dialog, core::ObjectType::Polyline));
    scene.sceneModified = false;
    const auto before = std::make_unique<core::SceneObject>(scene.object(2));
    whenShown(&dialog, [&] {
        find<QLineEdit>(&dialog, "ObjName1")->setText("changed");
        setCell("LineGrid", 0, 0, "9");
        leaveDialog();
    });
    EXPECT_FALSE(entry::EditExistingObject(env, dialog, 2));
    EXPECT_EQ(std::memcmp(&scene.object(2), before.get(), sizeof(core::SceneObject)), 0);
    EXPECT_FALSE(scene.sceneModified);
}

INSTANTIATE_TEST_SUITE_P(WaysOut, CancelTest, ::testing::Values(0, 1, 2));

TEST_F(PirEnterTest, EditingWithoutAnObjectShowsMessage82) {
    EXPECT_FALSE(entry::EditExistingObject(env, dialog, -1));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0], messages.text(lang::msg::kSelectObjectFirst));
    EXPECT_FALSE(dialog.EditObject(core::kAxesSlot, false));
}

TEST_F(PirEnterTest, SilentEditRebuildsAStoredSurface) {
    const int slot = core::AppendObject(scene, core::ObjectType::Surface);
    ASSERT_EQ(scene.object(slot).vertexCount, 0);
    EXPECT_TRUE(dialog.EditObject(slot, true));
    EXPECT_GT(scene.object(slot).vertexCount, 0);
    EXPECT_GT(scene.object(slot).faceCount, 0);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace vorn::test
