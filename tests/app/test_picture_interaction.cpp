// Picking, measuring and cutting on the picture with the mouse, through the real window.
#include "picture_fixture.h"

#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/stat_line.h"
#include "entry/object_builder.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <numbers>
#include <set>

namespace vorn::test {
namespace {

using app::Pending;
using app::PictureCursor;
using core::Answer;
using core::ObjectType;

// The number after "X=" and the like in a status field.
double FieldNumber(const QString& field) {
    return field.mid(field.indexOf('=') + 1).toDouble();
}

class Picking : public PictureTest {};

TEST_F(Picking, VertexWithinThePickRadiusWinsOverTheEdgeThroughIt) {
    const int box = addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    show(1); // along Oz: the edge 1-2 runs horizontally through vertex 1
    const QPoint v1 = vertexPixel(box, 1), v2 = vertexPixel(box, 2);
    ASSERT_EQ(v1.y(), v2.y());
    const int inward = v2.x() > v1.x() ? 1 : -1;
    // The setting, then pixels along the edge that still pick the vertex and the first that
    // picks the edge.
    const struct { int radius, vertexUpTo; } rows[] = {{4, 4}, {1, 1}, {10, 10}};
    for (const auto& r : rows) {
        window->settings().pickRadius = r.radius;
        const int askew = static_cast<int>(r.vertexUpTo / std::numbers::sqrt2);
        for (const QPoint off : {QPoint(r.vertexUpTo * inward, 0), QPoint(askew * inward, askew),
                                 QPoint(0, -r.vertexUpTo)}) {
            move(v1 + off);
            const pic::Pick& pick = interaction().pick();
            EXPECT_EQ(pick.object, box);
            EXPECT_EQ(pick.vertex2, 0)
                << "radius " << r.radius << " offset " << off.x() << "," << off.y();
            // Vertices 1 and 5 lie on one pixel: the last one visited wins, either way at x=y=0.
            EXPECT_NEAR(interaction().pointerPoint().x, 0, 1e-9);
            EXPECT_NEAR(interaction().pointerPoint().y, 0, 1e-9);
        }
        // Past the radius along the edge it is the edge, with the point between its vertices.
        move(v1 + QPoint((r.vertexUpTo + 1) * inward, 0));
        const pic::Pick& edge = interaction().pick();
        EXPECT_EQ(edge.object, box);
        EXPECT_NE(edge.vertex2, 0) << "radius " << r.radius;
        const double along = (r.vertexUpTo + 1.0) / std::abs(v2.x() - v1.x());
        EXPECT_NEAR(interaction().pointerPoint().x, along, 1e-9);
        app::StatLine* line = window->statLine();
        ASSERT_TRUE(line->fieldMode());
        EXPECT_EQ(line->field(3), "Куб");
        EXPECT_EQ(line->field(4), "Довжина ланки: 1");
    }
}

// Pixels off the middle of a cube's edge, outwards, and the setting -> whether the edge is
// picked.
TEST_F(Picking, AnEdgeIsPickedWithinThePickRadius) {
    const int box = addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    show(1);
    const QPoint v1 = vertexPixel(box, 1), v2 = vertexPixel(box, 2), v3 = vertexPixel(box, 3);
    ASSERT_EQ(v1.y(), v2.y());
    const int outward = v3.y() > v1.y() ? -1 : 1;
    const QPoint middle((v1.x() + v2.x()) / 2, v1.y());
    const struct {
        int off, radius;
        bool picked;
    } rows[] = {{3, 4, true}, {4, 4, true},  {5, 4, false},  {5, 6, true},
                {1, 1, true}, {2, 1, false}, {10, 10, true}, {11, 10, false}};
    for (const auto& r : rows) {
        window->settings().pickRadius = r.radius;
        move(middle + QPoint(0, outward * r.off));
        const pic::Pick& pick = interaction().pick();
        EXPECT_EQ(pick.any(), r.picked) << r.off << " px off, radius " << r.radius;
        if (!pick.any()) continue;
        EXPECT_EQ(pick.object, box);
        EXPECT_EQ(std::min(pick.vertex1, pick.vertex2) % 4, 1); // 1-2 or 5-6, one line here
        EXPECT_EQ(std::max(pick.vertex1, pick.vertex2) % 4, 2);
        EXPECT_NEAR(interaction().pointerPoint().x, 0.5, 1.0 / std::abs(v2.x() - v1.x()));
        EXPECT_NEAR(interaction().pointerPoint().y, 0, 1e-6);
    }
}

TEST_F(Picking, StatusFieldsInAViewAlongAnAxis) {
    addBox({0, 0, 0}, {1, 1, 1});
    const struct { int viewTag, axis; } rows[] = {{1, 3}, {2, 2}, {3, 1}};
    for (const auto& r : rows) {
        show(r.viewTag);
        ASSERT_EQ(window->picture()->degenerateAxis(), r.axis);
        // A point off the box in the coordinate plane across the axis.
        geo::Vec3 target(3, 3, 3);
        (r.axis == 1 ? target.x : (r.axis == 2 ? target.y : target.z)) = 0;
        move(pixelOf(target));
        ASSERT_FALSE(interaction().pick().any());
        app::StatLine* line = window->statLine();
        ASSERT_TRUE(line->fieldMode());
        const double zoom = window->picture()->view().zoomX();
        for (int k = 0; k < 3; ++k) {
            const QString f = line->field(k);
            EXPECT_TRUE(f.startsWith(QString("XYZ"[k]) + "=")) << f.toStdString();
            if (k + 1 == r.axis) {
                EXPECT_EQ(f.mid(2), "Не відомо");
            } else {
                EXPECT_NEAR(FieldNumber(f), 3, 1.0 / zoom) << f.toStdString();
            }
        }
        EXPECT_EQ(line->field(3), "");
        EXPECT_EQ(line->field(4), "");
    }
    // With no axis seen end-on and nothing picked the status line shows one text again.
    show(4);
    move(emptyPixel());
    EXPECT_FALSE(window->statLine()->fieldMode());
}

TEST_F(Picking, CursorFollowsThePickAndTheOperation) {
    const int box = addBox({0, 0, 0}, {1, 1, 1});
    show(1);
    const QPoint vertex = vertexPixel(box, 2);
    const QPoint empty = emptyPixel();
    move(vertex);
    EXPECT_EQ(interaction().cursor(), PictureCursor::Target);
    move(empty);
    EXPECT_EQ(interaction().cursor(), PictureCursor::Cross);
    run("Distance2P");
    move(vertex);
    EXPECT_EQ(interaction().cursor(), PictureCursor::Get);
    move(empty);
    run("mode4"); // reshaping drags vertices, not edges
    move(edgePixel(box, 1, 2));
    EXPECT_EQ(interaction().cursor(), PictureCursor::Target);
    move(empty);
    move(vertex);
    EXPECT_EQ(interaction().cursor(), PictureCursor::Drag);
    move(empty);
    run("ScrPoint");
    move(vertex);
    EXPECT_EQ(interaction().cursor(), PictureCursor::Put);
}

// ---- measurements ----------------------------------------------------------------------------

// What is clicked: a vertex, an edge (v1-v2) or a plane (its edge 1-2) of an object of a row.
struct Click {
    int object; // index into the row's objects
    int v1, v2 = 0;
};

struct MeasureRow {
    const char* command;
    std::vector<std::vector<geo::Vec3>> objects; // 1 point: Point, 2: Polyline, 3: Plane
    std::vector<Click> clicks;
    QStringList lines; // the report lines after the heading and the confirmations
    int offeredPoints;
};

class Measuring : public PictureTest {
  protected:
    std::vector<int> build(const MeasureRow& row) {
        std::vector<int> slots;
        for (const auto& pts : row.objects) {
            if (pts.size() == 1)
                slots.push_back(addPoint(pts[0]));
            else if (pts.size() == 2)
                slots.push_back(addPolyline(pts));
            else
                slots.push_back(addPlane(pts[0], pts[1], pts[2]));
        }
        show(4);
        return slots;
    }
    QPoint pixelFor(const std::vector<int>& slots, const Click& c) {
        const int slot = slots[static_cast<std::size_t>(c.object)];
        return c.v2 ? edgePixel(slot, c.v1, c.v2) : vertexPixel(slot, c.v1);
    }
};

TEST_F(Measuring, EachMeasurementFromItsFirstPickToItsReport) {
    const std::vector<MeasureRow> rows = {
        {"Ugol3p",
         {{{1, 0, 0}}, {{0, 0, 0}}, {{0, 1, 0}}},
         {{0, 1}, {1, 1}, {2, 1}},
         {"Кут: 1.5708 (90°)"},
         0},
        {"UgolLPL",
         {{{2, 2, 0}, {2, 2, 2}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}},
         {{0, 1, 2}, {1, 1, 2}},
         {"Кут між прямою і площиною: 1.5708 (90°)"},
         0},
        {"Ugol2PL",
         {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {{3, 0, 0}, {3, 1, 0}, {3, 1, 1}}},
         {{0, 1, 2}, {1, 1, 2}},
         {"Кут між площинами: 1.5708 (90°)"},
         0},
        {"Distance2P",
         {{{0, 0, 0}}, {{3, 4, 0}}},
         {{0, 1}, {1, 1}},
         {"Відстань між точками: 5"},
         0},
        {"DistancePL",
         {{{0, 1, 0}}, {{-1, 0, 0}, {2, 0, 0}}},
         {{0, 1}, {1, 1, 2}},
         {"Відстань між точкою і прямою: 1"},
         0},
        {"DistancePPL",
         {{{0, 0, 5}}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}},
         {{0, 1}, {1, 1, 2}},
         {"Відстань між точкою і площиною: 5", "Відхилення точки від площини: -5"},
         0},
        {"Distance2L",
         {{{0, 0, 0}, {1, 0, 0}}, {{0, -1, 0}, {0, 1, 0}}},
         {{0, 1, 2}, {1, 1, 2}},
         {"Прямі перетинаються в точці: X=0, Y=0, Z=0"},
         1},
        {"DistanceLPL",
         {{{0, 0, 2}, {1, 0, 2}}, {{0, 2, 0}, {1, 2, 0}, {1, 3, 0}}},
         {{0, 1, 2}, {1, 1, 2}},
         {"Відстань між прямою і площиною: 2"},
         0},
    };
    for (const MeasureRow& row : rows) {
        SCOPED_TRACE(row.command);
        core::ClearScene(scene());
        window->clearReport();
        dialogs->answers = {Answer::Yes};
        const std::vector<int> slots = build(row);
        const int before = scene().objectCount();
        run(row.command);
        // The heading names the whole measurement, not only its menu caption.
        const QString heading = window->command(row.command)->statusTip() + ": ";
        EXPECT_TRUE(heading.startsWith("Кут ") || heading.startsWith("Відстань "))
            << heading.toStdString();
        EXPECT_EQ(report(), QStringList{heading});
        EXPECT_EQ(interaction().pending(), Pending::Measure);
        EXPECT_TRUE(window->command(row.command)->isChecked());
        for (std::size_t k = 0; k < row.clicks.size(); ++k) {
            const QPoint p = pixelFor(slots, row.clicks[k]);
            click(p);
            if (k + 1 < row.clicks.size()) {
                EXPECT_EQ(interaction().fixedCount(), static_cast<int>(k) + 1);
                // The fixed elements are drawn on the picture while the measurement runs.
                EXPECT_EQ(interaction().measureElements().size(), k + 1);
            }
        }
        EXPECT_EQ(interaction().pending(), Pending::None);
        EXPECT_FALSE(window->command(row.command)->isChecked());
        const QStringList r = report();
        ASSERT_EQ(r.size(),
                  1 + static_cast<int>(row.clicks.size()) + row.lines.size() + row.offeredPoints);
        EXPECT_EQ(r.mid(1 + static_cast<int>(row.clicks.size()), row.lines.size()), row.lines);
        for (int k = 1; k <= static_cast<int>(row.clicks.size()); ++k)
            EXPECT_TRUE(r[k].startsWith("Зафіксовано")) << r[k].toStdString();
        EXPECT_EQ(scene().objectCount(), before + row.offeredPoints);
        EXPECT_FALSE(r.contains("Операцію не завершено."));
    }
}

TEST_F(Measuring, ConfirmationLinesAndPromptsOfEachStep) {
    const int p = addPoint({1, 2, 3}, "M");
    const int plane = addPlane({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, "П");
    show(4);
    run("DistancePPL");
    EXPECT_EQ(window->infoPanel()->text(), "  Відстань між точкою і площиною: виберіть точку");
    click(vertexPixel(p, 1));
    EXPECT_EQ(report().last(), "Зафіксовано точку: X=1, Y=2, Z=3");
    EXPECT_EQ(window->infoPanel()->text(), "  Відстань між точкою і площиною: виберіть площину");
    click(edgePixel(plane, 1, 2));
    EXPECT_EQ(report()[2], "Зафіксовано площину \"П\"");
}

TEST_F(Measuring, WrongKindsAreRefusedAndTheOperationStaysWhereItWas) {
    const int line = addPolyline({{0, 0, 0}, {2, 0, 0}});
    const int pt = addPoint({0, 3, 0});
    show(4);
    run("Distance2L");
    click(vertexPixel(pt, 1)); // a vertex where a line is needed
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].first, core::BoxKind::Error);
    EXPECT_EQ(dialogs->boxes[0].second, "Необхідно вказати об'єкт типу \"Ламана\" або відрізок.");
    EXPECT_EQ(interaction().fixedCount(), 0);
    run("DistancePPL");
    click(vertexPixel(pt, 1));
    click(edgePixel(line, 1, 2)); // a segment where a plane is needed
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[1].second, "Необхідно вказати об'єкт типу \"Площина\"");
    EXPECT_EQ(interaction().fixedCount(), 1);
    EXPECT_EQ(interaction().measureMode(), 6);
    // Empty picture space does nothing.
    click(emptyPixel());
    EXPECT_EQ(interaction().fixedCount(), 1);
    EXPECT_EQ(dialogs->boxes.size(), 2u);
}

