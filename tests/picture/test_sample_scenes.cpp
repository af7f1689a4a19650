// Every shipped sample scene loaded as the program loads it, drawn, and saved back unchanged.
#include "golden.h"
#include "qt_app.h"
#include "temp_path.h"
#include "v3dtool/samples.h"
#include "v3dtool/tool_support.h"

#include "core/scene_file.h"
#include "picture/picture_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vorn::tool {
namespace {

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where two byte strings first differ: the header or the object block, and the offset.
std::string FirstDifference(const std::vector<char>& a, const std::vector<char>& b) {
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    if (at == a.size() && at == b.size()) return "";
    std::ostringstream where;
    where << "sizes " << a.size() << " and " << b.size() << ", first difference at byte " << at
          << (at < sizeof(core::SceneHeader) ? " (header)" : " (object blocks)");
    return where.str();
}

TEST(SampleScenes, LoadDrawAndSaveBackTheShippedFile) {
    test::EnsureQtApp();
    const std::filesystem::path saved = test::tempPath("sample.v3d");
    for (const SampleScene& sample : SampleScenes()) {
        SCOPED_TRACE(sample.name);
        const std::string shipped = VORN_SAMPLES_DIR "/" + sample.name + ".v3d";
        std::ostringstream report, boxes;
        ToolSession session(report, boxes);
        ASSERT_TRUE(session.load(shipped));
        EXPECT_EQ(boxes.str(), "");

        // Axis letters are text, and glyphs depend on the fonts installed: no axes.
        session.settings.IsOsi = false;
        pic::PictureCanvas canvas(session.env);
        canvas.resize(240, 200);
        canvas.engine().setReady(true);
        // Drawing with the stored view must leave the scene as it was read.
        ASSERT_EQ(canvas.redraw(), pic::RedrawResult::Drawn);
        ASSERT_TRUE(core::WriteSceneFile(session.env, saved.string()));
        EXPECT_EQ(FirstDifference(FileBytes(saved.string()), FileBytes(shipped)), "");

        // The stored scales suit a larger picture: the whole scene, fitted, for the golden one.
        canvas.view().setZoom(0, 0, 0);
        canvas.view().firstFit = true;
        canvas.engine().fit();
        ASSERT_EQ(canvas.redraw(), pic::RedrawResult::Drawn);
        test::ExpectGolden(canvas.image(),
                           QString::fromStdString("sample_" + sample.name + ".png"));
    }
    std::filesystem::remove(saved);
}

// The hidden-line modes on two samples with faces in front of others: golden pictures, and the
// lines of each mode against the solid picture (dashed: the same lines, some dashed; not shown:
// the dashed ones gone). The solid goldens above stay as they were.
TEST(SampleScenes, HiddenLineModesDashOrLeaveOutWhatFacesHide) {
    test::EnsureQtApp();
    for (const char* name : {"cube_section", "regular_solids"}) {
        SCOPED_TRACE(name);
        std::ostringstream report, boxes;
        ToolSession session(report, boxes);
        ASSERT_TRUE(session.load(VORN_SAMPLES_DIR "/" + std::string(name) + ".v3d"));
        session.settings.IsOsi = false;
        pic::PictureCanvas canvas(session.env);
        canvas.resize(240, 200);
        canvas.engine().setReady(true);
        canvas.view().setZoom(0, 0, 0);
        canvas.view().firstFit = true;
        canvas.engine().fit();
        auto lines = [&canvas](pic::PenStyle style) {
            return std::count_if(canvas.lastPass().begin(), canvas.lastPass().end(),
                                 [style](const pic::DrawOp& op) {
                                     return op.kind == pic::DrawOp::Kind::Line &&
                                            op.role == pic::Role::Edge && op.style == style;
                                 });
        };
        ASSERT_EQ(canvas.redraw(), pic::RedrawResult::Drawn);
        const QImage solid = canvas.image().copy();
        EXPECT_EQ(lines(pic::PenStyle::Dash), 0);

        session.settings.hiddenLines = core::kHiddenDashed;
        ASSERT_EQ(canvas.redraw(), pic::RedrawResult::Drawn);
        const auto dashed = lines(pic::PenStyle::Dash);
        const auto dashedSolid = lines(pic::PenStyle::Solid);
        EXPECT_GT(dashed, 0);
        EXPECT_NE(canvas.image(), solid);
        test::ExpectGolden(canvas.image(), QStringLiteral("hidden_dashed_%1.png").arg(name));

        session.settings.hiddenLines = core::kHiddenRemoved;
        ASSERT_EQ(canvas.redraw(), pic::RedrawResult::Drawn);
        EXPECT_EQ(lines(pic::PenStyle::Dash), 0);
        EXPECT_EQ(lines(pic::PenStyle::Solid), dashedSolid);
        test::ExpectGolden(canvas.image(), QStringLiteral("hidden_removed_%1.png").arg(name));
    }
}

} // namespace
} // namespace vorn::tool

namespace vorn::tool {
namespace {

// "Контури": round solids and surfaces drawn by their feature lines, dashed behind faces when
// hidden lines are, and every mesh line again without the choice.
TEST(SampleScenes, OutlinesDrawRoundSolidsByTheirFeatureLines) {
    test::EnsureQtApp();
    struct Count {
        int lines = 0, dashed = 0;
    };
    const auto count = [](bool outlines, int mode) {
        std::ostringstream report, boxes;
        ToolSession session(report, boxes);
        EXPECT_TRUE(session.load(VORN_SAMPLES_DIR "/revolution.v3d"));
        session.settings.outlines = outlines;
        session.settings.hiddenLines = mode;
        pic::PictureCanvas canvas(session.env);
        canvas.resize(800, 600);
        canvas.engine().setReady(true);
        EXPECT_EQ(canvas.redraw(), pic::RedrawResult::Drawn);
        Count c;
        for (const pic::DrawOp& op : canvas.lastPass())
            if (op.role == pic::Role::FaceOutline && op.slot == 3) { // the cylinder
                ++c.lines;
                c.dashed += op.style == pic::PenStyle::Dash;
            }
        return c;
    };
    const Count mesh = count(false, core::kHiddenSolid);
    const Count solid = count(true, core::kHiddenSolid);
    const Count dashed = count(true, core::kHiddenDashed);
    EXPECT_GT(mesh.lines, 400);
    EXPECT_GT(solid.lines, 0);
    EXPECT_LT(solid.lines * 5, mesh.lines);
    EXPECT_EQ(solid.dashed, 0);
    EXPECT_GT(dashed.dashed, 0);
    EXPECT_LT(dashed.lines, mesh.lines / 5);
}

} // namespace
} // namespace vorn::tool
