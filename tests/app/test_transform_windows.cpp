// Dragging in a view along an axis, "Операції над об'єктом", the face list and the surface value.
#include "picture_fixture.h"

#include "app/check_frm.h"
#include "app/listing_panel.h"
#include "app/mod_frm.h"
#include "app/progress_frm.h"
#include "app/stat_line.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <numbers>
#include <optional>

namespace vorn::test {
namespace {

using app::Pending;
using core::Answer;
using core::ObjectType;

// Vertices are stored in single precision.
constexpr double kFloatTol = 1e-5;

class Dragging : public PictureTest {
  protected:
    // One picture pixel in space units.
    double pixel() const { return 1.0 / window->picture()->view().zoomX(); }
};

TEST_F(Dragging, TransformationModesNeedAViewAlongAnAxis) {
    addPoint({1, 1, 1});
    show(4);
    move(emptyPixel());
    for (const char* name : {"mode1", "mode2", "mode3", "mode4"})
        EXPECT_FALSE(window->command(name)->isEnabled()) << name;
    show(1);
    move(emptyPixel());
    for (const char* name : {"mode1", "mode2", "mode3", "mode4"})
        EXPECT_TRUE(window->command(name)->isEnabled()) << name;
    run("mode2");
    EXPECT_EQ(interaction().transformMode(), 2);
    EXPECT_TRUE(report().isEmpty()); // a transformation writes no heading
    // Turning the view away ends the mode.
    show(4);
    move(emptyPixel());
    EXPECT_EQ(interaction().transformMode(), 0);
    EXPECT_FALSE(window->command("mode2")->isEnabled());
    EXPECT_FALSE(window->command("mode2")->isChecked());
}

// Each step moves by the pointer's previous step, so the last one arrives with the next move.
TEST_F(Dragging, TranslationLandsOnThePointerAfterTheNextMove) {
    const int pt = addPoint({1, 1, 2});
    show(1);
    run("mode1");
    const QPoint from = vertexPixel(pt, 1), to = pixelOf({-1, 2, 0});
    move(from);
    press(from);
    for (int k = 1; k <= 4; ++k)
        move(from + (to - from) * k / 4);
    move(to + QPoint(1, 0)); // a last small move applies the step to `to`
    release(to + QPoint(1, 0));
    const core::SceneObject& o = scene().object(pt);
    EXPECT_NEAR(o.vertex(1).x, -1, pixel());
    EXPECT_NEAR(o.vertex(1).y, 2, pixel());
    EXPECT_NEAR(o.vertex(1).z, 2, kFloatTol); // the axis seen end-on keeps its coordinate
    EXPECT_NEAR(o.origin[0], o.vertex(1).x - 1, kFloatTol);
    EXPECT_NEAR(o.origin[2], 0, kFloatTol);
    EXPECT_TRUE(scene().sceneModified);
    EXPECT_EQ(interaction().dragObject(), 0);
    // A transformation writes nothing to the report, so leaving it leaves nothing unfinished.
    window->clearReport();
    run("mode4");
    run("mode1");
    EXPECT_EQ(report(), QStringList());
}

// A drag applies the transformation running at each of its steps: once the mode is cancelled
// the drag goes on to the release, moving nothing, and stays one undo step.
TEST_F(Dragging, ADragWhoseModeIsCancelledMovesNoMore) {
    const int pt = addPoint({1, 1, 2});
    show(1);
    run("mode1");
    const QPoint from = vertexPixel(pt, 1), to = pixelOf({0, 3, 2}), back = pixelOf({0, -2, 2});
    move(from);
    press(from);
    for (int k = 1; k <= 4; ++k)
        move(from + (to - from) * k / 4);
    move(to + QPoint(1, 0));
    const core::Vec3f moved = scene().object(pt).vertex(1);
    ASSERT_NEAR(moved.y, 3, pixel());
    run("Cancel");
    ASSERT_EQ(interaction().transformMode(), 0);
    EXPECT_EQ(interaction().dragObject(), pt);
    for (int k = 1; k <= 4; ++k)
        move(to + (back - to) * k / 4);
    release(back);
    EXPECT_EQ(scene().object(pt).vertex(1).y, moved.y);
    EXPECT_EQ(scene().object(pt).vertex(1).z, moved.z);
    EXPECT_EQ(interaction().dragObject(), 0);
    run("Undo");
    EXPECT_NEAR(scene().object(pt).vertex(1).y, 1, kFloatTol);
}

// Moving an object skips the hidden-line pass until the button comes up, or until a move
// without it when the release was lost outside the picture.
TEST_F(Dragging, HiddenLinePassWaitsForTheEndOfTheDrag) {
    const int pt = addPoint({1, 1, 2});
    show(1);
    window->command("HiddenDashed")->trigger();
    run("mode1");
    const pic::WireFrame& engine = window->picture()->canvas().engine();
    const QPoint from = vertexPixel(pt, 1), to = from + QPoint(20, 10);
    for (const bool lost : {false, true}) {
        SCOPED_TRACE(lost);
        move(from);
        press(from);
        move(to);
        EXPECT_TRUE(engine.hiddenPassDeferred());
        if (lost)
            Q_EMIT window->picture()->placeMouseMoved(to.x(), to.y(), Qt::NoButton, {});
        else
            release(to);
        EXPECT_FALSE(engine.hiddenPassDeferred());
        release(to);
    }
}

TEST_F(Dragging, RotationTurnsAboutThePivotByThePointersTurn) {
    const int line = addPolyline({{0, 0, 0}, {2, 0, 0}}); // pivot (1, 0, 0)
    show(1);
    run("mode2");
    const QPoint centre = pixelOf({1, 0, 0});
    const QPoint start = vertexPixel(line, 2);
    const int r = start.x() - centre.x();
    ASSERT_GT(std::abs(r), 20);
    // A quarter circle from the end of the segment around the centre.
    move(start);
    press(start);
    QPoint last = start;
    for (int k = 1; k <= 12; ++k) {
        const double a = M_PI / 2 * k / 12;
        last = centre + QPoint(static_cast<int>(std::lround(r * std::cos(a))),
                               static_cast<int>(std::lround(-std::abs(r) * std::sin(a))));
        move(last);
    }
    release(last);
    const core::SceneObject& o = scene().object(line);
    // Vertical now: x = 1 at both ends, y = ∓1, and it still has length 2.
    // The centre lies between pixels, so the pointer's angle is good to about a pixel.
    EXPECT_NEAR(o.vertex(1).x, 1, pixel());
    EXPECT_NEAR(o.vertex(2).x, 1, pixel());
    EXPECT_NEAR(std::fabs(o.vertex(1).y), 1, pixel());
    EXPECT_NEAR(o.vertex(1).y + o.vertex(2).y, 0, 1e-5);
    // The end that was pressed went where the pointer went.
    const QPoint end = vertexPixel(line, 2);
    EXPECT_LE((end - last).manhattanLength(), 2);
}

TEST_F(Dragging, RotationFollowsThePointerInEveryView) {
    for (int view : {1, 2, 3}) {
        SCOPED_TRACE(view);
        core::ClearScene(scene());
        const int line = addPolyline({{0, 0, 0}, {1, 1, 1}});
        show(view);
        run("mode2");
        const QPoint a = vertexPixel(line, 1), b = vertexPixel(line, 2);
        const QPoint across(-(b - a).y() / 5, (b - a).x() / 5);
        drag(b, b + across, 3);
        // The pressed end moved towards the pointer, not away from it.
        const QPoint end = vertexPixel(line, 2);
        EXPECT_LT((end - (b + across)).manhattanLength(), across.manhattanLength());
        run("mode2");
    }
}

TEST_F(Dragging, ResizingScalesAboutThePivotAlongEveryAxis) {
    const int box = addBox({0, 0, 0}, {2, 2, 2}); // pivot (1, 1, 1)
    show(1);
    run("mode3");
    const QPoint centre = pixelOf({1, 1, 0});
    const QPoint start = vertexPixel(box, 8);
    const QPoint to = centre + (start - centre) * 2;
    drag(start, to, 4);
    const core::SceneObject& o = scene().object(box);
    EXPECT_NEAR(o.vertex(1).x, -1, pixel());
    EXPECT_NEAR(o.vertex(1).z, -1, pixel()); // the axis seen end-on is scaled too
    EXPECT_NEAR(o.vertex(8).z, 3, pixel());
    // Areas and volume follow the new size once the button is released.
    const double edge = o.vertex(8).x - o.vertex(1).x;
    EXPECT_NEAR(o.volume, edge * edge * edge, 1e-3);
    EXPECT_NEAR(o.volume, 64, 1);
}

TEST_F(Dragging, ReshapingFromAnEdgeMovesNothing) {
    const int box = addBox({0, 0, 0}, {1, 1, 1});
    show(1);
    run("mode4");
    const core::SceneObject copy = scene().object(box);
    const QPoint e = edgePixel(box, 1, 2);
    drag(e, e + QPoint(30, 30));
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(scene().object(box).vertex(i).x, copy.vertex(i).x) << i;
    EXPECT_TRUE(edited.empty());
}

TEST_F(Dragging, ReshapeLoopHoldsTheUserInTheEntryDialogUntilOk) {
    const int box = addBox({0, 0, 0}, {1, 1, 1});
    show(1);
    run("mode4");
    // Vertex 2 (1, 0, 0) dragged onto vertex 1 flattens the faces that hold both.
    const QPoint from = vertexPixel(box, 2), to = vertexPixel(box, 1);
    editAnswers = {false, false, true};
    move(from);
    press(from);
    for (int k = 1; k <= 6; ++k)
        move(from + (to - from) * k / 6);
    move(to + QPoint(0, 1));
    release(to + QPoint(0, 1));
    EXPECT_EQ(edited, std::vector<int>({box, box, box}));
    int warnings = 0;
    for (const QString& t : dialogs->boxTexts())
        warnings += t == "Ваші дії призвели до спотворення об'єкта. Необхідно відкоригувати грані.";
    EXPECT_EQ(warnings, 3);
}

TEST_F(Dragging, ReshapeThatKeepsASolidIsCompletedWithoutQuestions) {
    const int box = addBox({0, 0, 0}, {1, 1, 1});
    show(1);
    run("mode4");
    const QPoint from = vertexPixel(box, 2);
    const QPoint to = pixelOf({1.5, 0, 0});
    move(from);
    press(from);
    move(to);
    move(to + QPoint(0, 1));
    release(to + QPoint(0, 1));
    EXPECT_TRUE(edited.empty());
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_GT(std::max(scene().object(box).vertex(2).x, scene().object(box).vertex(6).x), 1.2);
    EXPECT_GT(scene().object(box).volume, 1.05);
}

// Counts the showings of one window.
class ShowCounter : public QObject {
  public:
    int shown = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        shown += event->type() == QEvent::Show;
        return false;
    }
};

// A reshape that keeps the solid completes it once: a solid of many faces shows the progress
// windows of one completion, not of two.
TEST_F(Dragging, ReshapeCompletesTheSolidOnce) {
    // A prism over a 30-gon: 116 triangles, enough for the progress windows to show.
    const int prism = core::AppendObject(scene(), ObjectType::Polyhedron);
    core::SceneObject& o = scene().object(prism);
    o.vertexCount = 60;
    for (int i = 0; i < 30; ++i) {
        const float a = static_cast<float>(2 * std::numbers::pi * i / 30);
        o.vertex(i + 1) = {std::cos(a), std::sin(a), 0};
        o.vertex(i + 31) = {std::cos(a), std::sin(a), 1};
    }
    ASSERT_TRUE(poly::FormConvexFaces(window->env(), prism));
    ShowCounter progress;
    window->progressFrm()->installEventFilter(&progress);
    ASSERT_TRUE(poly::CompleteObject(window->env(), prism));
    const int once = progress.shown;
    ASSERT_GT(once, 0);
    show(1);
    run("mode4");
    progress.shown = 0;
    const QPoint v = vertexPixel(prism, 1);
    move(v);
    ASSERT_EQ(interaction().pick().object, prism);
    press(v);
    release(v);
    EXPECT_EQ(progress.shown, once);
    EXPECT_TRUE(edited.empty());
    EXPECT_TRUE(dialogs->boxes.empty());
}

// ---- the numeric window ---------------------------------------------------------------------

class ModFrm : public PictureTest {
  protected:
    app::TModFrm& frm() { return *interaction().modFrm(); }
    void type(const char* field, const QString& text) {
        QComboBox* f = frm().field(field);
        f->setEditText(text);
        frm().fieldLeft(f);
    }
};

TEST_F(ModFrm, NoObjectsGiveMessage82) {
    run("Transform");
    EXPECT_EQ(
        dialogs->boxTexts(),
        QStringList({"Для виконання операції необхідно вибрати об'єкт у переліку об'єктів."}));
    EXPECT_FALSE(frm().isVisible());
}

TEST_F(ModFrm, RotationExamplesThroughTheWindow) {
    const struct {
        geo::Vec3 p;
        int axisItem;
        geo::Vec3 expected;
    } rows[] = {
        {{1, 0, 0}, 2, {0, 1, 0}},
        {{1, 0, 0}, 1, {0, 0, -1}},
        {{0, 1, 0}, 0, {0, 0, -1}},
    };
    for (const auto& r : rows) {
        core::ClearScene(scene());
        const int pt = addPoint(r.p);
        show(4);
        run("Transform");
        ASSERT_TRUE(frm().isVisible());
        EXPECT_EQ(frm().target(), pt);
        frm().setPage(2);
        frm().axisBox()->setCurrentIndex(r.axisItem);
        type("RotCut", "90");
        QTest::mouseClick(frm().okButton(), Qt::LeftButton);
        const core::SceneObject& o = scene().object(pt);
        EXPECT_NEAR(o.vertex(1).x, r.expected.x, kFloatTol);
        EXPECT_NEAR(o.vertex(1).y, r.expected.y, kFloatTol);
        EXPECT_NEAR(o.vertex(1).z, r.expected.z, kFloatTol);
    }
}

TEST_F(ModFrm, TranslationByExpressionsAndFieldHistory) {
    const int pt = addPoint({3, 3, 3});
    show(4);
    run("Transform");
    frm().setPage(1);
    type("PsX", "sqrt(4)-1");
    type("PsY", "2");
    type("PsZ", "3");
    // A left field holds its value; the typed text joins the list in upper case.
    QComboBox* x = frm().field("PsX");
    EXPECT_EQ(x->currentText(), "1");
    EXPECT_EQ(x->itemText(0), "SQRT(4)-1");
    frm().execute();
    {
        const core::SceneObject& o = scene().object(pt);
        EXPECT_NEAR(o.vertex(1).x, 4, kFloatTol);
        EXPECT_NEAR(o.vertex(1).y, 5, kFloatTol);
        EXPECT_NEAR(o.vertex(1).z, 6, kFloatTol);
        EXPECT_NEAR(o.origin[2], 3, kFloatTol);
    }
    EXPECT_TRUE(scene().sceneModified);
    // The characteristics pane shows the moved box at once.
    EXPECT_EQ(window->listing()->reportBox()->findItems("MinX=4", Qt::MatchExactly).size(), 1);
}

TEST_F(ModFrm, MalformedTextTurnsRedAndDisablesTheButton) {
    addPoint({0, 0, 0});
    show(4);
    run("Transform");
    QComboBox* f = frm().field("ZoomTx");
    f->setEditText("2*(");
    EXPECT_FALSE(frm().okButton()->isEnabled());
    EXPECT_EQ(f->lineEdit()->palette().color(QPalette::Text), QColor(Qt::red));
    f->setEditText("");
    EXPECT_FALSE(frm().okButton()->isEnabled());
    f->setEditText("2");
    EXPECT_TRUE(frm().okButton()->isEnabled());
    EXPECT_EQ(f->lineEdit()->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST_F(ModFrm, DeformationAboutThePivotAndMessage9ForASurface) {
    const int box = addBox({0, 0, 0}, {2, 2, 2});
    const int surf = core::AppendObject(scene(), ObjectType::Surface);
    show(4);
    window->listing()->objList()->setCurrentRow(box - 2);
    run("Transform");
    frm().setPage(3);
    type("ZoomTx", "2");
    type("ZoomTy", "1");
    type("ZoomTz", "0");
    ASSERT_TRUE(frm().execute());
    const core::SceneObject& o = scene().object(box);
    EXPECT_NEAR(o.vertex(1).x, -1, kFloatTol);
    EXPECT_NEAR(o.vertex(2).x, 3, kFloatTol);
    EXPECT_NEAR(o.vertex(8).y, 2, kFloatTol);
    EXPECT_NEAR(o.vertex(8).z, 2, kFloatTol);
    EXPECT_NEAR(o.volume, 16, 1e-4);
    // The target follows the selection of the object list.
    window->listing()->objList()->setCurrentRow(surf - 2);
    EXPECT_EQ(frm().target(), surf);
    EXPECT_FALSE(frm().execute());
    EXPECT_EQ(dialogs->boxTexts().last(),
              "Операція не може бути застосована до поточного об'єкта.");
}

// ---- the face list ----------------------------------------------------------------------------

class FaceList : public PictureTest {};

TEST_F(FaceList, CubeFacesMarksAndTheirAreaSum) {
    addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    const int pt = addPoint({5, 5, 5});
    show(4);
    window->listing()->objList()->setCurrentRow(0);
    ASSERT_TRUE(window->command("Sides")->isEnabled());
    run("Sides");
    app::TCheckFrm& frm = *interaction().checkFrm();
    ASSERT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.windowTitle(), "Перелік граней об'єкта \"Куб\"");
    QListWidget* list = frm.list();
    ASSERT_EQ(list->count(), 6);
    for (int k = 0; k < 6; ++k) {
        const QString t = list->item(k)->text();
        EXPECT_TRUE(t.startsWith(QString(" Грань %1: вершини: (").arg(k + 1))) << t.toStdString();
        EXPECT_TRUE(t.endsWith("), S=1, P=4")) << t.toStdString();
    }
    EXPECT_EQ(frm.total(), "0");
    list->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(frm.total(), "1");
    frm.markCommand(1);
    EXPECT_EQ(frm.total(), "6");
    list->item(0)->setCheckState(Qt::Unchecked);
    frm.markCommand(3);
    EXPECT_EQ(frm.total(), "1");
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    frm.markCommand(2);
    EXPECT_EQ(frm.total(), "0");
    // Another kind of object hides the window; Esc hides it too.
    window->listing()->objList()->setCurrentRow(pt - 2);
    EXPECT_FALSE(frm.isVisible());
    window->listing()->objList()->setCurrentRow(0);
    run("Sides");
    ASSERT_TRUE(frm.isVisible());
    QTest::keyClick(&frm, Qt::Key_Escape);
    EXPECT_FALSE(frm.isVisible());
}

TEST_F(FaceList, TrianglesWhenSuperfluousLinesAreKept) {
    addBox({0, 0, 0}, {1, 1, 1});
    window->settings().DrawContur = false;
    show(4);
    run("Sides");
    app::TCheckFrm& frm = *interaction().checkFrm();
    ASSERT_EQ(frm.list()->count(), 12);
    frm.markCommand(1);
    EXPECT_EQ(frm.total(), "6");
}

// The face list is a tool window of the main one, where the main window's Esc command listens too.
TEST_F(FaceList, EscClosesTheWindowWithTheFocusOnly) {
    addBox({0, 0, 0}, {1, 1, 1});
    show(4);
    run("Sides");
    app::TCheckFrm& frm = *interaction().checkFrm();
    run("Distance2P");
    for (QWidget* focus : {static_cast<QWidget*>(frm.list()), frm.findChild<QWidget*>("Button1")}) {
        run("Sides");
        frm.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(frm.isVisible()) << focus->objectName().toStdString();
        EXPECT_EQ(interaction().measureMode(), 4) << focus->objectName().toStdString();
    }
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->picture()->place(), Qt::Key_Escape);
    EXPECT_EQ(interaction().pending(), Pending::None);
}

// ---- the value of a surface at a point ---------------------------------------------------------

class SurfaceValue : public PictureTest {};

TEST_F(SurfaceValue, DefaultSurfaceAtOneTwoWithARetryOnABadNumber) {
    const int surf = core::AppendObject(scene(), ObjectType::Surface);
    scene().object(surf).name.setUtf8("F");
    show(4);
    ASSERT_TRUE(window->command("FuncValue")->isEnabled());
    inputs = {"x1", "1", "2"};
    dialogs->answers = {Answer::Yes};
    run("FuncValue");
    EXPECT_EQ(inputPrompts,
              QStringList({"Введіть X-координату точки:", "Введіть X-координату точки:",
                           "Введіть Y-координату точки:"}));
    EXPECT_EQ(dialogs->boxTexts().first(), "Не коректний запис числа або виразу.");
    const QStringList r = report();
    ASSERT_GE(r.size(), 2);
    EXPECT_EQ(r[0], "Обчислення значення функції \"F\" в точці.");
    EXPECT_EQ(r[1], "F(1, 2)= 0.909297");
    ASSERT_EQ(scene().objectCount(), surf + 1);
    const core::SceneObject& p = scene().object(surf + 1);
    EXPECT_EQ(p.type, ObjectType::Point);
    EXPECT_EQ(p.name.utf8(), "Точка на поверхні \"F\"");
    EXPECT_NEAR(p.vertex(1).z, std::sin(2.0), kFloatTol);
}

// Cancel in either question ends the operation at once: no error box, no question again.
TEST_F(SurfaceValue, CancelInEitherQuestionEndsTheOperation) {
    const int surf = core::AppendObject(scene(), ObjectType::Surface);
    show(4);
    const struct {
        std::vector<std::optional<QString>> answers; // none: Cancel
        int questions;
    } rows[] = {{{std::nullopt}, 1}, {{"x1", std::nullopt}, 2}, {{"1", std::nullopt}, 2}};
    for (const auto& r : rows) {
        std::size_t asked = 0;
        // After the script a number, so a box that asks again ends too.
        interaction().setInputBox([&](const QString&, const QString&, QString& text) {
            const std::optional<QString> a =
                asked < r.answers.size() ? r.answers[asked] : QString("1");
            ++asked;
            if (a) text = *a;
            return a.has_value();
        });
        dialogs->boxes.clear();
        run("FuncValue");
        EXPECT_EQ(asked, static_cast<std::size_t>(r.questions)) << r.questions;
        EXPECT_EQ(dialogs->boxes.size(), r.answers.front() == QStringLiteral("x1") ? 1u : 0u);
        EXPECT_EQ(report().last(), "Операцію не завершено.");
        EXPECT_EQ(scene().objectCount(), surf);
    }
}

TEST_F(SurfaceValue, OutsideTheDomain) {
    core::AppendObject(scene(), ObjectType::Surface);
    show(4);
    inputs = {"5", "0"};
    run("FuncValue");
    EXPECT_EQ(report().last(),
              "Точка з координатами (5, 0) не належить області визначення функції.");
    EXPECT_TRUE(dialogs->boxes.empty());
}

} // namespace
} // namespace vorn::test