TEST_F(Measuring, TogglingOffAndTheRightButtonCancel) {
    const int pt = addPoint({0, 3, 0});
    show(4);
    run("Ugol3p");
    run("Ugol3p");
    EXPECT_EQ(interaction().pending(), Pending::None);
    EXPECT_FALSE(window->command("Ugol3p")->isChecked());
    EXPECT_EQ(report(), QStringList({"Кут за трьома точками: ", "Операцію не завершено."}));
    EXPECT_EQ(window->infoPanel()->text(), "  ");

    window->clearReport();
    run("Distance2P");
    click(vertexPixel(pt, 1));
    click(vertexPixel(pt, 1), Qt::RightButton);
    EXPECT_EQ(interaction().pending(), Pending::None);
    EXPECT_EQ(interaction().fixedCount(), 0);
    EXPECT_EQ(report().last(), "Операцію не завершено.");
    // Another measurement replaces a running one.
    run("Distance2P");
    run("Ugol2PL");
    EXPECT_EQ(interaction().measureMode(), 3);
    EXPECT_FALSE(window->command("Distance2P")->isChecked());
    EXPECT_TRUE(window->command("Ugol2PL")->isChecked());
}

// ---- planes as the program makes them ----------------------------------------------------------

// Where the measured plane comes from.
enum class PlaneFrom { Dialog, Screen, File };

class PlanePicking : public Measuring {
  protected:
    // What the entry dialog's OK does: the slot's record through the entry buffer and the builder.
    bool confirm(int slot, const entry::EntryValues& values) {
        scene().copySlot(slot, core::kScratchSlot);
        return entry::BuildObject(window->env(), m_engine, slot, ObjectType::Plane, values, true);
    }
    // The plane z = 0 typed as an equation or clicked in a view along Oz, or the sample's KLM.
    int plane(PlaneFrom from) {
        if (from == PlaneFrom::File) {
            load(QStringLiteral(VORN_SOURCE_DIR) + "/samples/cube_section.v3d");
            for (int slot = 2; slot <= scene().objectCount(); ++slot)
                if (scene().object(slot).name.utf8() == "Площина KLM") return slot;
            ADD_FAILURE() << "no plane KLM in the sample";
            return 0;
        }
        if (from == PlaneFrom::Dialog) {
            const int slot = core::AppendObject(scene(), ObjectType::Plane);
            entry::EntryValues v;
            v.planeMode = 2; // A, B, C in the first point's fields, then D
            scene().object(slot).vertex(1) = {0, 0, 1};
            v.planeD = 0;
            EXPECT_TRUE(confirm(slot, v));
            return slot;
        }
        interaction().setObjectEditor([this](int slot) {
            return confirm(slot, entry::EntryValuesFromRecord(scene().object(slot)));
        });
        show(1);
        run("ScrPlane");
        for (const geo::Vec3& p : {geo::Vec3(0, 0, 0), geo::Vec3(3, 0, 0), geo::Vec3(0, 3, 0)})
            click(pixelOf(p));
        return scene().objectCount();
    }
    expr::ExpressionEngine m_engine;
};

TEST_F(PlanePicking, EveryPlaneMeasurementTakesPlanesFromTheDialogTheScreenAndAFile) {
    struct Row {
        const char* command;
        std::vector<geo::Vec3> other; // 1 point, 2 polyline, 3 plane (clicked after the plane)
        QStringList lines;            // patterns of the answer lines
    };
    // Against z = 0, whose stored normal may point either way.
    const std::vector<Row> floor = {
        {"UgolLPL", {{1, 1, 1}, {1, 1, 3}}, {"Кут між прямою і площиною: 1.5708 \\(90°\\)"}},
        {"Ugol2PL", {{5, -1, -1}, {5, 1, -1}, {5, 1, 1}}, {"Кут між площинами: 1.5708 \\(90°\\)"}},
        {"DistancePPL",
         {{1, 2, 5}},
         {"Відстань між точкою і площиною: 5", "Відхилення точки від площини: -?5"}},
        {"DistanceLPL", {{0, 0, 2}, {1, 0, 2}}, {"Відстань між прямою і площиною: 2"}},
    };
    // Against the sample's "Площина KLM", x + y + z = 0 with the normal (1, 1, 1) / √3.
    const std::vector<Row> klm = {
        {"UgolLPL",
         {{5, -5, 0}, {5, -5, 3}},
         {"Кут між прямою і площиною: 0.61548 \\(35.2644°\\)"}},
        {"Ugol2PL",
         {{5, -1, -1}, {5, 1, -1}, {5, 1, 1}},
         {"Кут між площинами: 0.955317 \\(54.7356°\\)"}},
        {"DistancePPL",
         {{6, 1, 2}},
         {"Відстань між точкою і площиною: 5.19615", "Відхилення точки від площини: -5.19615"}},
        {"DistanceLPL", {{6, 1, 2}, {7, 0, 2}}, {"Відстань між прямою і площиною: 5.19615"}},
    };
    for (const PlaneFrom from : {PlaneFrom::Dialog, PlaneFrom::Screen, PlaneFrom::File}) {
        for (const Row& row : from == PlaneFrom::File ? klm : floor) {
            SCOPED_TRACE(std::string(row.command) + " on plane " +
                         std::to_string(static_cast<int>(from)));
            core::ClearScene(scene());
            window->refreshObjectList();
            const int measured = plane(from);
            ASSERT_GT(measured, 0);
            ASSERT_EQ(scene().object(measured).type, ObjectType::Plane);
            int other = 0;
            if (row.other.size() == 1)
                other = addPoint(row.other[0]);
            else if (row.other.size() == 2)
                other = addPolyline(row.other);
            else
                other = addPlane(row.other[0], row.other[1], row.other[2]);
            show(4);
            window->clearReport();
            dialogs->boxes.clear();
            run(row.command);
            const QPoint otherPixel =
                row.other.size() == 1 ? vertexPixel(other, 1) : edgePixel(other, 1, 2);
            const QPoint planePixel = edgePixel(measured, 1, 2);
            if (row.other.size() == 3) {
                click(planePixel);
                click(otherPixel);
            } else {
                click(otherPixel);
                click(planePixel);
            }
            EXPECT_TRUE(dialogs->boxes.empty()) << dialogs->boxTexts().join("|").toStdString();
            EXPECT_EQ(interaction().pending(), Pending::None);
            const QStringList r = report();
            ASSERT_EQ(r.size(), 3 + row.lines.size()) << r.join("\n").toStdString();
            for (int k = 0; k < row.lines.size(); ++k)
                EXPECT_TRUE(QRegularExpression("^" + row.lines[k] + "$").match(r[3 + k]).hasMatch())
                    << r[3 + k].toStdString();
        }
    }
}

// ---- section -----------------------------------------------------------------------------------

TEST_F(Measuring, SectionOfACubeFromItsTwoPicksToItsReportAndNewObjects) {
    const int plane = addPlane({-1, -1, 0.5}, {2, -1, 0.5}, {2, 2, 0.5}, "П");
    const int cube = addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    show(4);
    run("MakeCut");
    EXPECT_EQ(window->infoPanel()->text(),
              "  Переріз многогранника площиною: виберіть площину перерізу:");
    click(vertexPixel(cube, 1)); // not a plane
    EXPECT_EQ(dialogs->boxTexts().last(), "Необхідно вказати об'єкт типу \"Площина\"");
    click(edgePixel(plane, 1, 2));
    EXPECT_EQ(window->infoPanel()->text(),
              "  Переріз многогранника площиною: виберіть многогранник для перерізу");
    click(edgePixel(plane, 2, 3)); // not a polyhedron
    EXPECT_EQ(dialogs->boxTexts().last(), "Необхідно вказати об'єкт типу \"Многогранник\"");
    dialogs->answers = {Answer::Yes, Answer::Yes};
    const int before = scene().objectCount();
    click(edgePixel(cube, 5, 6));
    const QStringList r = report();
    EXPECT_EQ(r.mid(0, 3),
              QStringList({"Переріз многогранника площиною: ", "Зафіксовано площину перерізу \"П\"",
                           "Зафіксовано многогранник \"Куб\""}));
    EXPECT_TRUE(r.contains("Площа перерізу: 1 кв. од."));
    EXPECT_TRUE(r.contains("Периметр перерізу: 4 од."));
    EXPECT_EQ(scene().objectCount(), before + 3); // contour and two parts
    EXPECT_EQ(objectList().size(), scene().objectCount() - 1);
    EXPECT_EQ(interaction().pending(), Pending::None);
    EXPECT_FALSE(window->command("MakeCut")->isChecked());
    EXPECT_FALSE(r.contains("Операцію не завершено."));
}

// The hidden-line modes change how the picture looks, and what is left out is not there to pick:
// the same clicks on a cube, hidden corner included, give the same report where that corner is
// drawn; left out, the click there takes what is drawn near it instead.
TEST_F(Measuring, HiddenLineModesPickAlikeWhereTheCornerIsDrawn) {
    const int cube = addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    show(4);
    QStringList first;
    const struct {
        const char* mode;
        bool cornerDrawn;
    } rows[] = {{"HiddenSolid", true}, {"HiddenDashed", true}, {"HiddenRemoved", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        window->command(row.mode)->trigger();
        window->clearReport();
        run("Distance2P");
        move(vertexPixel(cube, 1));
        EXPECT_EQ(interaction().pick().object == cube && interaction().pick().vertex1 == 1 &&
                      interaction().pick().vertex2 == 0,
                  row.cornerDrawn);
        for (int v = 1; v <= 8; v += 7)
            click(vertexPixel(cube, v));
        EXPECT_EQ(interaction().pending(), Pending::None);
        const QStringList r = report();
        EXPECT_EQ(r.size(), 4) << r.join('|').toStdString();
        if (first.isEmpty()) first = r;
        EXPECT_EQ(r == first, row.cornerDrawn) << r.join('|').toStdString();
    }
}

// ---- on-screen creation
// --------------------------------------------------------------------------

class ScreenCreation : public PictureTest {};

TEST_F(ScreenCreation, PolylineByTwoLeftClicksAndARightClick) {
    show(1);
    const QPoint a = pixelOf({1, 1, 0}), b = pixelOf({-1, 2, 0});
    run("ScrPolyline");
    EXPECT_EQ(report(), QStringList({"Створення об'єкта з екрану: "}));
    click(a);
    click(b);
    EXPECT_EQ(interaction().placedPoints().size(), 2u);
    const int before = scene().objectCount();
    click(pixelOf({2, -2, 0}), Qt::RightButton);
    ASSERT_EQ(edited.size(), 1u);
    const int slot = edited[0];
    EXPECT_EQ(slot, before + 1);
    ASSERT_EQ(scene().objectCount(), before + 1);
    const core::SceneObject& o = scene().object(slot);
    EXPECT_EQ(o.type, ObjectType::Polyline);
    ASSERT_EQ(o.vertexCount, 2);
    const double pixel = 1.0 / window->picture()->view().zoomX();
    EXPECT_NEAR(o.vertex(1).x, 1, pixel);
    EXPECT_NEAR(o.vertex(1).y, 1, pixel);
    EXPECT_EQ(o.vertex(1).z, 0);
    EXPECT_NEAR(o.vertex(2).x, -1, pixel);
    EXPECT_NEAR(o.vertex(2).y, 2, pixel);
    EXPECT_TRUE(report().last().startsWith("Створено об'єкт \""));
    EXPECT_EQ(interaction().pending(), Pending::None);
    EXPECT_FALSE(report().contains("Операцію не завершено."));
}

TEST_F(ScreenCreation, OnePointAndARightClickCreateNothing) {
    show(1);
    run("ScrPolyline");
    click(pixelOf({1, 1, 0}));
    const int before = scene().objectCount();
    click(pixelOf({2, 2, 0}), Qt::RightButton);
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(scene().objectCount(), before);
    EXPECT_EQ(interaction().pending(), Pending::None);
}

TEST_F(ScreenCreation, PlaneNeedsExactlyThreeClicksAndACancelledDialogRemovesIt) {
    const int box = addBox({0, 0, 0}, {1, 1, 1});
    show(1);
    run("ScrPlane");
    click(vertexPixel(box, 2)); // a vertex gives its own coordinates
    click(pixelOf({3, 0, 0}));
    EXPECT_TRUE(edited.empty());
    const int before = scene().objectCount();
    editAnswers = {false};
    click(pixelOf({0, 3, 0}));
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(scene().objectCount(), before); // cancelled: removed again
    EXPECT_EQ(objectList().size(), before - 1);

    run("ScrPlane");
    click(vertexPixel(box, 2));
    click(pixelOf({3, 0, 0}));
    click(pixelOf({0, 3, 0}));
    ASSERT_EQ(edited.size(), 2u);
    ASSERT_EQ(scene().objectCount(), before + 1);
    const core::SceneObject& o = scene().object(before + 1);
    EXPECT_EQ(o.type, ObjectType::Plane);
    EXPECT_EQ(o.vertexCount, 3);
    EXPECT_EQ(o.vertex(1).x, 1); // vertex 2 of the box, or vertex 6 above it
    EXPECT_EQ(o.vertex(1).y, 0);
}

TEST_F(ScreenCreation, PointInAViewNotAlongAnAxisNeedsAPick) {
    const int box = addBox({0, 0, 0}, {1, 1, 1});
    show(4);
    run("ScrPoint");
    click(emptyPixel());
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(interaction().screenCreateMode(), 1);
    click(vertexPixel(box, 7));
    ASSERT_EQ(edited.size(), 1u);
    const core::SceneObject& o = scene().object(edited[0]);
    EXPECT_EQ(o.type, ObjectType::Point);
    EXPECT_EQ(AtVertex(o, 1).x, 0);
    EXPECT_EQ(AtVertex(o, 1).y, 1);
    EXPECT_EQ(AtVertex(o, 1).z, 1);
}

TEST_F(ScreenCreation, FixedListIsFullAfter103PointsAndKeepsThem) {
    show(1);
    run("ScrPolyline");
    for (int k = 0; k < app::PictureInteraction::kMaxFixed + 4; ++k)
        click(pixelOf({-3 + 0.05 * k, 1, 0}));
    EXPECT_EQ(interaction().fixedCount(), app::PictureInteraction::kMaxFixed);
    EXPECT_EQ(report().size(), 1 + app::PictureInteraction::kMaxFixed);
    click(emptyPixel(), Qt::RightButton);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(scene().object(edited[0]).vertexCount, app::PictureInteraction::kMaxFixed);
}

// ---- the keyboard alone ----------------------------------------------------------------------

class KeyboardPicking : public PictureTest {
  protected:
    QWidget* place() { return window->picture()->place(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(place(), static_cast<Qt::Key>(k), mods);
    }
    std::vector<pic::PickTarget> targets() {
        return window->picture()->canvas().engine().pickTargets();
    }
    // The status fields and the highlight's corners the picture shows now.
    QStringList shown() {
        QStringList out;
        for (int k = 0; k < app::StatLine::kFieldCount; ++k)
            out << window->statLine()->field(k);
        for (const pic::DrawOp& op : window->picture()->canvas().lastPass())
            if (op.role == pic::Role::PickedVertex || op.role == pic::Role::PickedEdge)
                out << QString("%1,%2 %3,%4")
                           .arg(op.pts[0].x)
                           .arg(op.pts[0].y)
                           .arg(op.pts[1].x)
                           .arg(op.pts[1].y);
        return out;
    }
    // Tab until `want` is shown; false when a whole round does not reach it.
    bool tabTo(const pic::Pick& want) {
        for (std::size_t k = 0; k <= targets().size(); ++k) {
            const pic::Pick& p = interaction().pick();
            if (p.object == want.object &&
                ((p.vertex1 == want.vertex1 && p.vertex2 == want.vertex2) ||
                 (p.vertex1 == want.vertex2 && p.vertex2 == want.vertex1 && want.vertex2 != 0)))
                return true;
            key(Qt::Key_Tab);
        }
        return false;
    }
};

TEST_F(KeyboardPicking, TabAndShiftTabCycleTheCubeAsTheMouseShowsIt) {
    const int box = addBox({0, 0, 0}, {1, 1, 1}, "Куб");
    show(4);
    key(Qt::Key_Tab); // nothing waits for a pick: Tab is the focus chain's
    EXPECT_FALSE(interaction().pick().any());
    run("Distance2P");
    EXPECT_EQ(window->focusWidget(), place());
    const std::vector<pic::PickTarget> t = targets();
    ASSERT_EQ(t.size(), 8u + 12u); // the vertices, then the edges without the faces' diagonals
    for (std::size_t k = 0; k < t.size() + 1; ++k) {
        key(Qt::Key_Tab);
        const pic::PickTarget& want = t[k % t.size()];
        EXPECT_EQ(interaction().pick().vertex1, want.pick.vertex1) << k;
        EXPECT_EQ(interaction().pick().vertex2, want.pick.vertex2) << k;
        EXPECT_EQ(interaction().cursor(), PictureCursor::Get);
    }
    // Round and back again: from the first element to the last, then the one before it.
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(interaction().pick().vertex1, t.back().pick.vertex1);
    EXPECT_EQ(interaction().pick().vertex2, t.back().pick.vertex2);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(interaction().pick().vertex1, t[t.size() - 2].pick.vertex1);
    EXPECT_EQ(interaction().pick().vertex2, t[t.size() - 2].pick.vertex2);

    // A vertex shows as under the mouse; an edge with its name, length and dotted line.
    const pic::Pick vertex = t[0].pick, edge = t[8].pick;
    ASSERT_TRUE(tabTo(vertex));
    const QStringList byKey = shown();
    move(vertexPixel(box, vertex.vertex1));
    EXPECT_EQ(byKey, shown());
    ASSERT_TRUE(tabTo(edge));
    const QStringList edgeByKey = shown();
    EXPECT_EQ(edgeByKey[3], "Куб");
    EXPECT_EQ(edgeByKey[4], "Довжина ланки: 1");
    move(edgePixel(box, edge.vertex1, edge.vertex2));
    const QStringList edgeByMouse = shown();
    EXPECT_EQ(edgeByKey.mid(3), edgeByMouse.mid(3));
    const core::SceneObject& cube = scene().object(box);
    EXPECT_EQ(FieldNumber(edgeByKey[0]),
              (AtVertex(cube, edge.vertex1).x + AtVertex(cube, edge.vertex2).x) / 2);
}

// One pick of a row: a vertex, an edge (v1-v2) or the whole plane (v1 = 0) of a row's object.
struct KeyPick {
    int object, v1, v2;
};
struct KeyRow {
    const char* command;
    std::vector<KeyPick> picks;
};

TEST_F(KeyboardPicking, EnterFixesWhatAClickFixesWithTheSameAnswer) {
    const KeyRow rows[] = {
        {"Distance2P", {{0, 1, 0}, {0, 8, 0}}},
        {"DistancePPL", {{0, 5, 0}, {1, 0, 0}}},
        {"Distance2L", {{0, 1, 2}, {2, 1, 2}}},
        {"MakeCut", {{1, 0, 0}, {0, 3, 0}}},
        {"ScrPoint", {{0, 7, 0}}},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.command);
        QStringList reports[2];
        int objects[2] = {0, 0};
        for (const bool byKeys : {false, true}) {
            core::ClearScene(scene());
            window->clearReport();
            dialogs->answers.clear();
            const std::vector<int> slots = {
                addBox({0, 0, 0}, {1, 1, 1}, "Куб"),
                addPlane({-1, -1, 0.5}, {2, -1, 0.5}, {2, 2, 0.5}, "П"),
                addPolyline({{0, 3, 2}, {2, 3, 3}}, "Л"),
            };
            show(4);
            run(row.command);
            bool enter = false;
            for (const KeyPick& k : row.picks) {
                const int slot = slots[static_cast<std::size_t>(k.object)];
                if (byKeys) {
                    ASSERT_TRUE(tabTo({slot, k.v1, k.v2, {}}));
                    key((enter = !enter) ? Qt::Key_Enter : Qt::Key_Return);
                } else if (k.v1 == 0) {
                    click(edgePixel(slot, 1, 2)); // a plane is clicked on its edge
                } else {
                    click(k.v2 ? edgePixel(slot, k.v1, k.v2) : vertexPixel(slot, k.v1));
                }
            }
            EXPECT_EQ(interaction().pending(), Pending::None);
            reports[byKeys] = report();
            objects[byKeys] = scene().objectCount();
        }
        EXPECT_EQ(reports[1], reports[0]);
        EXPECT_EQ(objects[1], objects[0]);
        EXPECT_GT(reports[1].size(), static_cast<int>(row.picks.size()));
    }
}

// In the sample the point K is a vertex of the plane KLM and of the section's contour too: Tab
// stops there once, Space goes through the three objects and Shift+Space back.
TEST_F(KeyboardPicking, APlaceOfSeveralObjectsIsOneStopAndSpaceChoosesAmongThem) {
    load(QStringLiteral(VORN_SOURCE_DIR) + "/samples/cube_section.v3d");
    show(4);
    // K: the point whose place two other objects have a vertex at.
    int k = 0;
    std::set<int> atK;
    for (int slot = 2; slot <= scene().objectCount() && !k; ++slot) {
        const core::SceneObject& p = scene().object(slot);
        if (p.type != ObjectType::Point) continue;
        atK = {slot};
        for (int other = 2; other <= scene().objectCount(); ++other)
            for (int i = 1; i <= scene().object(other).vertexCount; ++i)
                if (other != slot && AtVertex(scene().object(other), i) == AtVertex(p, 1))
                    atK.insert(other);
        if (atK.size() == 3) k = slot;
    }
    ASSERT_NE(k, 0) << "no point K in the sample";
    const geo::Vec3 place = AtVertex(scene().object(k), 1);
    run("Distance2P");
    const auto atPlace = [&] {
        const pic::Pick& p = interaction().pick();
        return p.any() && p.vertex2 == 0 && p.point == place;
    };
    const std::size_t stops = window->picture()->canvas().engine().pickStops().size();
    int visits = 0;
    for (std::size_t i = 0; i < stops; ++i) {
        key(Qt::Key_Tab);
        visits += atPlace() ? 1 : 0;
    }
    EXPECT_EQ(visits, 1);
    for (std::size_t i = 0; i < stops && !atPlace(); ++i)
        key(Qt::Key_Tab);
    ASSERT_TRUE(atPlace());
    std::vector<int> seen = {interaction().pick().object};
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Space);
        EXPECT_TRUE(atPlace());
        seen.push_back(interaction().pick().object);
        const QString name = QString::fromStdString(core::DisplayName(scene(), seen.back()));
        EXPECT_EQ(window->statLine()->field(3), QString("%1  %2/3").arg(name).arg((i + 1) % 3 + 1));
    }
    EXPECT_EQ(std::set<int>(seen.begin(), seen.end() - 1), atK);
    EXPECT_EQ(seen.back(), seen.front()); // round and back to the first
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(interaction().pick().object, seen[2]);
    // The next Tab leaves the place; Enter fixes the object chosen there.
    key(Qt::Key_Space);
    key(Qt::Key_Return);
    EXPECT_EQ(interaction().fixedCount(), 1);
    key(Qt::Key_Tab);
    EXPECT_FALSE(atPlace());
}

} // namespace
} // namespace vorn::test
